// The windows' places in the settings file: nothing until a window closed once, then the place
// and column widths back as they were, with the rest of the file untouched.
#include "core/WindowPlaces.h"

#include <gtest/gtest.h>

#include "TempDir.h"
#include "platform/IniFile.h"
#include "platform/SafeFile.h"

namespace orva {
namespace {

TEST(WindowPlaces, StoredPlaceAndWidthsComeBackAndTheRestOfTheFileStays) {
  test::TempDir dir;
  const std::string ini = dir.File("ORVA32.INI");
  test::WriteBytes(ini,
                   "; kept\r\n[Impostazioni generali]\r\nMostra wizard=0\r\n"
                   "[Log settings]\r\nHeader 1=0\r\nHeader 2=abc\r\n");
  WindowPlaces places(ini);
  const FormGeometry built{0, 40, 50, 760, 480};
  // Never closed: the window opens as built, with its own widths where the stored are unusable.
  EXPECT_FALSE(places.Place(kLogWindowPlace, built, 1280, 1024, true));
  EXPECT_EQ(places.ColumnWidths(kLogWindowPlace, {10, 20, 30}), (std::vector<int>{10, 20, 30}));

  ASSERT_TRUE(places.Store(kLogWindowPlace, {0, 77, 123, 800, 500}, {11, 22, 33}));
  EXPECT_EQ(places.Place(kLogWindowPlace, built, 1280, 1024, true),
            (FormGeometry{0, 77, 123, 800, 500}));
  // Without its size a dialog keeps the one it was built with.
  ASSERT_TRUE(places.Store(kLogEntryPlace, {0, 5, 6, 999, 999}));
  EXPECT_EQ(places.Place(kLogEntryPlace, built, 1280, 1024, false),
            (FormGeometry{0, 5, 6, 760, 480}));
  EXPECT_EQ(places.ColumnWidths(kLogWindowPlace, {10, 20, 30, 40}),
            (std::vector<int>{11, 22, 33, 40}));
  // A maximised window comes back maximised over the place it was built at.
  ASSERT_TRUE(places.Store(kTariffEditorPlace, {2, 1, 2, 3, 4}));
  EXPECT_EQ(places.Place(kTariffEditorPlace, built, 1280, 1024, true),
            (FormGeometry{2, 40, 50, 760, 480}));

  const TIniFile file(ini);
  EXPECT_EQ(file.ReadString("Impostazioni generali", "Mostra wizard", ""), "0");
  EXPECT_EQ(file.ReadString("Log settings", "Log", ""), "0 77 123 800 500");
  EXPECT_EQ(file.ReadString("Impostazioni tariffe", "Posizione", ""), "2");
  EXPECT_EQ(test::ReadBytes(ini).rfind("; kept\r\n", 0), 0u);
}

TEST(WindowPlaces, AFileThatCannotBeWrittenIsReportedNotCreated) {
  test::TempDir dir;
  WindowPlaces places(dir.File("missing/ORVA32.INI"));
  EXPECT_FALSE(places.Store(kVisitedServersPlace, {0, 1, 2, 300, 200}));
  EXPECT_FALSE(FileExists(dir.File("missing/ORVA32.INI")));
  EXPECT_FALSE(places.Place(kVisitedServersPlace, {}, 1280, 1024, true));
}

}  // namespace
}  // namespace orva
