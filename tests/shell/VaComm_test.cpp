#include "shell/VaComm.h"

#include <QCoreApplication>
#include <QDialog>
#include <QTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace tessaly {
namespace {

// Sets TESSALY_SERIAL_DEVICE for one test.
class DevicePattern {
 public:
  explicit DevicePattern(const std::string& pattern) { setenv("TESSALY_SERIAL_DEVICE", pattern.c_str(), 1); }
  ~DevicePattern() { unsetenv("TESSALY_SERIAL_DEVICE"); }
};

TEST(VaComm, DesignValues) {
  TVaComm comm;
  const SerialSettings& s = comm.Settings();
  EXPECT_EQ(s.Baudrate, 4800);
  EXPECT_EQ(s.Parity, SerialParity::None);
  EXPECT_EQ(s.Databits, 8);
  EXPECT_EQ(s.PortNum, 1);
  EXPECT_EQ(s.ReadSize, 4096);
  EXPECT_EQ(s.WriteSize, 2048);
  EXPECT_EQ(s.ReadTimeout, 1000);
  EXPECT_EQ(s.WriteTimeout, 1000);
  EXPECT_EQ(s.XoffLimit, 1024);
  EXPECT_EQ(s.XonLimit, 1024);
  EXPECT_FALSE(comm.Active());
}

SerialSettings Port(int number, const std::string& device = {}) {
  SerialSettings settings;
  settings.PortNum = number;
  settings.Device = device;
  return settings;
}

TEST(VaComm, PortNumberOrChosenDeviceNamesTheDeviceAndTheEnvironmentOverrides) {
  unsetenv("TESSALY_SERIAL_DEVICE");
  EXPECT_EQ(TVaComm::DeviceName(Port(1)), "/dev/ttyS0");
  EXPECT_EQ(TVaComm::DeviceName(Port(3)), "/dev/ttyS2");
  EXPECT_EQ(TVaComm::DeviceName(Port(3, "/dev/ttyUSB0")), "/dev/ttyUSB0");
  DevicePattern pattern("/tmp/tessaly-tty%d");
  EXPECT_EQ(TVaComm::DeviceName(Port(2)), "/tmp/tessaly-tty2");
  EXPECT_EQ(TVaComm::DeviceName(Port(2, "/dev/ttyUSB0")), "/tmp/tessaly-tty2");
}

TEST(VaComm, MissingDeviceGivesAnErrorNamingIt) {
  QTemporaryDir dir;
  DevicePattern pattern(dir.path().toStdString() + "/absent-tty%d");
  TVaComm comm;
  try {
    comm.Open();
    FAIL() << "opened a missing device";
  } catch (const SerialPortError& e) {
    EXPECT_NE(std::string(e.what()).find(dir.path().toStdString() + "/absent-tty1"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(comm.Active());
  comm.Close();  // a closed port closes quietly
  EXPECT_TRUE(comm.ReadText().empty());
}

TEST(VaComm, UnsupportedDataBitsGiveAnError) {
  const std::string device = "/dev/ptmx";  // opens, but 4 data bits cannot be set
  DevicePattern pattern(device);
  TVaComm comm;
  SerialSettings s;
  s.Databits = 4;
  comm.SetSettings(s);
  EXPECT_THROW(comm.Open(), SerialPortError);
  EXPECT_FALSE(comm.Active());
}

// A pair of linked pseudo-terminals made by socat.
class PtyPair : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString socat = QStandardPaths::findExecutable("socat");
    if (socat.isEmpty()) GTEST_SKIP() << "socat is not installed: the serial round trip needs a pseudo-terminal pair";
    a_ = dir_.path() + "/tty1";
    b_ = dir_.path() + "/peer";
    socat_.start(socat, {"-d", "-d", "pty,raw,echo=0,link=" + a_, "pty,raw,echo=0,link=" + b_});
    QElapsedTimer timer;
    timer.start();
    while (!(std::filesystem::exists(a_.toStdString()) && std::filesystem::exists(b_.toStdString())) &&
           timer.elapsed() < 5000)
      QTest::qWait(20);
    ASSERT_TRUE(std::filesystem::exists(b_.toStdString())) << "socat did not create the pseudo-terminals";
    pattern_ = std::make_unique<DevicePattern>(dir_.path().toStdString() + "/tty%d");
  }
  void TearDown() override {
    if (fd_ >= 0) ::close(fd_);
    socat_.kill();
    socat_.waitForFinished(2000);
  }
  void WritePeer(const std::string& bytes) {
    if (fd_ < 0) fd_ = ::open(b_.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd_, 0);
    ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // Waits on the event loop until `done` holds or 5 s pass.
  template <typename F>
  bool WaitFor(F done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000) QTest::qWait(10);
    return done();
  }

  QTemporaryDir dir_;
  QString a_, b_;
  QProcess socat_;
  std::unique_ptr<DevicePattern> pattern_;
  int fd_ = -1;
};

TEST_F(PtyPair, BytesWrittenOnOneSideArriveThroughOnRxChar) {
  TVaComm comm;
  std::string received;
  int events = 0;
  comm.OnRxChar = [&](TVaComm* sender, int count) {
    EXPECT_EQ(sender, &comm);
    EXPECT_GT(count, 0);
    ++events;
    received += sender->ReadText();
  };
  comm.Open();
  ASSERT_TRUE(comm.Active());
  const std::string record = "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4\r\n";
  WritePeer(record + record);
  EXPECT_TRUE(WaitFor([&] { return received.size() >= 2 * record.size(); }));
  EXPECT_EQ(received, record + record);
  EXPECT_GE(events, 1);
  comm.Close();
  comm.Close();
  EXPECT_FALSE(comm.Active());
}

TEST_F(PtyPair, EventsArriveWhileAModalDialogRuns) {
  TVaComm comm;
  QDialog dialog;
  std::string received;
  comm.OnRxChar = [&](TVaComm* sender, int) {
    received += sender->ReadText();
    if (received.size() >= 5) dialog.accept();
  };
  comm.Open();
  QTimer::singleShot(50, [this] { WritePeer("hello"); });
  QTimer::singleShot(5000, &dialog, &QDialog::reject);  // guard
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_EQ(received, "hello");
}

TEST_F(PtyPair, RealFfBytesArriveOnceWithoutFalseBreaks) {
  TVaComm comm;
  std::string received;
  int breaks = 0;
  comm.OnRxChar = [&](TVaComm* sender, int) { received += sender->ReadText(); };
  comm.OnBreak = [&](TVaComm*) { ++breaks; };
  comm.Open();
  const std::string bytes{'\xFF', 'a', '\0', '\xFF', '\0', 'b', '\xFF'};
  WritePeer(bytes);
  EXPECT_TRUE(WaitFor([&] { return received.size() >= bytes.size(); }));
  EXPECT_EQ(received, bytes);
  EXPECT_EQ(breaks, 0);
}

TEST_F(PtyPair, ReadTextCollectsWaitingBytesWithoutAHandler) {
  TVaComm comm;
  comm.Open();
  WritePeer("** End of data set **");
  std::string received;
  EXPECT_TRUE(WaitFor([&] {
    received += comm.ReadText();
    return received.size() >= 21;
  }));
  EXPECT_EQ(received, "** End of data set **");
}

TEST_F(PtyPair, SettingsTakeEffectAtTheNextOpen) {
  TVaComm comm;
  SerialSettings s;
  s.Baudrate = 9600;
  comm.SetSettings(s);
  comm.Open();
  s.PortNum = 2;  // no such device: noticed only when the port opens again
  comm.SetSettings(s);
  EXPECT_TRUE(comm.Active());
  std::string received;
  WritePeer("x");
  EXPECT_TRUE(WaitFor([&] { return !(received += comm.ReadText()).empty(); }));
  comm.Close();
  try {
    comm.Open();
    FAIL() << "opened port 2";
  } catch (const SerialPortError& e) {
    EXPECT_NE(std::string(e.what()).find("/tty2"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace tessaly
