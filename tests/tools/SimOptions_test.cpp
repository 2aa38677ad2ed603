// tessaly-sim's command line: defaults, values and usage errors.
#include "tools/sim/SimOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/SettingsStore.h"

namespace tessaly::sim {
namespace {

struct Parsed {
  SimOptions options;
  std::string error;  // empty when the command line was accepted
};

Parsed Parse(const std::vector<const char*>& arguments) {
  std::vector<char*> argv{const_cast<char*>("tessaly-sim")};
  for (const char* argument : arguments) argv.push_back(const_cast<char*>(argument));
  Parsed parsed;
  if (auto error = ParseSimOptions(static_cast<int>(argv.size()), argv.data(), parsed.options)) parsed.error = *error;
  return parsed;
}

TEST(SimOptions, LineDefaultsAreThoseOfTheDefaultSerialSettingsFile) {
  SerialSettings stored;
  stored.Baudrate = 110;
  stored.Databits = 5;
  stored.Parity = SerialParity::Odd;
  ReadSerialSettings(std::string(TESSALY_SOURCE_DIR) + "/Lib/SerialPort.ega", stored);
  const Parsed parsed = Parse({"stream", "log.kvl"});
  ASSERT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.line.baud, stored.Baudrate);
  EXPECT_EQ(parsed.options.line.dataBits, stored.Databits);
  EXPECT_EQ(stored.Parity, SerialParity::None);
  EXPECT_EQ(parsed.options.line.parity, LineParity::None);
  EXPECT_EQ(parsed.options.line.stopBits, 1.0);  // the program's port always uses one stop bit
}

TEST(SimOptions, BitsPerByteCountStartDataParityAndStopBits) {
  LineSettings line;
  EXPECT_EQ(line.BitsPerByte(), 10.0);
  line.dataBits = 7;
  line.parity = LineParity::Even;
  line.stopBits = 2.0;
  EXPECT_EQ(line.BitsPerByte(), 11.0);
  line.dataBits = 5;
  line.parity = LineParity::Space;
  line.stopBits = 1.5;
  EXPECT_EQ(line.BitsPerByte(), 8.5);
}

TEST(SimOptions, StreamTakesLineSettingsFaultsAndDevice) {
  const Parsed parsed =
      Parse({"stream", "--baud", "9600", "--data-bits=7", "--parity", "mark", "--stop-bits", "1.5", "--rate", "0",
             "--loop", "--seed", "42", "--split", "0.25", "--garbage", "1", "--burst", "0.5", "--pause", "0.1",
             "--pause-ms", "250", "--hangup-after", "100", "--hangup-ms", "50", "--link", "/tmp/tty1",
             "--wait-open", "--sent", "sent.txt", "survey.kvl"});
  ASSERT_EQ(parsed.error, "");
  const SimOptions& o = parsed.options;
  EXPECT_EQ(o.mode, SimMode::Stream);
  EXPECT_EQ(o.line.baud, 9600);
  EXPECT_EQ(o.line.dataBits, 7);
  EXPECT_EQ(o.line.parity, LineParity::Mark);
  EXPECT_EQ(o.line.stopBits, 1.5);
  EXPECT_EQ(o.rate, 0.0);
  EXPECT_TRUE(o.loop);
  EXPECT_EQ(o.faults.seed, 42u);
  EXPECT_EQ(o.faults.split, 0.25);
  EXPECT_EQ(o.faults.garbage, 1.0);
  EXPECT_EQ(o.faults.burst, 0.5);
  EXPECT_EQ(o.faults.pause, 0.1);
  EXPECT_EQ(o.faults.pauseMs, 250);
  EXPECT_EQ(o.faults.hangupAfter, 100);
  EXPECT_EQ(o.faults.hangupMs, 50);
  EXPECT_EQ(o.linkPath, "/tmp/tty1");
  EXPECT_TRUE(o.waitOpen);
  EXPECT_EQ(o.sentPath, "sent.txt");
  EXPECT_EQ(o.file, "survey.kvl");
}

TEST(SimOptions, DumpTakesItsFormAndEndLine) {
  Parsed parsed = Parse({"dump", "--form", "graphic", "--no-end-line", "--split", "1", "set.kvg"});
  ASSERT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.mode, SimMode::Dump);
  EXPECT_EQ(parsed.options.form, DumpForm::Graphic);
  EXPECT_FALSE(parsed.options.endLine);
  EXPECT_EQ(parsed.options.faults.split, 1.0);
  parsed = Parse({"dump", "set.kvs"});
  EXPECT_EQ(parsed.options.form, DumpForm::Detect);
  EXPECT_TRUE(parsed.options.endLine);
  EXPECT_EQ(Parse({"dump", "--form=data-string", "set.kvs"}).options.form, DumpForm::DataString);
}

// The new faults are off unless asked for; a dump can hang up too.
TEST(SimOptions, LineBreakFaultsHangUpsInFlightAndStayingAreAskedFor) {
  Parsed parsed = Parse({"stream", "survey.kvl"});
  EXPECT_EQ(parsed.options.faults.broken, 0.0);
  EXPECT_FALSE(parsed.options.faults.garbageAny);
  EXPECT_FALSE(parsed.options.faults.hangupInFlight);
  parsed = Parse({"stream", "--broken", "0.2", "--garbage-any", "--hangup-in-flight", "survey.kvl"});
  ASSERT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.faults.broken, 0.2);
  EXPECT_TRUE(parsed.options.faults.garbageAny);
  EXPECT_TRUE(parsed.options.faults.hangupInFlight);
  EXPECT_FALSE(parsed.options.stay);
  EXPECT_TRUE(Parse({"dump", "--stay", "set.kvs"}).options.stay);
  parsed = Parse({"dump", "--hangup-after", "3", "--hangup-ms", "0", "--hangup-in-flight", "set.kvs"});
  ASSERT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.faults.hangupAfter, 3);
  EXPECT_EQ(parsed.options.faults.hangupMs, 0);
  EXPECT_TRUE(parsed.options.faults.hangupInFlight);
}

TEST(SimOptions, HelpWinsOverEverythingElse) {
  EXPECT_TRUE(Parse({"stream", "--bogus", "--help"}).options.help);
  EXPECT_TRUE(Parse({"-h"}).options.help);
}

TEST(SimOptions, RejectsWhatCannotBeSentWithTheReason) {
  const std::vector<std::pair<std::vector<const char*>, std::string>> cases = {
      {{}, "no mode given (stream or dump)"},
      {{"replay", "a.kvl"}, "unknown mode: replay"},
      {{"stream"}, "no FILE given"},
      {{"stream", "a.kvl", "b.kvl"}, "only one FILE can be sent"},
      {{"stream", "--speed", "3", "a.kvl"}, "unknown option: --speed"},
      {{"stream", "a.kvl", "--baud"}, "--baud needs a value"},
      {{"stream", "--baud", "0", "a.kvl"}, "--baud takes bits per second from 1 to 4000000, not 0"},
      {{"stream", "--baud", "96OO", "a.kvl"}, "--baud takes bits per second from 1 to 4000000, not 96OO"},
      {{"stream", "--data-bits", "4", "a.kvl"}, "--data-bits takes 5 to 8, not 4"},
      {{"stream", "--parity", "None", "a.kvl"}, "--parity takes none, even, odd, mark or space, not None"},
      {{"stream", "--stop-bits", "3", "a.kvl"}, "--stop-bits takes 1, 1.5 or 2, not 3"},
      {{"stream", "--rate", "-1", "a.kvl"}, "--rate takes records per second from 0 to 1000000, not -1"},
      {{"stream", "--rate", "nan", "a.kvl"}, "--rate takes records per second from 0 to 1000000, not nan"},
      {{"stream", "--split", "1.5", "a.kvl"}, "--split takes a chance from 0 to 1, not 1.5"},
      {{"stream", "--hangup-after", "0", "a.kvl"}, "--hangup-after takes a number of records from 1, not 0"},
      {{"stream", "--loop=yes", "a.kvl"}, "--loop takes no value"},
      {{"stream", "--link", "", "a.kvl"}, "an option was given an empty path"},
      {{"stream", "--form", "graphic", "a.kvl"}, "--form does not apply to stream"},
      {{"stream", "--no-end-line", "a.kvl"}, "--no-end-line does not apply to stream"},
      {{"dump", "--rate", "2", "a.kvs"}, "--rate does not apply to dump"},
      {{"dump", "--broken", "0.1", "a.kvs"}, "--broken does not apply to dump"},
      {{"dump", "--garbage-any", "a.kvs"}, "--garbage-any does not apply to dump"},
      {{"stream", "--broken", "1.5", "a.kvl"}, "--broken takes a chance from 0 to 1, not 1.5"},
      {{"stream", "--hangup-in-flight=yes", "a.kvl"}, "--hangup-in-flight takes no value"},
      {{"dump", "--garbage", "0.1", "a.kvs"}, "--garbage does not apply to dump"},
      {{"dump", "--form", "text", "a.kvs"}, "--form takes graphic or data-string, not text"},
  };
  for (const auto& [arguments, reason] : cases) EXPECT_EQ(Parse(arguments).error, reason);
}

TEST(SimOptions, UsageDocumentsEveryOptionOnALineOfItsOwn) {
  const std::string usage = kSimUsage;
  ASSERT_GT(SimOptionNames().size(), 15u);
  for (const std::string_view option : SimOptionNames())
    EXPECT_NE(usage.find("\n  " + std::string(option) + " "), std::string::npos) << option;
  EXPECT_NE(usage.find("TESSALY_SERIAL_DEVICE"), std::string::npos);
}

}  // namespace
}  // namespace tessaly::sim
