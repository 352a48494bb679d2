#include "phone/ui/vivavoce.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "platform/Registry.h"
#include "platform/SafeFile.h"

namespace orva {
namespace {

struct DialFixture : ::testing::Test {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  DialFormSettings settings;
  std::vector<int> handedOver;
  std::vector<DialRequest> dialled;

  std::unique_ptr<TDialForm> Open(Registry& registry) {
    DialFormHooks hooks;
    hooks.handOverTariff = [this](int i) { handedOver.push_back(i); };
    hooks.dial = [this](const DialRequest& r, std::string&) {
      dialled.push_back(r);
      return true;
    };
    return std::make_unique<TDialForm>(std::vector<std::string>{"Urbana", "Interurbana"}, settings,
                                       registry, dialogs, hooks);
  }
  template <class T>
  static T* Find(QWidget* w, const char* name) {
    return w->findChild<T*>(QString::fromUtf8(name));
  }
};

TEST_F(DialFixture, LineWithoutTabsShowsNoTariffAndDialWithoutTariffSendsNoHandOver) {
  settings.phoneBookPath = dir.File("rubrica.tel");
  test::WriteBytes(settings.phoneBookPath, "Rossi\t06-123\tUrbana\r\nsolo testo\r\n");
  Registry registry(dir.path());
  auto form = Open(registry);
  auto* list = Find<QTreeWidget>(form.get(), "ListView1");
  ASSERT_EQ(list->topLevelItemCount(), 2);
  // Sorted by name: the line without tabs has an empty name and comes first.
  EXPECT_EQ(list->topLevelItem(0)->text(2), QStringLiteral("solo testo"));
  list->setCurrentItem(list->topLevelItem(0));
  EXPECT_EQ(Find<QComboBox>(form.get(), "TariffeCB")->currentIndex(), -1);
  EXPECT_FALSE(Find<QPushButton>(form.get(), "ComponiBtn")->isEnabled());

  list->setCurrentItem(list->topLevelItem(1));
  EXPECT_EQ(Find<QComboBox>(form.get(), "TariffeCB")->currentIndex(), 0);
  Find<QPushButton>(form.get(), "ComponiBtn")->click();
  EXPECT_EQ(handedOver, std::vector<int>{0});
  Find<QComboBox>(form.get(), "TariffeCB")->setCurrentIndex(-1);
  Find<QPushButton>(form.get(), "ComponiBtn")->click();
  EXPECT_EQ(handedOver.size(), 1u);  // no tariff: dialled without hand-over
  ASSERT_EQ(dialled.size(), 2u);
  EXPECT_EQ(dialled[1].number, "06-123");
  EXPECT_EQ(dialled[1].calledParty, "Rossi");
}

TEST_F(DialFixture, SpeakerLevelGoesIntoTheModemStringAndIsRestoredOnClose) {
  settings.phoneBookPath = dir.File("rubrica.tel");
  {
    Registry registry(dir.path());
    ASSERT_TRUE(registry.WriteString(kModemKey, "UserInit", "ATX3"));
  }
  Registry registry(dir.path());
  auto form = Open(registry);
  EXPECT_EQ(registry.ReadString(kModemKey, "UserInit"), "ATX3L2M1");
  Find<QSpinBox>(form.get(), "UpDown1")->setValue(0);
  EXPECT_EQ(registry.ReadString(kModemKey, "UserInit"), "ATX3L0M0");
  EXPECT_EQ(settings.speakerLevel, 0);
  form->close();
  EXPECT_EQ(registry.ReadString(kModemKey, "UserInit"), "ATX3");
}

TEST_F(DialFixture, AddModifyAndCloseWriteTheFile) {
  settings.phoneBookPath = dir.File("rubrica.tel");
  Registry registry(dir.path());
  auto form = Open(registry);
  Find<QLineEdit>(form.get(), "NameEdit")->setText(QStringLiteral("Verdi"));
  Find<QLineEdit>(form.get(), "NumberEdit")->setText(QStringLiteral("02-9"));
  Find<QPushButton>(form.get(), "AggiungiBtn")->click();  // no tariff: refused
  EXPECT_TRUE(form->Book().Rows().empty());
  Find<QComboBox>(form.get(), "TariffeCB")->setCurrentIndex(1);
  Find<QPushButton>(form.get(), "AggiungiBtn")->click();
  Find<QPushButton>(form.get(), "AggiungiBtn")->click();  // the same name twice: two rows
  ASSERT_EQ(form->Book().Rows().size(), 2u);
  Find<QLineEdit>(form.get(), "NumberEdit")->setText(QStringLiteral("02-1"));
  Find<QPushButton>(form.get(), "ModificaBtn")->click();
  form->close();
  EXPECT_EQ(test::ReadBytes(settings.phoneBookPath),
            "Verdi\t02-9\tInterurbana\r\nVerdi\t02-1\tInterurbana\r\n");
}

}  // namespace
}  // namespace orva

namespace orva {

// A picture of the window for the documentation, written only when ORVA_SCREENSHOTS names a
// folder.
TEST_F(DialFixture, Screenshot) {
  const char* out = std::getenv("ORVA_SCREENSHOTS");
  if (!out || !*out) GTEST_SKIP() << "ORVA_SCREENSHOTS not set";
  settings.phoneBookPath = dir.File("rubrica.tel");
  test::WriteBytes(settings.phoneBookPath,
                   "Rossi Mario\t06-5551234\tUrbana\r\nBianchi Anna\t02-5559876\tInterurbana\r\n"
                   "Verdi Luca\t011-555321\tUrbana\r\n");
  Registry registry(dir.path());
  auto form = Open(registry);
  form->show();
  form->grab().save(QString::fromUtf8(out) + QStringLiteral("/phone-book.png"));
}

}  // namespace orva

namespace orva {

TEST_F(DialFixture, WithoutTelephonyComponiIsRefusedAndNothingElseHappens) {
  settings.phoneBookPath = dir.File("rubrica.tel");
  test::WriteBytes(settings.phoneBookPath, "Rossi\t06-123\tUrbana\r\n");
  Registry registry(dir.path());
  DialFormHooks hooks;
  hooks.handOverTariff = [this](int i) { handedOver.push_back(i); };
  TDialForm form({"Urbana"}, settings, registry, dialogs, hooks);
  form.findChild<QPushButton*>(QStringLiteral("ComponiBtn"))->click();
  EXPECT_TRUE(handedOver.empty());
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_NE(dialogs.shown[0].text.find("telefonia"), std::string::npos);
}

}  // namespace orva

namespace orva {

TEST_F(DialFixture, PlaceIsRestoredAndStoredOnClose) {
  settings.phoneBookPath = dir.File("rubrica.tel");
  settings.position = "0 40 30 500 380";
  Registry registry(dir.path());
  auto form = Open(registry);
  EXPECT_EQ(form->size(), QSize(500, 380));
  form->move(60, 70);
  form->close();
  EXPECT_EQ(settings.position.rfind("0 70 60 ", 0), 0u) << settings.position;
}

}  // namespace orva

namespace orva {

// The label above the list names the phone book as the file system spells it: the path it shows
// opens the very file, also after another book is opened or the book is saved under a new name.
TEST_F(DialFixture, FileNameIsShownAsTheFileSystemSpellsIt) {
  MakeDirectories(dir.File("Rubriche"));
  settings.phoneBookPath = dir.File("Rubriche/Amici.tel");
  test::WriteBytes(settings.phoneBookPath, "Rossi\t06-123\tUrbana\r\n");
  test::WriteBytes(dir.File("Rubriche/Lavoro.TEL"), "Bianchi\t02-456\tUrbana\r\n");
  Registry registry(dir.path());
  auto form = Open(registry);
  auto* name = Find<QLabel>(form.get(), "NameLb");
  EXPECT_EQ(name->text().toStdString(), dir.File("Rubriche/Amici.tel"));
  EXPECT_TRUE(FileExists(name->text().toStdString()));

  dialogs.NextFile(dir.File("Rubriche/Lavoro.TEL"));
  Find<QPushButton>(form.get(), "ApriBtn")->click();
  EXPECT_EQ(name->text().toStdString(), dir.File("Rubriche/Lavoro.TEL"));

  dialogs.NextFile(dir.File("Rubriche/Copia"));
  Find<QPushButton>(form.get(), "SalvaBtn")->click();
  EXPECT_EQ(name->text().toStdString(), settings.phoneBookPath);
  EXPECT_EQ(DirectoryOf(settings.phoneBookPath), DirectoryOf(dir.File("Rubriche/x")));
  EXPECT_EQ(test::ReadBytes(name->text().toStdString()), "Bianchi\t02-456\tUrbana\r\n");
}

// Saving under a name the chooser gave writes that very file: a book "Amici.tel" is not
// doubled by an "amici.tel" beside it, a name without extension finds the ".TEL" book Windows
// wrote, and a new book keeps the capitals it was given.
TEST_F(DialFixture, SaveAsWritesTheChosenFileNotALowerCaseTwin) {
  MakeDirectories(dir.File("Rubriche"));
  settings.phoneBookPath = dir.File("rubrica.tel");
  test::WriteBytes(settings.phoneBookPath, "Rossi\t06-123\tUrbana\r\n");
  test::WriteBytes(dir.File("Rubriche/Amici.tel"), "Verdi\t011-1\tUrbana\r\n");
  test::WriteBytes(dir.File("Rubriche/Lavoro.TEL"), "Bianchi\t02-456\tUrbana\r\n");
  Registry registry(dir.path());
  auto form = Open(registry);

  dialogs.NextFile(dir.File("Rubriche/Amici.tel"));
  Find<QPushButton>(form.get(), "SalvaBtn")->click();
  EXPECT_EQ(settings.phoneBookPath, dir.File("Rubriche/Amici.tel"));
  EXPECT_EQ(test::ReadBytes(dir.File("Rubriche/Amici.tel")), "Rossi\t06-123\tUrbana\r\n");
  EXPECT_FALSE(FileExists(dir.File("Rubriche/amici.tel")));

  dialogs.NextFile(dir.File("Rubriche/Lavoro"));
  Find<QPushButton>(form.get(), "SalvaBtn")->click();
  EXPECT_EQ(settings.phoneBookPath, dir.File("Rubriche/Lavoro.TEL"));
  EXPECT_FALSE(FileExists(dir.File("Rubriche/lavoro.tel")));
  EXPECT_FALSE(FileExists(dir.File("Rubriche/Lavoro.tel")));

  dialogs.NextFile(dir.File("Rubriche/Casa Nuova"));
  Find<QPushButton>(form.get(), "NuovoBtn")->click();
  EXPECT_EQ(settings.phoneBookPath, dir.File("Rubriche/Casa Nuova.tel"));
  EXPECT_TRUE(FileExists(dir.File("Rubriche/Casa Nuova.tel")));
}

}  // namespace orva
