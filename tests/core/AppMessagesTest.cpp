// The application message protocol between instances.
#include <gtest/gtest.h>

#include "core/AppMessages.h"

namespace orva {
namespace {

TEST(ParseSendWords, NamesAndNumbersGiveTheirMessages) {
  using W = std::vector<std::string>;
  EXPECT_EQ(ParseSendWords(W{"start"}), (AppMessage{1025, 0, 0}));
  EXPECT_EQ(ParseSendWords(W{"stop"}), (AppMessage{1026, 0, 0}));
  EXPECT_EQ(ParseSendWords(W{"quit"}), (AppMessage{1027, 0, 0}));
  EXPECT_EQ(ParseSendWords(W{"tariff", "3"}), (AppMessage{1028, 0, 3}));
  EXPECT_EQ(ParseSendWords(W{"default"}), (AppMessage{1029, 0, 0}));
  EXPECT_EQ(ParseSendWords(W{"redraw"}), (AppMessage{1030, 0, 0}));
  EXPECT_EQ(ParseSendWords(W{"1122", "42"}), (AppMessage{1122, 42, 0}));
  for (const W& bad : {W{}, W{"tariff"}, W{"tariff", "x"}, W{"tariff", "-1"}, W{"start", "1"},
                       W{"1024"}, W{"1123"}, W{"1025", "1", "2", "3"}, W{"START"}})
    EXPECT_FALSE(ParseSendWords(bad)) << (bad.empty() ? "" : bad[0]);
}

TEST(WireRequest, RoundTripsAndRejectsForeignLines) {
  const AppMessage m{1028, -5, 7};
  const auto parsed = ParseWireRequest(FormatMessageRequest(m));
  ASSERT_TRUE(parsed);
  EXPECT_FALSE(parsed->show);
  EXPECT_EQ(parsed->message, m);
  EXPECT_TRUE(ParseWireRequest(FormatShowRequest())->show);
  for (const char* bad : {"", "MSG", "MSG 1025 0", "MSG 17 0 0", "MSG 1025 a 0", "show",
                          "MSG 1025 0 0 0", "MSG 1025 99999999999999999999 0"})
    EXPECT_FALSE(ParseWireRequest(bad)) << bad;
  EXPECT_EQ(FormatReply({1123, 9, 0}), "REPLY 1123 9 0\n");
}

}  // namespace
}  // namespace orva
