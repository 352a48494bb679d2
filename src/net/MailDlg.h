// What the mailbox window "Caselle di posta" (TMailDlg) shows: one tab per mailbox, the
// selected mailbox's headers in five columns, sorted by the column last clicked.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "net/MailBoxes.h"

namespace orva {

class MailModel {
 public:
  static constexpr int kColumns = 5;
  static constexpr std::array<const char*, kColumns> kColumnTitles = {"Mittente", "Dim (Kb)",
                                                                      "Data", "Ora", "Soggetto"};
  static constexpr std::array<int, kColumns> kDefaultWidths = {150, 55, 65, 50, 150};
  static constexpr const char* kSection = "Mail dialog";
  static constexpr const char* kPositionKey = "Mail pos";
  static constexpr const char* kNoMessages = "Nessun messaggio";
  using Row = std::array<std::string, kColumns>;

  explicit MailModel(std::vector<TPOP3Object> boxes);

  // user + "@" + server + " (" + count + ")" for every mailbox, and " - errore" after one
  // whose last check failed.
  std::vector<std::string> TabTitles() const;
  // Above the list: why the selected mailbox's last check failed, or that only the newest of
  // its messages are listed; empty otherwise.
  std::string Notice() const;
  void SelectTab(int tab);
  int SelectedTab() const { return m_tab; }
  // The selected mailbox's rows in the current order; one row "Nessun messaggio" (in the
  // first column) when it holds none.
  std::vector<Row> Rows() const;
  bool Empty() const;

  // A click on a column header sorts by it; the same column again reverses the order.
  void ColumnClick(int column);
  int SortColumn() const { return m_sortColumn; }  // -1: file order
  bool Descending() const { return m_descending; }

 private:
  std::vector<TPOP3Object> m_boxes;
  int m_tab = 0;
  int m_sortColumn = -1;
  bool m_descending = false;
};

}  // namespace orva
