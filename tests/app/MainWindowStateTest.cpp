#include <gtest/gtest.h>

#include "app/MainWindowState.h"

namespace orva {
namespace {

TEST(MainWindowState, StartInSightPlacesAreTheUsersOnlyAfterCreationAndModesMoveAfterActivation) {
  MainWindowState s;
  s.Create(true);
  EXPECT_FALSE(s.Hidden());
  EXPECT_TRUE(s.TrayClickHides());
  EXPECT_FALSE(s.UserPlaces());  // the start-up places the window itself
  s.Created();
  EXPECT_TRUE(s.UserPlaces());
  EXPECT_FALSE(s.ModeChangeMoves());
  EXPECT_TRUE(s.TakeFirstActivation());
  EXPECT_FALSE(s.TakeFirstActivation());
  EXPECT_TRUE(s.FirstActivationDone());
  EXPECT_TRUE(s.ModeChangeMoves());
}

TEST(MainWindowState, TrayClicksAlternateFromWhereverTheWindowWasLeft) {
  MainWindowState s;
  s.Create(false);  // the tips are off: hidden from the start
  s.Created();
  s.TakeFirstActivation();
  EXPECT_TRUE(s.Hidden());
  EXPECT_FALSE(s.UserPlaces());
  EXPECT_FALSE(s.ModeChangeMoves());
  EXPECT_TRUE(s.TrayClick());  // back to its place
  EXPECT_FALSE(s.Hidden());
  EXPECT_FALSE(s.TrayClick());  // hidden again
  EXPECT_TRUE(s.Hidden());

  // Brought up by a message: to its saved place once; the next tray click hides it.
  EXPECT_TRUE(s.BringUp());
  EXPECT_FALSE(s.BringUp());
  EXPECT_TRUE(s.TrayClickHides());
  EXPECT_FALSE(s.TrayClick());

  // Hiding a hidden window does nothing; the close box sends it to the tray.
  EXPECT_FALSE(s.Hide());
  s.BringUp();
  EXPECT_TRUE(s.Hide());
  s.BringUp();
  s.CloseToTray();
  EXPECT_TRUE(s.Hidden());
  EXPECT_TRUE(s.TrayClick());
  EXPECT_TRUE(s.UserPlaces());
}

TEST(MainWindowState, ProgramMovesNestAndGiveThePlacesBackAsTheyWere) {
  MainWindowState s;
  s.Create(true);
  {
    const MainWindowState::ProgramMove starting(s);
    EXPECT_FALSE(s.UserPlaces());
  }
  EXPECT_FALSE(s.UserPlaces()) << "still starting";
  s.Created();
  {
    const MainWindowState::ProgramMove outer(s);
    {
      const MainWindowState::ProgramMove inner(s);
      EXPECT_FALSE(s.UserPlaces());
    }
    EXPECT_FALSE(s.UserPlaces());
  }
  EXPECT_TRUE(s.UserPlaces());
}

}  // namespace
}  // namespace orva
