// The text of the report of an unhandled error.
#include "shell/ErrorReport.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(ErrorReport, TextFollowsTheReportFormat) {
  EXPECT_EQ(ErrorReportText("EInOutError", "File not found", "TfrmMain"),
            "There was an error.\r\rError: EInOutError\rFile not found\rObject: TfrmMain\r\r"
            "Please send this message to support@tessaly-marine.com\r\rThank you.");
}

}  // namespace
}  // namespace tessaly
