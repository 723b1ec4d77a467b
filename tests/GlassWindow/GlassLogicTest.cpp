// Tests of the translucency rule: accepted percentage strings and the alpha they give.
#include "GlassWindow/GlassLogic.h"

#include <gtest/gtest.h>

#include <string_view>

namespace vantel {
namespace {

TEST(GlassLogic, AcceptedPercentagesGiveTheirAlpha) {
  const std::pair<std::string_view, int> cases[] = {
      {"65", 166}, {"0", 255},  {"100", 255}, {"1", 3},   {"50", 128},
      {"99", 253}, {"00", 255}, {"09", 23},   {"10", 26}, {"5", 13},
  };
  for (const auto& [percent, alpha] : cases) {
    const auto result = GlassAlpha(percent);
    ASSERT_TRUE(result.has_value()) << percent;
    EXPECT_EQ(*result, alpha) << percent;
  }
}

TEST(GlassLogic, RejectedPercentagesChangeNothing) {
  using namespace std::string_view_literals;
  for (std::string_view percent : {"101"sv, "065"sv, "1000"sv, ""sv, "6a"sv, "-1"sv, " 5"sv, "150"sv, "199"sv,
                                   "099"sv, "200"sv, "1a0"sv, "\0"sv, "6\0"sv}) {
    EXPECT_FALSE(GlassAlpha(percent).has_value()) << '"' << percent << '"';
  }
}

}  // namespace
}  // namespace vantel
