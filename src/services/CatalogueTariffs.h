// The meter's tariffs: the catalogue of tariff files and the provider/tariff associations.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/MeterServices.h"
#include "platform/Dialogs.h"
#include "tariff/Tariffe.h"

namespace orva {

// Passes messages on, but a text equal to the one shown last is not shown again: the idle
// meter evaluates the tariff at every poll, and a missing tariff file would otherwise be
// reported four times a second.
class OnceDialogs final : public Dialogs {
 public:
  explicit OnceDialogs(Dialogs& inner) : m_inner(inner) {}
  MsgAnswer Message(const std::string& text, MsgType type, MsgButtons buttons) override;
  std::optional<std::string> AskPassword(const std::string& prompt) override {
    return m_inner.AskPassword(prompt);
  }
  std::optional<std::string> ChooseOpenFile(const std::string& title, const std::string& dir,
                                            const std::string& filter) override {
    return m_inner.ChooseOpenFile(title, dir, filter);
  }
  std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string& dir,
                                            const std::string& filter) override {
    return m_inner.ChooseSaveFile(title, dir, filter);
  }
  void Beep() override { m_inner.Beep(); }

 private:
  Dialogs& m_inner;
  std::string m_last;
};

class CatalogueTariffs final : public TariffService {
 public:
  CatalogueTariffs(const TariffCatalogue& catalogue, std::string associationPath, Dialogs& dialogs)
      : m_catalogue(catalogue), m_listPath(std::move(associationPath)), m_dialogs(dialogs) {}

  Status Evaluate(int index, long long ticks, TDateTime elapsed, TDateTime moment,
                  TariffValues& values) override;
  int Count() const override { return m_catalogue.Size(); }
  std::string Abbreviation(int index) const override;
  std::string FindAssociation(const std::string& entry, const std::string& current,
                              const std::function<void(int)>& select) override;

 private:
  const TariffCatalogue& m_catalogue;
  std::string m_listPath;
  OnceDialogs m_dialogs;
};

}  // namespace orva
