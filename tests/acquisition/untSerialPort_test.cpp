#include "acquisition/untSerialPort.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

#include "acquisition/untFileLogOther.h"
#include "core/SettingsFile.h"
#include "shell/AppContext.h"
#include "shell/VaComm.h"
#include "support/ShellTestHome.h"

namespace tessaly {
namespace {

class SerialWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    AppContext::Instance().VaComm = &comm_;
    for (const auto& name : AppContext::SerialActionNames()) {
      actions_.push_back(std::make_unique<QAction>(name));
      AppContext::Instance().RegisterAction(name, actions_.back().get());
    }
    AppContext::Instance().RegisterAction("actLogOther", &other_);
  }
  std::string Lib(const std::string& name) const { return home_.Lib(name); }
  bool SerialActionsEnabled() const {
    for (const auto& a : actions_)
      if (!a->isEnabled()) return false;
    return true;
  }
  static void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  testing::ShellTestHome home_;
  TVaComm comm_;
  std::vector<std::unique_ptr<QAction>> actions_;
  QAction other_{"Other"};
};

TEST_F(SerialWindow, OpensWithTheComponentValuesAndDisablesTheSevenActions) {
  SerialSettings s;
  s.Baudrate = 19200;
  s.Parity = SerialParity::Odd;
  s.Databits = 7;
  s.PortNum = 3;
  s.XonLimit = 512;
  comm_.SetSettings(s);
  QPointer<TfrmSerialPort> window = new TfrmSerialPort;
  window->show();
  EXPECT_EQ(window->windowTitle(), "Serial Port");
  EXPECT_EQ(window->cmbBaurdate->count(), 15);
  EXPECT_EQ(window->cmbBaurdate->itemText(1), "115200");
  EXPECT_EQ(window->cmbBaurdate->currentText(), "19200");
  EXPECT_EQ(window->cmbParity->itemText(4), "Sce");
  EXPECT_EQ(window->cmbParity->currentText(), "Odd");
  EXPECT_EQ(window->spnDataBit->minimum(), 4);
  EXPECT_EQ(window->spnDataBit->maximum(), 8);
  EXPECT_EQ(window->spnDataBit->value(), 7);
  EXPECT_EQ(window->numedtPortNumber->text(), "3");
  EXPECT_EQ(window->numedtXonL->text(), "512");
  for (const auto& a : actions_) EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
  EXPECT_TRUE(other_.isEnabled());
  QTest::mouseClick(window->BitBtn2, Qt::LeftButton);
  Settle();
  EXPECT_TRUE(window.isNull());
  EXPECT_TRUE(SerialActionsEnabled());
}

TEST_F(SerialWindow, SaveWritesTheTenValuesAndTheReaderGivesTheSameSettings) {
  QPointer<TfrmSerialPort> window = new TfrmSerialPort;
  window->show();
  window->cmbBaurdate->setCurrentText("9600");
  window->cmbParity->setCurrentText("None");
  window->spnDataBit->setValue(8);
  window->numedtPortNumber->setText("2");
  QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
  Settle();
  EXPECT_TRUE(window.isNull());
  EXPECT_EQ(ReadSettingsValues(Lib("SerialPort.ega")),
            (std::vector<std::string>{"14", "4096", "2048", "1000", "1000", "1024", "1024", "8", "2", "2"}));
  EXPECT_EQ(comm_.Settings().Baudrate, 9600);
  EXPECT_EQ(comm_.Settings().PortNum, 2);
  SerialSettings atNextStart;
  ReadSerialSettings(Lib("SerialPort.ega"), atNextStart);
  EXPECT_EQ(atNextStart, comm_.Settings());
  EXPECT_TRUE(SerialActionsEnabled());
  EXPECT_TRUE(TMsgDlg::Calls().empty());
}

TEST_F(SerialWindow, DataBitsAndBuffersSurviveTheRoundTrip) {
  QPointer<TfrmSerialPort> window = new TfrmSerialPort;
  window->show();
  window->cmbParity->setCurrentText("Sce");
  window->spnDataBit->setValue(5);
  window->numedtRSize->setText("8192");
  window->numedtWTO->setText("250");
  window->close();
  Settle();
  SerialSettings back;
  ReadSerialSettings(Lib("SerialPort.ega"), back);
  EXPECT_EQ(back.Databits, 5);
  EXPECT_EQ(back.Parity, SerialParity::Space);
  EXPECT_EQ(back.ReadSize, 8192);
  EXPECT_EQ(back.WriteTimeout, 250);
  EXPECT_EQ(back, comm_.Settings());
}

TEST_F(SerialWindow, CancelChangesNeitherTheComponentNorTheFile) {
  WriteSerialSettings(Lib("SerialPort.ega"), SerialSettings{});
  const auto before = ReadTextLines(Lib("SerialPort.ega"));
  QPointer<TfrmSerialPort> window = new TfrmSerialPort;
  window->show();
  window->cmbBaurdate->setCurrentText("110");
  window->numedtPortNumber->setText("7");
  QTest::mouseClick(window->BitBtn2, Qt::LeftButton);
  Settle();
  EXPECT_EQ(comm_.Settings(), SerialSettings{});
  EXPECT_EQ(ReadTextLines(Lib("SerialPort.ega")), before);
}

TEST_F(SerialWindow, NonIntegerFieldKeepsTheWindowOpenAndWritesNothing) {
  QPointer<TfrmSerialPort> window = new TfrmSerialPort;
  window->show();
  QApplication::setActiveWindow(window);
  window->numedtPortNumber->setText("9");
  window->numedtWSize->setText("2k");
  QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
  Settle();
  ASSERT_FALSE(window.isNull());
  EXPECT_TRUE(window->isVisible());
  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Mensagem, "Couldn't rercod the data.");
  EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Warning");
  EXPECT_EQ(TMsgDlg::Calls()[0].Botoes, TMsgDlgButtons{TMsgDlgBtn::mbOK});
  EXPECT_EQ(QApplication::focusWidget(), window->numedtWSize);
  EXPECT_FALSE(std::filesystem::exists(Lib("SerialPort.ega")));
  EXPECT_EQ(comm_.Settings(), SerialSettings{});
  EXPECT_FALSE(SerialActionsEnabled());
  // Mended, the save goes through.
  window->numedtWSize->setText("2048");
  QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
  Settle();
  EXPECT_TRUE(window.isNull());
  EXPECT_EQ(comm_.Settings().PortNum, 9);
  EXPECT_TRUE(SerialActionsEnabled());
}

TEST_F(SerialWindow, EmptyFieldIsRefusedToo) {
  TfrmSerialPort window;
  window.show();
  window.numedtXoffL->clear();
  window.close();
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(TMsgDlg::Calls().size(), 1u);
}

TEST_F(SerialWindow, WriteFailureIsShownAndTheComponentKeepsTheValues) {
  std::filesystem::remove_all(Lib(""));
  QPointer<TfrmSerialPort> window = new TfrmSerialPort;
  window->show();
  window->cmbBaurdate->setCurrentText("38400");
  window->close();
  Settle();
  EXPECT_TRUE(window.isNull());
  EXPECT_EQ(comm_.Settings().Baudrate, 38400);
  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Mensagem, "Couldn't rercod the data in the configuration file.");
}

// The system's ports as a test gives them, put back when the test ends.
class SerialWindowWithPorts : public SerialWindow {
 protected:
  void SetUp() override {
    SerialWindow::SetUp();
    TfrmSerialPort::ListSystemPorts = [] {
      return std::vector<SerialPortEntry>{{"/dev/ttyUSB0", "ttyUSB0", "FT232R USB UART", "FTDI", "A6008isP"},
                                          {"/dev/ttyACM0", "ttyACM0", "u-blox GNSS receiver", "u-blox AG", ""}};
    };
  }
  void TearDown() override { TfrmSerialPort::ListSystemPorts = saved_; }
  void Save(TfrmSerialPort* window) {
    QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
    Settle();
  }
  std::function<std::vector<SerialPortEntry>()> saved_ = TfrmSerialPort::ListSystemPorts;
};

TEST_F(SerialWindowWithPorts, ListsTheSystemsPortsAndStoresTheChosenDeviceBesideTheNumber) {
  QPointer<TfrmSerialPort> window = new TfrmSerialPort;
  window->show();
  ASSERT_EQ(window->cmbDevice->count(), 3);
  EXPECT_EQ(window->cmbDevice->itemText(0), "(Com Port #)");
  EXPECT_EQ(window->cmbDevice->itemText(1), "ttyUSB0 - FT232R USB UART, FTDI, serial number A6008isP");
  EXPECT_EQ(window->cmbDevice->itemText(2), "ttyACM0 - u-blox GNSS receiver, u-blox AG");
  window->numedtPortNumber->setText("4");
  window->cmbDevice->setCurrentIndex(1);
  Save(window);
  ASSERT_TRUE(window.isNull());
  const auto values = ReadSettingsValues(Lib("SerialPort.ega"));
  ASSERT_EQ(values.size(), 11u);
  EXPECT_EQ(values[8], "4");
  EXPECT_EQ(values[10], "/dev/ttyUSB0");
  EXPECT_EQ(comm_.Settings().Device, "/dev/ttyUSB0");
  // Shown again as the listed port.
  QPointer<TfrmSerialPort> again = new TfrmSerialPort;
  again->show();
  EXPECT_EQ(again->cmbDevice->currentIndex(), 1);
  again->cmbDevice->setCurrentIndex(0);
  Save(again);
  EXPECT_EQ(comm_.Settings().Device, "");
  EXPECT_EQ(ReadSettingsValues(Lib("SerialPort.ega")).size(), 10u);
}

TEST_F(SerialWindowWithPorts, TakesATypedDevicePathAndRefusesAnythingElse) {
  QPointer<TfrmSerialPort> window = new TfrmSerialPort;
  window->show();
  window->cmbDevice->setEditText("ttyUSB3");
  Save(window);
  ASSERT_FALSE(window.isNull());
  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Mensagem, "Couldn't rercod the data.");
  EXPECT_FALSE(std::filesystem::exists(Lib("SerialPort.ega")));
  window->cmbDevice->setEditText("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A6008isP-if00-port0");
  Save(window);
  EXPECT_TRUE(window.isNull());
  EXPECT_EQ(comm_.Settings().Device, "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A6008isP-if00-port0");
}

TEST_F(SerialWindowWithPorts, PortsZeroAndBelowAreRefusedInTheWindow) {
  for (const char* port : {"0", "-3"}) {
    TMsgDlg::ClearCalls();
    QPointer<TfrmSerialPort> window = new TfrmSerialPort;
    window->show();
    QApplication::setActiveWindow(window);
    window->numedtPortNumber->setText(port);
    Save(window);
    ASSERT_FALSE(window.isNull()) << port;
    EXPECT_EQ(TMsgDlg::Calls().size(), 1u) << port;
    EXPECT_EQ(QApplication::focusWidget(), window->numedtPortNumber) << port;
    EXPECT_FALSE(std::filesystem::exists(Lib("SerialPort.ega"))) << port;
    EXPECT_EQ(comm_.Settings().PortNum, 1) << port;
    QTest::mouseClick(window->BitBtn2, Qt::LeftButton);
    Settle();
  }
}

TEST_F(SerialWindowWithPorts, TheGpsPortIsNoneUntilANumberOrADeviceIsChosen) {
  QPointer<TfrmSerialPort> window = new TfrmSerialPort;
  window->show();
  EXPECT_EQ(window->cmbGpsPort->currentText(), "None");
  EXPECT_EQ(window->cmbGpsBaudrate->currentText(), "4800");
  EXPECT_FALSE(window->numedtGpsPortNumber->isEnabled());
  ASSERT_EQ(window->cmbGpsPort->count(), 4);
  EXPECT_EQ(window->cmbGpsPort->itemText(3), "ttyACM0 - u-blox GNSS receiver, u-blox AG");
  Save(window);
  GpsPortSettings gps;
  ReadGpsPortSettings(Lib("GpsPort.ega"), gps);
  EXPECT_EQ(gps, GpsPortSettings{});

  window = new TfrmSerialPort;
  window->show();
  window->cmbGpsPort->setCurrentText("Com Port #");
  EXPECT_TRUE(window->numedtGpsPortNumber->isEnabled());
  window->numedtGpsPortNumber->setText("0");
  Save(window);
  ASSERT_FALSE(window.isNull());  // port 0 refused
  window->numedtGpsPortNumber->setText("2");
  window->cmbGpsBaudrate->setCurrentText("9600");
  Save(window);
  ASSERT_TRUE(window.isNull());
  EXPECT_EQ(ReadSettingsValues(Lib("GpsPort.ega")), (std::vector<std::string>{"14", "2", ""}));

  window = new TfrmSerialPort;
  window->show();
  EXPECT_EQ(window->cmbGpsPort->currentText(), "Com Port #");
  EXPECT_EQ(window->numedtGpsPortNumber->text(), "2");
  window->cmbGpsPort->setCurrentIndex(3);
  Save(window);
  ReadGpsPortSettings(Lib("GpsPort.ega"), gps);
  EXPECT_EQ(gps.Device, "/dev/ttyACM0");
  EXPECT_EQ(gps.PortNum, 0);
  EXPECT_EQ(gps.Baudrate, 9600);
}

TEST_F(SerialWindow, ClosingBesideALiveWindowLeavesTheSerialCommandsOffAndSavesNothing) {
  // The raw capture's command is not among the serial commands, so a live
  // window can open while the settings window is open.
  QPointer<TfrmSerialPort> window = new TfrmSerialPort;
  window->show();
  QPointer<TfrmFileLog> live = new TfrmFileLogOther;
  live->show();
  window->numedtPortNumber->setText("5");
  QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
  Settle();
  ASSERT_FALSE(window.isNull());
  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_NE(TMsgDlg::Calls()[0].Mensagem.indexOf("logging window"), -1);
  EXPECT_EQ(comm_.Settings().PortNum, 1);
  EXPECT_FALSE(std::filesystem::exists(Lib("SerialPort.ega")));
  QTest::mouseClick(window->BitBtn2, Qt::LeftButton);
  Settle();
  EXPECT_TRUE(window.isNull());
  for (const auto& a : actions_) EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
  live->close();
  Settle();
  EXPECT_TRUE(SerialActionsEnabled());
}

}  // namespace
}  // namespace tessaly
