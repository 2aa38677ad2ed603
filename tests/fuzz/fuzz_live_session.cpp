// A live session's bytes: see FuzzTargets.h.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/LiveRecordRules.h"
#include "core/LiveSession.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"
#include "support/FakeTransport.h"
#include "support/FileBytes.h"
#include "support/LiveRecords.h"

namespace tessaly::fuzz {

namespace {

// Where the sessions write: one folder for the process, removed at its end.
class Folder {
 public:
  Folder() : path_(std::filesystem::temp_directory_path() / ("tessaly-fuzz-live-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_);
  }
  ~Folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

const Folder& TheFolder() {
  static const Folder folder;
  return folder;
}

struct Outcome {
  testing::LiveRecorder seen;
  std::string log;
};

// The stream fed to a session in chunks of `chunk` bytes (all at once for 0).
void Run(const LogVariant& variant, std::string_view stream, std::size_t chunk, const std::string& name,
         Outcome& out) {
  testing::FakeTransport device;
  ManualClock clock;
  const std::string base = TheFolder().File(name + "." + std::string(variant.extension));
  LiveSession session(variant, device, clock, out.seen);
  if (!Require(session.Start(base, FindEarlierLogFiles(base)).empty(), "the session did not start")) return;
  for (std::size_t at = 0; at < stream.size(); at += chunk ? chunk : stream.size()) {
    device.Push(std::string(stream.substr(at, chunk ? chunk : stream.size())));
    session.Poll();
  }
  const StopReport report = session.Stop();
  Require(report.rescued == 0 && report.lost == 0, "records not written to the log", report.problem);
  out.log = testing::ReadBytes(base);
}

void CheckFramed(const LogVariant& variant, const Outcome& out) {
  std::string expected;
  for (std::size_t i = 0; i < out.seen.accepted.size(); ++i) {
    const LiveRecord& record = out.seen.accepted[i];
    Require(record.row == i + 1, "rows out of order");
    Require(record.text.size() <= 256 && std::all_of(record.text.begin(), record.text.end(),
                                                      [](char c) { return c >= ' ' && c <= '~'; }),
            "an accepted record is too long or holds bytes that are not printable text", Escaped(record.text));
    Require(record.text.rfind(variant.header, 0) == 0, "an accepted record without its header", record.text);
    expected += record.text + "\r\n";
  }
  Require(out.log == expected, "the log is not the accepted records", Escaped(out.log));
  for (const RejectedRecord& rejected : out.seen.rejected) {
    Require(!rejected.message.empty(), "a rejection without a message", rejected.text);
    Require(rejected.text.size() <= kMaxLiveRecordBytes || rejected.message != kLiveRecordTooLong,
            "a refused record listed whole", rejected.text.substr(0, 40));
  }
}

std::vector<std::string> Messages(const testing::LiveRecorder& seen) {
  std::vector<std::string> messages;
  for (const RejectedRecord& rejected : seen.rejected) messages.push_back(rejected.message);
  return messages;
}

}  // namespace

int FuzzLiveSession(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const LogVariant& variant = LogVariants()[input.Choice(LogVariants().size())];
  const std::size_t chunk = 1 + input.Choice(64);
  const std::string_view stream = input.Rest();

  Outcome pieces, whole;
  Run(variant, stream, chunk, "pieces", pieces);
  Run(variant, stream, 0, "whole", whole);
  if (variant.header.empty()) {
    Require(pieces.log == stream && whole.log == stream, "a raw capture did not write the bytes as received");
    return 0;
  }
  CheckFramed(variant, pieces);
  CheckFramed(variant, whole);
  Require(pieces.seen.AcceptedTexts() == whole.seen.AcceptedTexts(), "chunks changed the records taken");
  Require(Messages(pieces.seen) == Messages(whole.seen), "chunks changed the records refused");
  return 0;
}

}  // namespace tessaly::fuzz
