// The numbers of the line-cut exports as text, against hand-written texts:
// shortest forms (whole deviations by their digits), fixed decimals rounded
// from the binary value, single-precision depths as read.
#include "core/ExportChannels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tessaly {
namespace {

TEST(ExportNumbers, ShortestText) {
  struct Case {
    double value;
    const char* text;
  };
  for (const Case& c : {Case{0.0, "0"}, Case{-0.0, "-0"}, Case{13.0, "13"}, Case{-8662.0, "-8662"},
                        Case{99999.0, "99999"}, Case{100000.0, "1e+05"}, Case{-100000.0, "-1e+05"},
                        Case{12.5, "12.5"}, Case{-0.25, "-0.25"}, Case{1234567.0, "1234567"}, Case{0.1, "0.1"}}) {
    std::string out = "x";
    AppendShortest(out, c.value);
    EXPECT_EQ(out, std::string("x") + c.text) << c.value;
  }
}

TEST(ExportNumbers, FixedDecimals) {
  struct Case {
    double value;
    int decimals;
    const char* text;
  };
  for (const Case& c : {Case{476069.0685, 3, "476069.068"},  // the binary value lies below the half
                        Case{4905177.8355, 3, "4905177.836"}, Case{44.29946, 8, "44.29946000"},
                        Case{-63.3, 8, "-63.30000000"}, Case{-0.0001, 3, "-0.000"}, Case{0.5, 0, "0"},
                        Case{2.5, 0, "2"}, Case{3.5, 0, "4"}}) {
    std::string out;
    AppendFixed(out, c.value, c.decimals);
    EXPECT_EQ(out, c.text) << c.value;
  }
}

TEST(ExportNumbers, SingleDepthsAsRead) {
  std::string out;
  AppendShortestSingle(out, 54.6f);
  out += ' ';
  AppendShortestSingle(out, 76.7f);
  out += ' ';
  AppendShortestSingle(out, 0.0f);
  EXPECT_EQ(out, "54.6 76.7 0");
}

}  // namespace
}  // namespace tessaly
