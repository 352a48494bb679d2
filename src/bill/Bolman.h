// The day tick editor's logic: the list of one day's entries ("ticks<TAB>price"), the two
// edits, add / change / remove, and the write-back of the day's section on OK. The list keeps
// the prices as the bill file does, in lire; they are shown and typed in the options' currency.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bill/DbsetINI.h"
#include "platform/Result.h"

namespace orva {

class BolManModel {
 public:
  // Fills the list with the day's entries in file order.
  void Open(int day, int month, int year, const BillOptions& options);

  // DATLb: "venerdì, 15 ottobre 1999".
  std::string DayTitle() const;
  // The items as the bill file keeps them: "ticks<TAB>price in lire".
  const std::vector<std::string>& Items() const { return m_items; }
  int Selected() const { return m_selected; }
  // An item's count and price as the list shows them, the price in the chosen currency.
  std::pair<std::string, std::string> ShownItem(int index) const;
  // The header of the price column: "a Lire" or "a Euro".
  std::string PriceHeader() const;

  // ED0 (tick count) and ED1 (tick price), holding only what the edits accept.
  const std::string& Ed0() const { return m_ed0; }
  const std::string& Ed1() const { return m_ed1; }
  void SetEd0(std::string_view text) { m_ed0 = AcceptedText(text); }
  void SetEd1(std::string_view text) { m_ed1 = AcceptedText(text); }

  // A click on an item: selects it and copies its count and its shown price into the edits.
  void Select(int index);
  // Whether the edits make an entry: a count with at least one digit (an empty one would write
  // a line "=" into the bill file) and a price that is a number ("1,2,3" would count as 0).
  bool EditsComplete() const;
  // Whether ED1 holds what makes EditsComplete() false (the window then points at it).
  bool PriceFaulty() const;
  // "Aggiungi": appends ED0 + TAB + the price in lire: a lire price as typed with "," turned
  // into ".", a euro price converted to the ten-thousandth of a lira. A price left as the
  // selected item showed it keeps that item's exact lire. False, and nothing added, when the
  // edits are not complete.
  bool Add();
  // "Modifica" and "Elimina" act on the selected item; without one they do nothing.
  bool CanChange() const;
  bool Modify();
  // Removes the selected item, clears the selection and both edits.
  void Delete();

  // The keys both edits take: digits, ",", "." and backspace (8).
  static bool AcceptsKey(char key);
  static std::string AcceptedText(std::string_view text);

  // What OK writes: one entry per price in the order of the list, the counts of the items of
  // one price added together (the first item's price text is kept).
  std::vector<TDataSetINI::Entry> DayEntries() const;
  // OK: erases the day's section and writes DayEntries(), price as key and count as value;
  // an empty list removes the day.
  Status WriteBack() const;

 private:
  std::string ItemText() const;
  std::optional<std::string> PriceLire() const;

  int m_day = 1, m_month = 1, m_year = 2000;
  BillOptions m_options;
  std::vector<std::string> m_items;
  int m_selected = -1;
  std::string m_ed0, m_ed1;
  // The selected item's price as ED1 got it, and as the file holds it.
  std::string m_pickedShown, m_pickedLire;
};

}  // namespace orva
