#include "setup/Help.h"

#include <gtest/gtest.h>

#include "TempDir.h"

namespace orva {

// Every help context the windows open has its own section in the shipped page.
TEST(Help, EveryContextHasASection) {
  const std::string path = HelpFilePath();
  ASSERT_FALSE(path.empty());
  const std::string page = test::ReadBytes(path);
  for (int context : {1450, 1460, 1470, 1475, 1480, 1490, 1500, 1510, 1520, 1525, 9999, 160}) {
    EXPECT_NE(page.find("id=\"ctx" + std::to_string(context) + "\""), std::string::npos) << context;
    EXPECT_EQ(HelpUrl(context), "file://" + path + "#ctx" + std::to_string(context));
  }
}

}  // namespace orva
