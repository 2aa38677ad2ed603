// A download window on a test bench: a temporary program home, the serial
// component and the acKV7100 command in the hub, tessaly-sim playing the
// instrument behind a link named by TESSALY_SERIAL_DEVICE, message boxes
// answered from a script.
#pragma once

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "shell/AppContext.h"
#include "shell/VaComm.h"
#include "support/ShellTestHome.h"
#include "support/Simulator.h"
#include "transfer/untDownKV7100.h"

namespace tessaly::testing {

class DownloadBench : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TESSALY_SERIAL_DEVICE", home_.Path("tty%d").c_str(), 1);
    AppContext::Instance().VaComm = &comm_;
    AppContext::Instance().RegisterAction("acKV7100", &acKV7100_);
    AppContext::Instance().OpenDocument = [this](const std::string& path) { opened_.push_back(path); };
    TMsgDlg::SetAutoAnswer([this](const TMsgDlg&) {
      if (answers_.empty()) return mrOk;
      const int answer = answers_.front();
      answers_.pop_front();
      return answer;
    });
  }
  // A simulator still running (one that stays, or a test cut short) is
  // stopped; it must end well.
  void TearDown() override {
    delete window_;
    if (sim_) {
      sim_->Signal(SIGTERM);
      EXPECT_EQ(sim_->Wait(std::chrono::seconds(10)), 0) << ReadBytes(home_.Path("sim-errors.txt"));
    }
    unsetenv("TESSALY_SERIAL_DEVICE");
  }

  TfrmDownKV7100* Window() {
    if (!window_) window_ = new TfrmDownKV7100;
    return window_;
  }
  void SetBaud(int baud) {
    SerialSettings settings = comm_.Settings();
    settings.Baudrate = baud;
    comm_.SetSettings(settings);
  }
  // The answers of the next message boxes, in order (OK after them).
  void Answer(std::initializer_list<int> answers) { answers_.assign(answers); }

  // A generated survey log of the kind (kvs or kvg) in the home folder.
  std::string Survey(const std::string& kind, int records, int seed) {
    const std::string path = home_.Path("source-" + std::to_string(seed) + "." + kind);
    EXPECT_TRUE(GenerateLog(SurveyOptions(kind, records, 0, seed), path));
    return path;
  }

  // tessaly-sim dump of `file` at the port's baud rate, waiting for the
  // port to open; returns once its device exists. Its device stays after the
  // data set, as an instrument left plugged in, unless `leaves`.
  void StartDump(const std::string& file, const std::vector<std::string>& options = {}, bool leaves = false) {
    std::vector<std::string> arguments{"dump", "--wait-open", "--baud", std::to_string(comm_.Settings().Baudrate),
                                       "--link", home_.Path("tty1"), "--sent", home_.Path("sent.txt")};
    if (!leaves) arguments.push_back("--stay");
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.push_back(file);
    sim_ = std::make_unique<simtest::SimProcess>(arguments, home_.Path("sim-errors.txt"));
    ASSERT_FALSE(sim_->NextDevice().empty()) << ReadBytes(home_.Path("sim-errors.txt"));
  }
  // Everything the simulator put on the line, once it has sent it all (its
  // report's end line); the event loop runs meanwhile, so the port keeps
  // reading.
  std::string Sent(int limit = 30000) {
    QElapsedTimer timer;
    timer.start();
    std::vector<simtest::SentEvent> events;
    while ((events = simtest::ReadSentReport(home_.Path("sent.txt"))).empty() || events.back().tag != 'E') {
      if (timer.elapsed() > limit) {
        ADD_FAILURE() << "the simulator did not finish: " << ReadBytes(home_.Path("sim-errors.txt"));
        break;
      }
      QTest::qWait(5);
    }
    std::string bytes;
    for (const std::string& device : simtest::BytesPerDevice(events)) bytes += device;
    return bytes;
  }

  // Chooses `path` through the save dialog and clicks Download.
  void Download(const std::string& path) {
    Window()->edtFile2Save->setText(QString::fromStdString(path));
    Window()->btnDownloadClick();
  }
  // Lets the window run until its download has ended (at most `limit` ms);
  // returns the milliseconds it took.
  qint64 RunUntilEnded(int limit = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (window_ && window_->Receiving() && timer.elapsed() < limit) QTest::qWait(5);
    return timer.elapsed();
  }
  static void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  std::vector<TMsgDlg::Call> Messages() const { return TMsgDlg::Calls(); }

  ShellTestHome home_;
  TVaComm comm_;
  QAction acKV7100_{"KV 7100"};
  QPointer<TfrmDownKV7100> window_;
  std::deque<int> answers_;
  std::vector<std::string> opened_;
  std::unique_ptr<simtest::SimProcess> sim_;
};

}  // namespace tessaly::testing
