// The main window: the counter bar (the small always-on-top window), the six panels of the
// large window, the tray icon and the main menu. It shows what the meter computes and
// forwards the user's commands; the texts and rules come from the logic beside it.
#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "app/Commands.h"
#include "app/CounterDisplay.h"
#include "app/MainWindowState.h"
#include "app/WindowPlacement.h"
#include "core/MeterView.h"

class QAction;
class QActionGroup;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QProgressBar;
class QSystemTrayIcon;
class QTimer;
class QToolButton;
class QVBoxLayout;

namespace orva {

class FramePlace;

// A colour stored as 0x00BBGGRR.
QColor FromBgr(unsigned bgr);

// The window is the meter's view: the shell logic calls the MeterView operations.
class TMainForm final : public QWidget, public MeterView {
  Q_OBJECT
 public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // --- What the program wires in (each may stay unset) ---
  // The meter's state for the counters.
  std::function<CounterInput()> CounterSource;
  // The state for the command table.
  std::function<CommandStateInput()> CommandSource;
  // Decides whether the program may close (password, call in progress).
  std::function<bool()> CloseQuery;
  // Runs once when the window goes away: saves the settings.
  std::function<void()> OnDestroy;
  // The first activation of the window (saved tariff, period cost, wizard).
  std::function<void()> OnFirstActivation;
  // The user chose a tariff in one of the selectors.
  std::function<void(int)> OnTariffChosen;
  // Whether a tray shows the icon (default: asks the desktop).
  std::function<bool()> TrayAvailable;
  // The handlers of the menu commands and buttons: the window binds the ones that act on
  // itself (modes, panels, counter items, "Termina"), the program the others.
  CommandHandlers& Commands() { return m_commands; }
  void RunCommand(CommandId id);
  // One of the per-entry dial items (the connect button's menu, "Connetti").
  std::function<void(const std::string&)> OnDialEntry;
  // The voice dialer window.
  std::function<void()> OnShowVoiceDialer;

  // --- The mail notification icon (RxTrayIcon2) and the network time button ---
  // Shown or hidden, animated (75 ms frames) or still; a double click or "Visualizza
  // messaggi" runs the command "Visualizzamessaggi1".
  void SetMailIcon(bool visible, bool animated);
  void SetMailIconHint(const QString& hint);
  bool MailIconVisible() const { return m_mailIconShown; }
  bool MailIconAnimated() const;
  QString MailIconHint() const { return m_mailHint; }
  QSystemTrayIcon* MailTrayIcon() const { return m_mailTray; }
  // ClockBtn enabled or not (a running check disables it) and the hint of SyncroL.
  void SetClockButtonEnabled(bool enabled);
  void SetLabelHint(const QString& name, const QString& hint);
  // The check mark of "Attiva controllo ciclico".
  void SetCyclicMailCheck(bool on);

  // --- Start-up ---
  void ApplySettings(const WindowSettings& s);
  WindowSettings CurrentSettings() const;
  void SetTariffs(const std::vector<std::string>& descriptions,
                  const std::vector<std::string>& abbreviations);
  // Lays the panels out, puts the window in its mode and place and shows it (or keeps it
  // hidden when "Help Tips" is off).
  void FormCreate();

  // --- Window operations the meter calls ---
  void RedrawCounters() override;
  void RefreshCommandStates() override;
  void SetLabel(MeterLabel label, const std::string& text) override;
  void SetLabel(const QString& name, const QString& text);
  void SetTrayHint(const std::string& hint) override { SetTrayHint(QString::fromStdString(hint)); }
  void SetTrayHint(const QString& hint);
  void SetStopHint(const std::string& hint) override { SetStopHint(QString::fromStdString(hint)); }
  void SetStopHint(const QString& hint);
  void SetHangupEnabled(bool enabled) override;
  void SetTariffSelectorsEnabled(bool enabled) override;
  void SelectTariff(int index) override;
  int SelectedTariff() const;
  void SetGauges(int maximum, int position) override;
  void SetGaugePosition(int position) override;
  void BringUp() override { ShowORVAWin(); }
  void ShowORVAWin();
  bool IsHidden() const override { return m_state.Hidden(); }
  void ShowWindow() override { ShowORVAWin(); }
  void HideWindow() override;
  void Minimise() override;
  void ExpandDetails() override;
  void Flash() override;
  bool FlashPhase() const override { return m_flashPhase; }
  void StopFlashing() override;
  void SetTrayAnimation(bool on) override;
  void ShowVoiceDialer() override;
  void SetDialEntries(const std::vector<std::string>& entries) override;
  void SelectCounterItem(int item) override;
  // The quit message: ends the program without any question.
  void Quit() override { QuitNow(); }
  // Ends the program as "Termina" does, or without any question.
  void Quit1Click();
  void QuitNow();
  QString LabelText(const QString& name) const;

  // --- Handlers ---
  void L22MouseDown();
  void ShrinkBtnClick();
  void ZoomBtnClick();
  void PanelManager1PanelChange(int changed);
  void HideShowWin();
  void ShowDetails();
  void Sfondoabitmap1Click();
  void FeeCBChange(int index);
  void FeeCB1Change(int index);
  void TogglePanel(int index);

  // State for tests and the program.
  WindowMode Mode() const { return m_settings.mode; }
  bool WindowShown() const { return m_state.TrayClickHides(); }
  int DisplayItem() const { return m_settings.display; }
  QMenu* MainMenu() const { return m_mainMenu; }
  QSystemTrayIcon* TrayIcon() const { return m_tray; }
  QString TrayHint() const { return m_trayHint; }
  QString TaskbarTitle() const { return windowTitle(); }

 protected:
  void closeEvent(QCloseEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void changeEvent(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  void BuildCounterBar();
  void BuildMenuPanel();
  void BuildGaugePanel();
  QWidget* AddPanel(int i);
  void BuildPanels();
  void BuildButtonPanel(QWidget* body);
  void BuildServicePanel(QWidget* body);
  void BuildCounterPanel(QWidget* body);
  void BuildStatusPanel(QWidget* body);
  void BuildMenu();
  void BuildTray();
  void BuildMailTray();
  void BindOwnCommands();
  void PopUpMainMenu();
  QAction* AddCommand(QMenu* menu, CommandId id, bool tablesItem);
  void FillMenu(QMenu* menu, std::span<const MenuEntry> entries, bool tablesItems);
  QAction* Item(CommandId id) const;
  QToolButton* CommandButton(QWidget* parent, CommandId id);
  QToolButton* AddPanelButton(QWidget* parent, CommandId id, const QString& glyph);
  void WMMove();
  void PaintButtonPanel();
  bool GaugeDragEvent(QEvent* e);
  void RememberPosition();
  void MoveToSavedPosition();
  void ShowInPlace();
  void TakeActivation();
  void FormActivate();
  void WMSysCommandClose();
  void ApplyColours();
  void ApplyFlashColours(bool inverted);

  WindowSettings m_settings;
  CounterTexts m_texts;
  MainWindowState m_state;
  FramePlace* m_place;
  QTimer* m_moveSettle;    // a move by the user is taken once the window manager is done
  bool m_closing = false;  // "Termina" or the quit message is closing the program
  bool m_destroyed = false;
  bool m_flashPhase = false;
  bool m_trayAnimated = false;
  bool m_trayFrame = false;
  bool m_details = true;
  bool m_laidOutUnseen = false;  // the panels were laid out while the window was out of sight
  QString m_trayHint;
  QString m_caption = QStringLiteral("ORVA32 4.1");

  // Counter bar.
  QFrame* m_panel01 = nullptr;
  QLabel* m_l22 = nullptr;
  QToolButton* m_menuBtn = nullptr;
  QFrame* m_panel02 = nullptr;
  QToolButton* m_startBtn = nullptr;
  QProgressBar* m_progBar = nullptr;
  QToolButton* m_stopBtn = nullptr;
  QComboBox* m_feeCb1 = nullptr;
  QFrame* m_panel03 = nullptr;
  QToolButton* m_zoomBtn = nullptr;
  // Large window.
  QWidget* m_panelManager = nullptr;
  QVBoxLayout* m_panelLayout = nullptr;
  std::array<QFrame*, 6> m_panels{};
  std::array<int, 6> m_panelHeights{};
  QWidget* m_pb00 = nullptr;
  QLabel* m_l2 = nullptr;
  QProgressBar* m_progBar1 = nullptr;
  QComboBox* m_feeCb = nullptr;
  QLabel* m_serviceLb = nullptr;
  QHash<QString, QLabel*> m_labels;
  QList<QLabel*> m_captionLabels;
  QToolButton* m_shrinkBtn = nullptr;

  QMenu* m_mainMenu = nullptr;
  QHash<QString, QAction*> m_actions;
  std::array<QAction*, kCounterItems> m_counterActions{};
  std::array<QAction*, 6> m_panelActions{};
  QAction* m_smallAction = nullptr;
  QAction* m_largeAction = nullptr;
  QAction* m_bitmapAction = nullptr;
  QMenu* m_connectMenu = nullptr;  // the per-entry dial items of the connect button
  QMenu* m_connectSubmenu = nullptr;
  QSystemTrayIcon* m_tray = nullptr;
  QTimer* m_trayTimer = nullptr;
  QSystemTrayIcon* m_mailTray = nullptr;
  QMenu* m_pop3Menu = nullptr;
  QTimer* m_mailTimer = nullptr;
  int m_mailFrame = 0;
  bool m_mailIconShown = false;
  bool m_clockEnabled = true;
  QString m_mailHint;
  bool m_syncingTariffs = false;
  CommandHandlers m_commands;
};

}  // namespace orva
