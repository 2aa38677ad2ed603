// What the download window says when a data set ends: nothing of its own
// after the end line or a close (the question follows), and an incomplete
// data set named with what was received, in the words of its form.
#include "core/DownloadEnd.h"

#include <gtest/gtest.h>

#include "support/TempHome.h"

namespace tessaly {
namespace {

struct EndCase {
  const char* name;
  DownloadEnd how;
  DownloadForm form;
  const char* received;
  const char* message;  // %s: the file's path
};

void PrintTo(const EndCase& c, std::ostream* os) { *os << c.name; }

class DownloadEndMessages : public ::testing::TestWithParam<EndCase> {};

TEST_P(DownloadEndMessages, SayWhatWasReceivedAndWhereItIs) {
  const EndCase& c = GetParam();
  testing::TempHome dir;
  DownloadFile file;
  file.Create(dir.Path("set.dat"), c.form);
  file.Write(c.received);
  file.Close();
  std::string expected = c.message;
  if (const auto at = expected.find("%s"); at != std::string::npos) expected.replace(at, 2, dir.Path("set.dat"));
  EXPECT_EQ(DownloadEndMessage(c.how, file), expected);
}

constexpr const char* kTwoEntries = "No. of entries: 2\r\nDev    lat\r\n+00042,a\r\n-00017,b\r\n";

INSTANTIATE_TEST_SUITE_P(
    Ends, DownloadEndMessages,
    ::testing::Values(
        EndCase{"end_line", DownloadEnd::EndLine, DownloadForm::DataString, kTwoEntries, ""},
        EndCase{"closed", DownloadEnd::Closed, DownloadForm::Graphic, "a\r\n", ""},
        EndCase{"silence_data_string", DownloadEnd::Silence, DownloadForm::DataString, kTwoEntries,
                "The data set ended without \"** End of data set **\": nothing more came after 2 entries. "
                "What was received is kept in %s."},
        EndCase{"port_lost_data_string", DownloadEnd::PortLost, DownloadForm::DataString, "+00042,a\r\n-0",
                "The serial port was lost during the download: the device went away after 2 entries, before "
                "\"** End of data set **\". What was received is kept in %s."},
        EndCase{"port_lost_one_entry", DownloadEnd::PortLost, DownloadForm::DataString, "+00042,a",
                "The serial port was lost during the download: the device went away after 1 entry, before "
                "\"** End of data set **\". What was received is kept in %s."},
        EndCase{"silence_graphic", DownloadEnd::Silence, DownloadForm::Graphic, "title\r\n\r\n|   *  +00042\r\n|  *",
                "The data set ended without \"** End of data set **\": nothing more came after 3 lines. "
                "What was received is kept in %s."},
        EndCase{"port_lost_nothing", DownloadEnd::PortLost, DownloadForm::Graphic, "",
                "The serial port was lost during the download: the device went away after 0 lines, before "
                "\"** End of data set **\". What was received is kept in %s."}),
    [](const ::testing::TestParamInfo<EndCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tessaly
