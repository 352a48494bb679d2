// The main window's own state beside its place: whether it is out of sight in the tray,
// what the next tray click does, whether a move or resize now is the user's (and so
// remembered) or the program's own, and whether the first activation is still to come.
#pragma once

namespace orva {

class MainWindowState {
 public:
  // FormCreate: in sight, or hidden from the start when the tips are off. Until it ends
  // (Created), every move and resize is the program's.
  void Create(bool inSight);
  void Created() { m_positioned = true; }
  // True once: at the first activation.
  bool TakeFirstActivation();
  bool FirstActivationDone() const { return !m_firstActivation; }

  bool Hidden() const { return m_hidden; }
  // The next tray click hides the window (it is up), or brings it back.
  bool TrayClickHides() const { return m_shown; }
  // A move or resize now is the user's, to be remembered as the window's place and size.
  bool UserPlaces() const { return m_positioned && !m_hidden; }
  // The place of the mode left is remembered: not before the first activation (the window
  // is not yet where the user left it) nor while it is out of sight.
  bool ModeChangeMoves() const { return !m_firstActivation && !m_hidden; }

  // The tray click: true when it brings the window back (to its saved place), false when it
  // hides it (after remembering the place).
  bool TrayClick();
  // Brought up (message, tray menu): true when it was hidden and goes to its saved place.
  bool BringUp();
  // Hidden to the tray (the small bar's minimise, a hide command); false when it already was.
  bool Hide();
  // The close box: to the tray, without remembering the place.
  void CloseToTray();

  // While one lives, moves and resizes are the program's own; then as they were.
  class ProgramMove {
   public:
    explicit ProgramMove(MainWindowState& s) : m_state(s), m_was(s.m_positioned) {
      s.m_positioned = false;
    }
    ~ProgramMove() { m_state.m_positioned = m_was; }
    ProgramMove(const ProgramMove&) = delete;
    ProgramMove& operator=(const ProgramMove&) = delete;

   private:
    MainWindowState& m_state;
    bool m_was;
  };

 private:
  bool m_firstActivation = true;
  bool m_positioned = false;
  bool m_hidden = false;
  bool m_shown = true;
};

}  // namespace orva
