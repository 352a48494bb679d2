// Every command of the main window's menus and buttons, run through the real actions and
// buttons of the real program's main window: each one that opens a window opens it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <map>
#include <set>

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "TestProgram.h"
#include "app/Commands.h"
#include "app/ui/AccessibleNames.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/Program.h"
#include "core/HowUtils.h"
#include "net/Hosts.h"
#include "platform/DataDir.h"

namespace orva {
namespace {

// What a command opens: the window's class, or nothing (it acts on the main window or the
// meter). A command missing from both tables fails the test, so a new one is never untried.
const std::map<QString, const char*>& WindowCommands() {
  static const std::map<QString, const char*> kTable = {
      {QStringLiteral("AVoce1"), "orva::TDialForm"},
      {QStringLiteral("ElencoConnessioni1"), "orva::TLog"},
      {QStringLiteral("Bolletta1"), "orva::TBollettaDLG"},
      {QStringLiteral("ImpostazioniTariffe1"), "orva::TSetTar"},
      {QStringLiteral("ElencoServers1"), "orva::THostsDlg"},
      {QStringLiteral("Opzioni1"), "orva::TSetupForm"},
      {QStringLiteral("Wizard1"), "orva::TWizardDlg"},
      {QStringLiteral("Suggerimenti1"), "orva::TTipsForm"},
      {QStringLiteral("Informazioni1"), "orva::TAboutBox"},
      // "Tabelle" of the button panel.
      {QStringLiteral("ElencoConnessioni2"), "orva::TLog"},
      {QStringLiteral("Bolletta2"), "orva::TBollettaDLG"},
      {QStringLiteral("ImpostazioneTariffe2"), "orva::TSetTar"},
      // The buttons of the "Pulsanti" panel that open windows.
      {QStringLiteral("VoiceBtn"), "orva::TDialForm"},
      {QStringLiteral("SetupBtn"), "orva::TSetupForm"},
      {QStringLiteral("HostsBtn"), "orva::THostsDlg"},
  };
  return kTable;
}

const std::set<QString>& OtherCommands() {
  static const std::set<QString> kOthers = {
      QStringLiteral("Start1"),
      QStringLiteral("Stop1"),
      QStringLiteral("Connetti1"),
      QStringLiteral("Sconnetti1"),
      QStringLiteral("ControllaOra1"),
      QStringLiteral("AttivaControllo1"),
      QStringLiteral("InterrompiControllo1"),
      QStringLiteral("Ridotta1"),
      QStringLiteral("Ingrandita1"),
      QStringLiteral("Sfondoabitmap1"),
      QStringLiteral("Dettagli1"),
      QStringLiteral("Quit1"),
      // Runs the privileged hosts helper through pkexec (the system's authorisation box).
      QStringLiteral("ApplicaHosts1"),
  };
  return kOthers;
}

bool IsOther(const QString& name) {
  return OtherCommands().count(name) || name.startsWith(QStringLiteral("Pannello")) ||
         name.startsWith(QStringLiteral("Counter"));
}

void CollectActions(QMenu* menu, QList<QAction*>& out) {
  for (QAction* a : menu->actions()) {
    if (a->isSeparator()) continue;
    if (a->menu() && a->objectName().isEmpty()) {
      CollectActions(a->menu(), out);
      continue;
    }
    out << a;
  }
}

QWidget* ShownWindowOf(const char* className) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && qstrcmp(w->metaObject()->className(), className) == 0) return w;
  return nullptr;
}

void CloseWindow(QWidget* w) {
  if (auto* d = qobject_cast<QDialog*>(w))
    d->reject();
  else
    w->close();
}

struct MenuFixture : ::testing::Test {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<TOrvaProgram> program;
  // The controls without a name for screen readers, per window.
  std::map<QString, QStringList> unnamed;

  void SetUp() override {
    test::WriteBytes(dir.File("ORVA32.INI"),
                     "[Impostazioni generali]\r\nMostra wizard=0\r\n[Suggerimenti]\r\n"
                     "Help Tips=1\r\n[Setup]\r\nSuggerimenti=0\r\n[TCPIP]\r\n"
                     "Get network time=0\r\n");
    test::WriteBytes(dir.File("hosts"), "127.0.0.1 localhost\n");
    ASSERT_TRUE(SeedTariffs(dir.path()));
    ProgramOptions o = test::QuietProgram(dir.path(), dialogs);
    program = std::make_unique<TOrvaProgram>(o);
    program->Start();
    QApplication::processEvents();
  }
  void TearDown() override {
    program->WMQueryEndSession();
    program.reset();
  }

  // Runs a command as the user does and returns the class of the window it opened (empty
  // when none came up within the time); the window is closed again.
  QString Run(const std::function<void()>& trigger, const char* expected) {
    QString opened;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
      if (QWidget* w = ShownWindowOf(expected)) {
        opened = QString::fromLatin1(w->metaObject()->className());
        if (const QStringList names = UnnamedControls(w); !names.isEmpty()) unnamed[opened] = names;
        CloseWindow(w);
      }
    });
    poll.start(10);
    trigger();
    QElapsedTimer t;
    t.start();
    while (opened.isEmpty() && t.elapsed() < 5000)
      QApplication::processEvents(QEventLoop::AllEvents, 20);
    poll.stop();
    QApplication::processEvents();
    return opened;
  }
};

// The main window, with the service panels the start-up puts into it after it is shown: a
// screen reader finds a name for every control, from its hint, its label or its own.
TEST_F(MenuFixture, MainWindowControlsAreNamedForScreenReaders) {
  TMainForm& form = program->Form();
  EXPECT_EQ(UnnamedControls(&form), QStringList());
  EXPECT_EQ(form.findChild<QWidget*>(QStringLiteral("FeeCB1"))->accessibleName(),
            QStringLiteral("Selezione tariffa"));
  EXPECT_EQ(form.findChild<QWidget*>(QStringLiteral("FeeCB"))->accessibleName(),
            QStringLiteral("Scelta tariffa"));
  EXPECT_EQ(form.findChild<QWidget*>(QStringLiteral("HostEdit"))->accessibleName(),
            QStringLiteral("Indirizzo IP"));
  EXPECT_EQ(form.findChild<QWidget*>(QStringLiteral("AddrEdit"))->accessibleName(),
            QStringLiteral("Nome host"));
  EXPECT_EQ(AccessibleNameOf(form.findChild<QWidget*>(QStringLiteral("DisplayMemo"))),
            QStringLiteral("Risultati della ricerca"));
}

TEST_F(MenuFixture, EveryMenuCommandOpensItsWindow) {
  TMainForm& form = program->Form();
  QList<QAction*> actions;
  CollectActions(form.MainMenu(), actions);
  auto* tables = form.findChild<QMenu*>(QStringLiteral("TabelleMenu"));
  ASSERT_NE(tables, nullptr);
  CollectActions(tables, actions);

  std::set<QString> covered;
  for (QAction* a : actions) {
    const QString name = a->objectName();
    ASSERT_FALSE(name.isEmpty()) << a->text().toStdString();
    const auto it = WindowCommands().find(name);
    if (it == WindowCommands().end()) {
      EXPECT_TRUE(IsOther(name)) << "command not covered: " << name.toStdString();
      continue;
    }
    // Idle, every window command is available.
    EXPECT_TRUE(a->isEnabled()) << name.toStdString();
    EXPECT_EQ(Run([a] { a->trigger(); }, it->second), QString::fromLatin1(it->second))
        << "\"" << a->text().toStdString() << "\" (" << name.toStdString() << ")";
    covered.insert(name);
  }
  // Every control of every window, and of the main window, has a name a screen reader reads.
  for (const auto& [window, names] : unnamed)
    ADD_FAILURE() << window.toStdString() << ": " << names.join(QStringLiteral(", ")).toStdString();
  EXPECT_EQ(UnnamedControls(&form).join(QStringLiteral(", ")).toStdString(), "");
  // Every window of the table was reached from the menus.
  for (const auto& [name, cls] : WindowCommands()) {
    if (!name.endsWith(QStringLiteral("Btn"))) {
      EXPECT_TRUE(covered.count(name)) << name.toStdString();
    }
  }
}

TEST_F(MenuFixture, PanelButtonsOpenTheirWindows) {
  TMainForm& form = program->Form();
  for (const auto& [name, cls] : WindowCommands()) {
    if (!name.endsWith(QStringLiteral("Btn"))) continue;
    auto* button = form.findChild<QToolButton*>(name);
    ASSERT_NE(button, nullptr) << name.toStdString();
    EXPECT_EQ(Run([button] { button->click(); }, cls), QString::fromLatin1(cls))
        << name.toStdString();
  }
}

TEST_F(MenuFixture, ConnectWithoutDialupEntriesExplainsWhereTheyAreConfigured) {
  QAction* connect = program->Form().findChild<QAction*>(QStringLiteral("Connetti1"));
  ASSERT_NE(connect, nullptr);
  connect->trigger();
  ASSERT_FALSE(dialogs.shown.empty());
  EXPECT_NE(dialogs.shown.back().text.find("/etc/ppp/peers"), std::string::npos);
}

TEST_F(MenuFixture, InformationBoxNamesVersionDataDirectoryAndLicence) {
  QAction* info = program->Form().findChild<QAction*>(QStringLiteral("Informazioni1"));
  ASSERT_NE(info, nullptr);
  QString text;
  QTimer::singleShot(50, [&] {
    if (QWidget* w = ShownWindowOf("orva::TAboutBox")) {
      if (auto* l = w->findChild<QLabel*>(QStringLiteral("AboutLb"))) text = l->text();
      CloseWindow(w);
    }
  });
  info->trigger();
  EXPECT_TRUE(text.contains(QStringLiteral("Versione 4.1"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QString::fromStdString(dir.path()))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("Licenza"))) << text.toStdString();
}

}  // namespace
}  // namespace orva

namespace orva {
namespace {

// Every entry of the real window's menus comes from the command table with its caption, every
// button the table names is there, and every command reaches a handler once the program runs:
// a command added to the table but not bound, or a menu item made beside the table, fails.
TEST_F(MenuFixture, EveryMenuEntryComesFromTheCommandTableAndReachesAHandler) {
  TMainForm& form = program->Form();
  QList<QAction*> actions;
  CollectActions(form.MainMenu(), actions);
  for (const char* menu : {"TabelleMenu", "Pop3Menu"}) {
    auto* m = form.findChild<QMenu*>(QString::fromLatin1(menu));
    ASSERT_NE(m, nullptr) << menu;
    CollectActions(m, actions);
  }
  std::set<std::string> seen;
  for (QAction* a : actions) {
    const std::string name = a->objectName().toStdString();
    const CommandInfo* c = FindCommand(name);
    ASSERT_NE(c, nullptr) << "a menu entry outside the table: " << name;
    const bool tables = c->tablesItem && name == c->tablesItem;
    EXPECT_EQ(a->text().toStdString(), tables ? c->tablesCaption : c->caption) << name;
    EXPECT_TRUE(seen.insert(name).second) << "twice in the menus: " << name;
  }
  for (const CommandInfo& c : CommandTable()) {
    const char* label = c.item ? c.item : c.button;
    EXPECT_TRUE(form.Commands().Bound(c.id)) << "no handler: " << label;
    for (const char* item : {c.item, c.tablesItem}) {
      if (item) {
        EXPECT_TRUE(seen.count(item)) << "not in a menu: " << item;
      }
    }
    if (c.button) {
      EXPECT_NE(form.findChild<QToolButton*>(QString::fromLatin1(c.button)), nullptr) << c.button;
    }
  }
}

// Brings the main window to the front, as the keyboard's shortcuts need.
void Activate(TMainForm& form) {
  QElapsedTimer t;
  t.start();
  while (QApplication::activeWindow() != &form && t.elapsed() < 5000) {
    form.activateWindow();
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  ASSERT_EQ(QApplication::activeWindow(), &form);
}

// Whether the key, pressed where the focus is, opens the main menu (closed again).
bool MenuOpensWith(TMainForm& form, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QWidget* focus = form.focusWidget() ? form.focusWidget() : &form;
  QTest::keyClick(focus, key, modifiers);
  QApplication::processEvents();
  const bool open = form.MainMenu()->isVisible();
  if (open) QTest::keyClick(form.MainMenu(), Qt::Key_Escape);
  QApplication::processEvents();
  return open;
}

// From the keyboard alone: in the large window, the first-start mode, F10, Shift+F10 or the
// Menu key opens the main menu wherever the focus is; the arrows walk it and Enter runs the
// command.
TEST_F(MenuFixture, TheKeyboardOpensTheMainMenuAndRunsItsCommands) {
  TMainForm& form = program->Form();
  ASSERT_EQ(form.Mode(), WindowMode::Large);
  Activate(form);
  EXPECT_TRUE(MenuOpensWith(form, Qt::Key_F10, Qt::NoModifier));
  EXPECT_TRUE(MenuOpensWith(form, Qt::Key_F10, Qt::ShiftModifier));
  EXPECT_TRUE(MenuOpensWith(form, Qt::Key_Menu, Qt::NoModifier));
  // With the focus on a control of a panel (the tariff selector).
  form.findChild<QWidget*>(QStringLiteral("FeeCB"))->setFocus();
  EXPECT_TRUE(MenuOpensWith(form, Qt::Key_F10, Qt::ShiftModifier));
  // The menu opens on its first entry; Up goes round to "Termina", once more to "Informazioni".
  const QString opened = Run(
      [&form] {
        QTest::keyClick(&form, Qt::Key_F10, Qt::ShiftModifier);
        QMenu* menu = form.MainMenu();
        QTest::keyClick(menu, Qt::Key_Up);
        QTest::keyClick(menu, Qt::Key_Up);
        QTest::keyClick(menu, Qt::Key_Return);
      },
      "orva::TAboutBox");
  EXPECT_EQ(opened, QStringLiteral("orva::TAboutBox"));
  EXPECT_FALSE(form.MainMenu()->isVisible());
}

// The same keys open the same menu from the small bar, after the user shrank the window with
// the focus on a control of the large one: the bar takes the activation and the keyboard.
// The offscreen platform does not activate a window after its mode changed; an X server with
// a window manager does.
TEST_F(MenuFixture, TheKeyboardOpensTheMainMenuFromTheSmallBar) {
  if (QGuiApplication::platformName() != QStringLiteral("xcb"))
    GTEST_SKIP() << "the small bar's keys need an X server with a window manager";
  TMainForm& form = program->Form();
  Activate(form);
  form.findChild<QWidget*>(QStringLiteral("FeeCB"))->setFocus();
  form.findChild<QToolButton*>(QStringLiteral("ShrinkBtn"))->click();
  ASSERT_EQ(form.Mode(), WindowMode::Small);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  Activate(form);
  EXPECT_TRUE(MenuOpensWith(form, Qt::Key_F10, Qt::NoModifier));
  EXPECT_TRUE(MenuOpensWith(form, Qt::Key_F10, Qt::ShiftModifier));
  EXPECT_TRUE(MenuOpensWith(form, Qt::Key_Menu, Qt::NoModifier));
  // And back: the large window takes them again.
  form.findChild<QToolButton*>(QStringLiteral("ZoomBtn"))->click();
  ASSERT_EQ(form.Mode(), WindowMode::Large);
  Activate(form);
  EXPECT_TRUE(MenuOpensWith(form, Qt::Key_Menu, Qt::NoModifier));
}

// "Aiuto" shows the help in a window of the program, at the section of the page that asked,
// without a browser; opened from the options dialog it belongs to the dialog, which would
// otherwise block it.
TEST_F(MenuFixture, HelpOpensInAWindowOfItsOwnAtItsSection) {
  bool asked = false, shown = false, ownedByTheDialog = false;
  QString text;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
    QWidget* options = QApplication::activeModalWidget();
    if (!options || options->objectName() != QStringLiteral("SetupForm") || asked) return;
    asked = true;
    options->findChild<QPushButton*>(QStringLiteral("HelpBtn"))->click();
    // The window goes with the dialog, so it is read before the dialog closes.
    if (auto* help = options->findChild<THelpWindow*>()) {
      shown = help->isVisible();
      ownedByTheDialog = help->parentWidget() == options;
      text = help->Browser()->toPlainText();
    }
    static_cast<QDialog*>(options)->reject();
  });
  poll.start(10);
  program->Form().RunCommand(CommandId::Options);
  poll.stop();
  ASSERT_TRUE(asked);
  EXPECT_TRUE(shown);
  EXPECT_TRUE(ownedByTheDialog);
  EXPECT_TRUE(text.contains(QStringLiteral("Impostazioni: Principale")));

  // The bill view's section is far down the page: the window opens scrolled to it.
  THelpWindow* bill = THelpWindow::Show(160);
  QApplication::processEvents();
  EXPECT_TRUE(bill->isVisible());
  EXPECT_GT(bill->Browser()->verticalScrollBar()->value(), 0);
  bill->close();
}

}  // namespace
}  // namespace orva
