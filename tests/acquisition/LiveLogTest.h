// What the live logging window tests share: a program home with the serial
// component pointed at a simulator's link, the seven serial commands, a
// simulator run, and waiting for the window to take what was sent.
#pragma once

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "acquisition/untFileLog.h"
#include "shell/AppContext.h"
#include "shell/VaComm.h"
#include "support/ShellTestHome.h"
#include "support/Simulator.h"
#include "tools/live/LiveCheck.h"

// QString in test messages as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace tessaly::livetest {

using simtest::ReadBytes;

// The lines of a file (CR LF, LF or CR breaks), empty ones left out.
inline std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : bytes) {
    if (c == '\r' || c == '\n') {
      if (!line.empty()) lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

inline std::string WithCrLf(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& line : lines) bytes += line + "\r\n";
  return bytes;
}

// Waits, handling events, until done() or the time is up.
inline bool WaitFor(const std::function<bool()>& done, int ms = 15000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > ms) return false;
    QTest::qWait(10);
  }
  return true;
}

class LiveLogTest : public ::testing::Test {
 public:
  LiveLogTest() : home_(testing::TempHome::Content::EmptyLib, mrYes) {
    setenv("TESSALY_SERIAL_DEVICE", home_.Path("tty%d").c_str(), 1);
    SerialSettings settings = comm_.Settings();
    settings.Baudrate = 115200;
    comm_.SetSettings(settings);
    AppContext::Instance().VaComm = &comm_;
    for (const auto& name : AppContext::SerialActionNames()) {
      actions_.push_back(std::make_unique<QAction>(name));
      AppContext::Instance().RegisterAction(name, actions_.back().get());
    }
  }
  // Windows a failed test left open are closed, so that none holds the
  // serial commands off for the next test.
  ~LiveLogTest() override {
    testing::ShellTestHome::Answer(mrYes);
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* window = qobject_cast<TfrmFileLog*>(widget)) window->close();
    QTest::qWait(1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    unsetenv("TESSALY_SERIAL_DEVICE");
  }

  std::string Path(const std::string& name) const { return home_.Path(name); }

  // A generated log of `kind` to send; the generator's list of the lines it
  // made faulty is kept to judge the log by.
  std::string Generate(const std::string& kind, int records, double badFraction, int seed = 1) {
    const std::string path = Path("source." + kind), faults = Path("source-faults.csv");
    simtest::Generate("--kind " + kind + " --records " + std::to_string(records) + " --seed " +
                          std::to_string(seed) + " --bad-fraction " + std::to_string(badFraction) +
                          " --faults-out " + faults,
                      path);
    faultyLines_ = live::ReadFaultyLines(faults);
    return path;
  }

  // Runs the simulator on port 1's link: stream FILE with the options,
  // waiting for the window to open the port.
  void StartSimulator(const std::string& file, std::vector<std::string> options = {}) {
    std::vector<std::string> arguments{"stream", "--baud", "115200", "--rate", "0", "--wait-open",
                                       "--link", Path("tty1"), "--sent", Path("sent.txt")};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.push_back(file);
    sim_ = std::make_unique<simtest::SimProcess>(arguments, Path("sim-stderr.txt"));
    ASSERT_FALSE(sim_->NextDevice().empty()) << ReadBytes(Path("sim-stderr.txt"));
  }
  // Waits for the simulator to finish; the bytes it sent to each device.
  // The window goes on taking the bytes meanwhile.
  std::vector<std::string> SimulatorDevices() {
    int status = -1;
    EXPECT_TRUE(WaitFor([&] { return (status = sim_->Wait(std::chrono::milliseconds(0))) != -1; }, 60000));
    EXPECT_EQ(status, 0) << ReadBytes(Path("sim-stderr.txt"));
    return simtest::BytesPerDevice(simtest::ReadSentReport(Path("sent.txt")));
  }
  // What a correct window logs from what the simulator sent, by the
  // simulator's report and the generator's faulty lines, once the simulator
  // has ended.
  std::vector<live::ExpectedLine> SimulatorExpectedLog() {
    SimulatorDevices();
    return live::ExpectedLog(live::SentRecordsPerDevice(Path("sent.txt")), faultyLines_);
  }
  // The same where every record is certain to arrive (no hang-up in flight).
  std::vector<std::string> SimulatorValidRecords() {
    std::vector<std::string> records;
    for (const live::ExpectedLine& line : SimulatorExpectedLog()) {
      EXPECT_FALSE(line.optional) << line.text;
      records.push_back(line.text);
    }
    return records;
  }
  std::string SimulatorBytes() {
    std::string bytes;
    for (const auto& device : SimulatorDevices()) bytes += device;
    return bytes;
  }

  // A window as a test drives it: its save dialog answers `file`, its
  // comment box the text of `comment`.
  template <typename Window>
  Window* NewWindow(const std::string& file) {
    auto* window = new Window;
    window->ChooseLogFile = [file](QWidget*, const QString&, const QString&, const QString&) {
      return QString::fromStdString(file);
    };
    window->InputQuery = [this](const QString&, const QString&, QString& text) {
      text = QString::fromStdString(comment_);
      return !comment_.empty();
    };
    window->show();
    return window;
  }

  bool SerialActionsEnabled() const {
    for (const auto& action : actions_)
      if (!action->isEnabled()) return false;
    return true;
  }
  bool SerialActionsDisabled() const {
    for (const auto& action : actions_)
      if (action->isEnabled()) return false;
    return true;
  }
  static std::vector<QString> Messages() {
    std::vector<QString> texts;
    for (const auto& call : TMsgDlg::Calls()) texts.push_back(call.Mensagem);
    return texts;
  }

  testing::ShellTestHome home_;
  TVaComm comm_;
  std::vector<std::unique_ptr<QAction>> actions_;
  std::unique_ptr<simtest::SimProcess> sim_;
  std::string comment_;
  live::FaultyLines faultyLines_;
};

}  // namespace tessaly::livetest
