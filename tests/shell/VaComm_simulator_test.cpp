// The program's serial component reading tessaly-sim through its link, set
// up as the README shows (TESSALY_SERIAL_DEVICE naming the link): every byte
// the simulator reports, faults included, arrives, and an unplugged device
// closes the port until it is opened again at the same name.
#include "shell/VaComm.h"

#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "support/Simulator.h"

namespace tessaly {
namespace {

// Reads the port until it closes by itself (the device went away) or 10 s
// pass; returns what arrived.
std::string ReadUntilPortCloses(TVaComm& comm) {
  std::string received;
  comm.OnRxChar = [&](TVaComm* sender, int) { received += sender->ReadText(); };
  QElapsedTimer timer;
  timer.start();
  while (comm.Active() && timer.elapsed() < 10000) QTest::qWait(10);
  comm.OnRxChar = nullptr;
  return received;
}

TEST(VaCommWithSimulator, ReceivesWhatTheSimulatorSentAcrossAHangUp) {
  simtest::TempDir dir;
  const std::string log = dir.Path("survey.kvl");
  simtest::Generate("--kind kvl --records 40 --seed 5", log);
  setenv("TESSALY_SERIAL_DEVICE", dir.Path("tty%d").c_str(), 1);
  simtest::SimProcess sim({"stream", "--baud", "115200", "--rate", "0", "--garbage", "0.3", "--split", "0.3",
                           "--burst", "0.2", "--seed", "3", "--hangup-after", "25", "--hangup-ms", "200",
                           "--wait-open", "--link", dir.Path("tty1"), "--sent", dir.Path("sent.txt"), log},
                          dir.Path("stderr.txt"));
  TVaComm comm;  // port 1, the design settings
  std::vector<std::string> received;
  for (int device = 0; device < 2; ++device) {
    ASSERT_FALSE(sim.NextDevice().empty()) << simtest::ReadBytes(dir.Path("stderr.txt"));
    comm.Open();
    received.push_back(ReadUntilPortCloses(comm));
    EXPECT_FALSE(comm.Active());
  }
  unsetenv("TESSALY_SERIAL_DEVICE");
  EXPECT_EQ(sim.Wait(), 0) << simtest::ReadBytes(dir.Path("stderr.txt"));

  const std::vector<simtest::SentEvent> events = simtest::ReadSentReport(dir.Path("sent.txt"));
  EXPECT_EQ(received, simtest::BytesPerDevice(events));
  EXPECT_GT(simtest::CountEvents(events, 'G'), 3u);
  EXPECT_EQ(simtest::SentRecords(events).size(), 40u);
}

// A handler that runs a nested event loop (a message box, say) holds the
// port's notifications back; bytes read meanwhile wait in the port's buffer.
// When the device goes away during that loop, those bytes still arrive.
TEST(VaCommWithSimulator, BytesWaitingWhenTheDeviceGoesAwayStillArrive) {
  simtest::TempDir dir;
  const std::string log = dir.Path("survey.kvl");
  simtest::Generate("--kind kvl --records 40 --seed 7", log);
  setenv("TESSALY_SERIAL_DEVICE", dir.Path("tty%d").c_str(), 1);
  simtest::SimProcess sim({"stream", "--baud", "115200", "--rate", "0", "--wait-open", "--link",
                           dir.Path("tty1"), "--sent", dir.Path("sent.txt"), log},
                          dir.Path("stderr.txt"));
  ASSERT_FALSE(sim.NextDevice().empty()) << simtest::ReadBytes(dir.Path("stderr.txt"));
  TVaComm comm;
  comm.Open();
  std::string received;
  bool busy = false;
  comm.OnRxChar = [&](TVaComm* sender, int) {
    received += sender->ReadText();
    if (std::exchange(busy, true)) return;
    QElapsedTimer timer;  // busy until the simulator has sent everything and gone
    timer.start();
    while (comm.Active() && timer.elapsed() < 10000) QTest::qWait(10);
  };
  QElapsedTimer timer;
  timer.start();
  while (comm.Active() && timer.elapsed() < 10000) QTest::qWait(10);
  comm.OnRxChar = nullptr;
  unsetenv("TESSALY_SERIAL_DEVICE");
  EXPECT_EQ(sim.Wait(), 0) << simtest::ReadBytes(dir.Path("stderr.txt"));

  const std::vector<simtest::SentEvent> events = simtest::ReadSentReport(dir.Path("sent.txt"));
  ASSERT_EQ(simtest::BytesPerDevice(events).size(), 1u);
  EXPECT_EQ(received, simtest::BytesPerDevice(events)[0]);
}

}  // namespace
}  // namespace tessaly
