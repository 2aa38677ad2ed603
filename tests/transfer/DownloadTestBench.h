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
#include <optional>
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
  void TearDown() override {
    delete window_;
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
  // port to open; returns once its device exists.
  void StartDump(const std::string& file, const std::vector<std::string>& options = {}) {
    std::vector<std::string> arguments{"dump", "--wait-open", "--baud", std::to_string(comm_.Settings().Baudrate),
                                       "--link", home_.Path("tty1"), "--sent", home_.Path("sent.txt")};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.push_back(file);
    simStatus_.reset();
    sim_ = std::make_unique<simtest::SimProcess>(arguments, home_.Path("sim-errors.txt"));
    ASSERT_FALSE(sim_->NextDevice().empty()) << ReadBytes(home_.Path("sim-errors.txt"));
  }
  // Runs the event loop (the port keeps reading) until the simulator has
  // ended; true when it ended well.
  bool FinishSimulator(int limit = 30000) {
    QElapsedTimer timer;
    timer.start();
    while (!simStatus_ && timer.elapsed() < limit) {
      const int status = sim_->Wait(std::chrono::milliseconds(0));
      if (status != -1) simStatus_ = status;
      else QTest::qWait(5);
    }
    return simStatus_ == 0;
  }
  // Everything the simulator put on the line, once it has ended.
  std::string Sent() {
    EXPECT_TRUE(FinishSimulator()) << ReadBytes(home_.Path("sim-errors.txt"));
    std::string bytes;
    for (const std::string& device : simtest::BytesPerDevice(simtest::ReadSentReport(home_.Path("sent.txt"))))
      bytes += device;
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
  std::optional<int> simStatus_;
};

}  // namespace tessaly::testing
