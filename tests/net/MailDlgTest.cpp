// Rows and sorting of the mailbox window.
#include "net/MailDlg.h"

#include <gtest/gtest.h>

namespace orva {
namespace {

TPOP3Object Box(std::string user, std::vector<TPOP3Msg> msgs) {
  TPOP3Object b;
  b.user = std::move(user);
  b.server = "pop.example.org";
  b.messages = std::move(msgs);
  return b;
}

std::vector<std::string> Column(const MailModel& m, int c) {
  std::vector<std::string> out;
  for (const auto& r : m.Rows()) out.push_back(r[static_cast<std::size_t>(c)]);
  return out;
}

TEST(MailModel, TabsAndTheEmptyMailboxRow) {
  MailModel m({Box("anna", {{"a", "s", "07/12/99", "10:11", "1.50"}}), Box("bob", {})});
  EXPECT_EQ(m.TabTitles(),
            (std::vector<std::string>{"anna@pop.example.org (1)", "bob@pop.example.org (0)"}));
  EXPECT_EQ(m.Rows().size(), 1u);
  EXPECT_EQ(m.Rows()[0][4], "s");
  m.SelectTab(1);
  ASSERT_EQ(m.Rows().size(), 1u);
  EXPECT_EQ(m.Rows()[0][0], "Nessun messaggio");
  m.SelectTab(7);  // out of range: stays
  EXPECT_EQ(m.SelectedTab(), 1);
  MailModel none({});
  EXPECT_EQ(none.Rows()[0][0], "Nessun messaggio");
  EXPECT_EQ(none.Notice(), "");
}

TEST(MailModel, FailedAndCutMailboxesSaySo) {
  auto failed = Box("anna", {});
  failed.lastError = "-ERR Certificate not trusted: The certificate has expired";
  auto cut = Box("bob", {{"a", "s", "", "", ""}});
  cut.serverCount = 5000;
  auto whole = Box("carla", {{"a", "s", "", "", ""}});
  whole.serverCount = 1;
  MailModel m({failed, cut, whole});
  EXPECT_EQ(m.TabTitles()[0], "anna@pop.example.org (0) - errore");
  EXPECT_EQ(m.Notice(),
            "Controllo non riuscito: -ERR Certificate not trusted: The certificate has expired");
  m.SelectTab(1);
  EXPECT_EQ(m.Notice(), "Elencati gli ultimi 1 messaggi di 5000");
  m.SelectTab(2);
  EXPECT_EQ(m.Notice(), "");
}

TEST(MailModel, EachColumnSortsByItsKindAndAgainReverses) {
  MailModel m({Box("u", {{"bob", "Zeta", "01/01/25", "09:05", "10.00"},
                         {"Anna", "alfa", "31/12/99", "23:59", "9.50"},
                         {"carla", "Beta", "15/06/24", "9:10", ""}})});
  m.ColumnClick(0);
  EXPECT_EQ(Column(m, 0), (std::vector<std::string>{"Anna", "bob", "carla"}));
  m.ColumnClick(0);
  EXPECT_EQ(Column(m, 0), (std::vector<std::string>{"carla", "bob", "Anna"}));
  m.ColumnClick(1);  // numerically, unreadable first
  EXPECT_FALSE(m.Descending());
  EXPECT_EQ(Column(m, 1), (std::vector<std::string>{"", "9.50", "10.00"}));
  m.ColumnClick(2);  // as dates: 1999 before 2024 before 2025
  EXPECT_EQ(Column(m, 2), (std::vector<std::string>{"31/12/99", "15/06/24", "01/01/25"}));
  m.ColumnClick(3);  // as times
  EXPECT_EQ(Column(m, 3), (std::vector<std::string>{"09:05", "9:10", "23:59"}));
  m.ColumnClick(4);
  EXPECT_EQ(Column(m, 4), (std::vector<std::string>{"alfa", "Beta", "Zeta"}));
}

}  // namespace
}  // namespace orva
