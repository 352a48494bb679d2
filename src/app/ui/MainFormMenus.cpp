// The main window's menus, made from the command table, and the enabling of its commands.
#include "app/ui/MainForm.h"

#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QKeySequence>
#include <QMenu>
#include <QShortcut>
#include <QSystemTrayIcon>
#include <QToolButton>

#include "app/ui/MainFormLayout.h"

namespace orva {

using namespace mainform;

QAction* TMainForm::AddCommand(QMenu* menu, CommandId id, bool tablesItem) {
  const CommandInfo& c = Command(id);
  const QString name = QString::fromLatin1(tablesItem ? c.tablesItem : c.item);
  auto* a = menu->addAction(QString::fromUtf8(tablesItem ? c.tablesCaption : c.caption));
  a->setObjectName(name);
  a->setCheckable(c.checkable);
  if (*c.shortcut) a->setShortcut(QKeySequence(QString::fromLatin1(c.shortcut)));
  m_actions.insert(name, a);
  connect(a, &QAction::triggered, this, [this, id] { RunCommand(id); });
  return a;
}

void TMainForm::FillMenu(QMenu* menu, std::span<const MenuEntry> entries, bool tablesItems) {
  std::vector<QMenu*> open{menu};
  for (const MenuEntry& e : entries) {
    switch (e.kind) {
      case MenuEntry::Kind::Command:
        AddCommand(open.back(), e.id, tablesItems);
        break;
      case MenuEntry::Kind::Separator:
        open.back()->addSeparator();
        break;
      case MenuEntry::Kind::Submenu: {
        QMenu* sub = open.back()->addMenu(QString::fromUtf8(e.caption));
        sub->setObjectName(QString::fromLatin1(e.name));
        open.push_back(sub);
        break;
      }
      case MenuEntry::Kind::End:
        if (open.size() > 1) open.pop_back();
        break;
    }
  }
}

void TMainForm::BindOwnCommands() {
  m_commands.Bind(CommandId::SmallWindow, [this] { ShrinkBtnClick(); });
  m_commands.Bind(CommandId::LargeWindow, [this] { ZoomBtnClick(); });
  m_commands.Bind(CommandId::Bitmap, [this] { Sfondoabitmap1Click(); });
  m_commands.Bind(CommandId::Details, [this] { ShowDetails(); });
  for (int i = 0; i < 6; ++i) m_commands.Bind(PanelCommand(i), [this, i] { TogglePanel(i); });
  for (int i = 0; i < kCounterItems; ++i)
    m_commands.Bind(CounterCommand(i), [this, i] { SelectCounterItem(i + 1); });
  m_commands.Bind(CommandId::Quit, [this] { Quit1Click(); });
  m_commands.Bind(CommandId::HideMailIcon, [this] { SetMailIcon(false, false); });
}

QAction* TMainForm::Item(CommandId id) const {
  return m_actions.value(QString::fromLatin1(Command(id).item));
}

void TMainForm::RunCommand(CommandId id) {
  m_commands.Run(id);
}

void TMainForm::BuildMenu() {
  m_mainMenu = new QMenu(this);
  m_mainMenu->setObjectName(QStringLiteral("Mainmenu"));
  FillMenu(m_mainMenu, MainMenuLayout(), false);
  m_smallAction = Item(CommandId::SmallWindow);
  m_largeAction = Item(CommandId::LargeWindow);
  m_bitmapAction = Item(CommandId::Bitmap);
  Item(CommandId::Details)->setChecked(true);
  auto* group = new QActionGroup(this);
  group->setExclusive(true);
  for (int i = 0; i < 6; ++i) {
    m_panelActions[i] = Item(PanelCommand(i));
    m_panelActions[i]->setChecked(true);
  }
  for (int i = 0; i < kCounterItems; ++i) {
    m_counterActions[i] = Item(CounterCommand(i));
    group->addAction(m_counterActions[i]);
  }

  // The keyboard's way to every command: F10, Shift+F10 and the Menu key open the main menu
  // in either mode, wherever the focus is in the window.
  for (const QKeySequence& keys : {QKeySequence(Qt::Key_F10), QKeySequence(Qt::SHIFT | Qt::Key_F10),
                                   QKeySequence(Qt::Key_Menu)}) {
    auto* shortcut = new QShortcut(keys, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [this] { PopUpMainMenu(); });
  }
  m_menuBtn->setMenu(m_mainMenu);
  // Opened by a click, and by a screen reader's "press" or "show menu", which an instant
  // pop-up does not answer.
  m_menuBtn->setPopupMode(QToolButton::DelayedPopup);
  connect(m_menuBtn, &QToolButton::clicked, m_menuBtn, &QToolButton::showMenu);
  m_menuBtn->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
}

void TMainForm::SetCyclicMailCheck(bool on) {
  if (QAction* a = Item(CommandId::MailCyclic)) a->setChecked(on);
}

void TMainForm::RefreshCommandStates() {
  const CommandStateInput in = CommandSource ? CommandSource() : CommandStateInput{};
  for (const CommandState& s : orva::RefreshCommandStates(in)) {
    const QString name = QString::fromStdString(s.name);
    if (QAction* a = m_actions.value(name)) a->setEnabled(s.enabled);
    if (auto* w = findChild<QWidget*>(name)) w->setEnabled(s.enabled);
  }
}

void TMainForm::SetDialEntries(const std::vector<std::string>& entries) {
  // The connect button and the "Connetti" item get one dial item per entry.
  auto* button = findChild<QToolButton*>(QStringLiteral("ConnectBtn"));
  QAction* item = Item(CommandId::Connect);
  delete m_connectMenu;
  delete m_connectSubmenu;
  m_connectMenu = nullptr;
  m_connectSubmenu = nullptr;
  if (entries.empty()) {
    if (button) button->setMenu(nullptr);
    if (item) item->setMenu(nullptr);
    return;
  }
  m_connectMenu = new QMenu(this);
  m_connectMenu->setObjectName(QStringLiteral("ConnectMenu"));
  m_connectSubmenu = new QMenu(this);
  m_connectSubmenu->setObjectName(QStringLiteral("ConnectSubmenu"));
  for (QMenu* menu : {m_connectMenu, m_connectSubmenu}) {
    bool first = true;
    for (const std::string& entry : entries) {
      if (!first && menu == m_connectMenu) menu->addSeparator();
      first = false;
      // "&" in an entry name is a literal ampersand, not a shortcut mark.
      QAction* a = menu->addAction(Q(entry).replace(QLatin1Char('&'), QStringLiteral("&&")));
      a->setData(Q(entry));
      connect(a, &QAction::triggered, this, [this, entry] {
        if (OnDialEntry) OnDialEntry(entry);
      });
    }
  }
  if (button) {
    button->setMenu(m_connectMenu);
    button->setPopupMode(QToolButton::InstantPopup);
  }
  if (item) item->setMenu(m_connectSubmenu);
}

void TMainForm::SetHangupEnabled(bool enabled) {
  if (auto* b = findChild<QWidget*>(QStringLiteral("HangupBtn"))) b->setEnabled(enabled);
  if (QAction* a = Item(CommandId::Disconnect)) a->setEnabled(enabled);
  if (auto* b = findChild<QWidget*>(QStringLiteral("ConnectBtn"))) b->setEnabled(!enabled);
}

// Below the menu button in the small bar; in the large window at the control that has the
// focus, or at the window's corner.
void TMainForm::PopUpMainMenu() {
  QPoint at;
  if (m_settings.mode == WindowMode::Small) {
    at = m_menuBtn->mapToGlobal(QPoint(0, m_menuBtn->height()));
  } else if (QWidget* focus = focusWidget(); focus && focus->isVisible()) {
    at = focus->mapToGlobal(QPoint(0, focus->height()));
  } else {
    at = mapToGlobal(QPoint(8, 8));
  }
  m_mainMenu->popup(at);
  m_mainMenu->setActiveAction(m_mainMenu->actions().value(0));
}

void TMainForm::contextMenuEvent(QContextMenuEvent* e) {
  // A right click on the window's background, or the menu key where a control has no menu
  // of its own.
  if (e->reason() == QContextMenuEvent::Keyboard) {
    PopUpMainMenu();
  } else {
    m_mainMenu->popup(e->globalPos());
  }
  e->accept();
}

}  // namespace orva
