#include "acquisition/untSerialPort.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSerialPortInfo>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

#include "acquisition/untFileLog.h"
#include "core/SettingsFile.h"
#include "shell/AppContext.h"
#include "shell/VaComm.h"

namespace tessaly {
namespace {

const QString kByNumber = QStringLiteral("(Com Port #)");
const QString kGpsNone = QStringLiteral("None");
const QString kGpsByNumber = QStringLiteral("Com Port #");

QLineEdit* IntegerField(const char* name, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(name);
  field->setAlignment(Qt::AlignRight);
  return field;
}

QComboBox* BaudRates(const char* name, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  for (auto text : kBaudRateTexts) box->addItem(QString::fromLatin1(text.data(), text.size()));
  return box;
}

// A port combo box: its fixed entries, then the system's ports, typed paths
// allowed.
QComboBox* PortChoice(const char* name, const QStringList& fixed, const std::vector<SerialPortEntry>& ports,
                      QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->addItems(fixed);
  for (const SerialPortEntry& port : ports)
    box->addItem(QString::fromStdString(SerialPortEntryText(port)), QString::fromStdString(port.location));
  return box;
}

// Shows `device` in a port combo box: its listed entry, else the path itself.
void ShowDevice(QComboBox* box, const std::string& device) {
  const int listed = box->findData(QString::fromStdString(device));
  if (listed >= 0) box->setCurrentIndex(listed);
  else box->setEditText(QString::fromStdString(device));
}

std::optional<std::int32_t> FieldValue(const QLineEdit* field) {
  try {
    return ParseSettingsInt(field->text().toStdString(), "field");
  } catch (const SettingsError&) {
    return std::nullopt;
  }
}

SerialSettings ComponentSettings() {
  const TVaComm* comm = AppContext::Instance().VaComm;
  return comm ? comm->Settings() : SerialSettings{};
}

std::vector<SerialPortEntry> QtSerialPorts() {
  std::vector<SerialPortEntry> ports;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
    ports.push_back({info.systemLocation().toStdString(), info.portName().toStdString(),
                     info.description().toStdString(), info.manufacturer().toStdString(),
                     info.serialNumber().toStdString()});
  return ports;
}

// A live logging window holds the serial commands off while it exists.
bool LiveLogWindowOpen() {
  const auto widgets = QApplication::allWidgets();
  return std::any_of(widgets.begin(), widgets.end(), [](QWidget* w) { return qobject_cast<TfrmFileLog*>(w); });
}

}  // namespace

std::function<std::vector<SerialPortEntry>()> TfrmSerialPort::ListSystemPorts = QtSerialPorts;

TfrmSerialPort::TfrmSerialPort(QWidget* parent)
    : TfrmMother(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      ports_(ListSystemPorts()) {
  setWindowTitle(QStringLiteral("Serial Port"));
  msgMenssage->Caption = QStringLiteral("Warning");
  msgMenssage->Botoes = {TMsgDlgBtn::mbOK};

  cmbBaurdate = BaudRates("cmbBaurdate", this);
  cmbParity = new QComboBox(this);
  cmbParity->setObjectName("cmbParity");
  for (auto text : kParityTexts) cmbParity->addItem(QString::fromLatin1(text.data(), text.size()));
  spnDataBit = new QSpinBox(this);
  spnDataBit->setObjectName("spnDataBit");
  spnDataBit->setRange(kMinDatabits, kMaxDatabits);
  spnDataBit->setSingleStep(1);
  numedtPortNumber = IntegerField("numedtPortNumber", this);
  cmbDevice = PortChoice("cmbDevice", {kByNumber}, ports_, this);

  auto* line = new QFormLayout;
  line->addRow(QStringLiteral("Baud rate:"), cmbBaurdate);
  line->addRow(QStringLiteral("Parity:"), cmbParity);
  line->addRow(QStringLiteral("Data Bits:"), spnDataBit);
  line->addRow(QStringLiteral("Com Port #:"), numedtPortNumber);
  line->addRow(QStringLiteral("Device:"), cmbDevice);

  auto* buffers = new QGroupBox(QStringLiteral("Buffers"), this);
  numedtRSize = IntegerField("numedtRSize", buffers);
  numedtWSize = IntegerField("numedtWSize", buffers);
  numedtRTO = IntegerField("numedtRTO", buffers);
  numedtWTO = IntegerField("numedtWTO", buffers);
  numedtXoffL = IntegerField("numedtXoffL", buffers);
  numedtXonL = IntegerField("numedtXonL", buffers);
  auto* grid = new QGridLayout(buffers);
  const std::pair<const char*, QLineEdit*> fields[] = {
      {"Read Size:", numedtRSize},     {"Write Size:", numedtWSize}, {"Read Time Out:", numedtRTO},
      {"Write Time Out:", numedtWTO}, {"X off Limit:", numedtXoffL}, {"X on Limit:", numedtXonL}};
  for (int i = 0; i < 6; ++i) {
    grid->addWidget(new QLabel(QString::fromLatin1(fields[i].first), buffers), i / 2, (i % 2) * 2);
    grid->addWidget(fields[i].second, i / 2, (i % 2) * 2 + 1);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(line);
  layout->addWidget(buffers);
  layout->addWidget(BuildGpsGroup());
  layout->addLayout(SaveAndCancelButtons(BitBtn1, BitBtn2, cancelled_));
  setFixedSize(460, 475);

  AppContext::Instance().SetActionsEnabled(AppContext::SerialActionNames(), false);
  FormShow();
  CentreOnMainWindow();
}

QWidget* TfrmSerialPort::BuildGpsGroup() {
  auto* gps = new QGroupBox(QStringLiteral("GPS"), this);
  cmbGpsPort = PortChoice("cmbGpsPort", {kGpsNone, kGpsByNumber}, ports_, gps);
  numedtGpsPortNumber = IntegerField("numedtGpsPortNumber", gps);
  cmbGpsBaudrate = BaudRates("cmbGpsBaudrate", gps);
  auto* form = new QFormLayout(gps);
  form->addRow(QStringLiteral("Port:"), cmbGpsPort);
  form->addRow(QStringLiteral("Com Port #:"), numedtGpsPortNumber);
  form->addRow(QStringLiteral("Baud rate:"), cmbGpsBaudrate);
  const auto byNumber = [this] { numedtGpsPortNumber->setEnabled(cmbGpsPort->currentText() == kGpsByNumber); };
  connect(cmbGpsPort, &QComboBox::currentTextChanged, this, byNumber);
  return gps;
}

TfrmSerialPort::~TfrmSerialPort() {
  if (!actionsReleased_ && !LiveLogWindowOpen())
    AppContext::Instance().SetActionsEnabled(AppContext::SerialActionNames(), true);
}

void TfrmSerialPort::showEvent(QShowEvent* event) {
  TfrmMother::showEvent(event);
  FormShow();
}

void TfrmSerialPort::FormShow() {
  const SerialSettings s = ComponentSettings();
  cmbBaurdate->setCurrentIndex(BaudRateIndex(s.Baudrate).value_or(-1));
  cmbParity->setCurrentIndex(static_cast<int>(s.Parity));
  spnDataBit->setValue(s.Databits);
  numedtPortNumber->setText(QString::number(s.PortNum));
  if (s.Device.empty()) cmbDevice->setCurrentIndex(0);
  else ShowDevice(cmbDevice, s.Device);
  numedtRSize->setText(QString::number(s.ReadSize));
  numedtWSize->setText(QString::number(s.WriteSize));
  numedtRTO->setText(QString::number(s.ReadTimeout));
  numedtWTO->setText(QString::number(s.WriteTimeout));
  numedtXoffL->setText(QString::number(s.XoffLimit));
  numedtXonL->setText(QString::number(s.XonLimit));

  GpsPortSettings gps;
  try {
    ReadGpsPortSettings(LibFile("GpsPort.ega"), gps);
  } catch (const SettingsError&) {
    gps = GpsPortSettings{};  // none yet, or unreadable: the defaults
  }
  if (!gps.Device.empty()) ShowDevice(cmbGpsPort, gps.Device);
  else cmbGpsPort->setCurrentIndex(gps.PortNum > 0 ? 1 : 0);
  numedtGpsPortNumber->setText(QString::number(std::max(gps.PortNum, 1)));
  numedtGpsPortNumber->setEnabled(cmbGpsPort->currentText() == kGpsByNumber);
  cmbGpsBaudrate->setCurrentIndex(BaudRateIndex(gps.Baudrate).value_or(-1));
}

void TfrmSerialPort::closeEvent(QCloseEvent* event) {
  if (!cancelled_) {
    if (LiveLogWindowOpen()) {
      msgMenssage->Mensagem =
          QStringLiteral("A logging window is open. Close it before changing the serial settings, or Cancel.");
      msgMenssage->Execute();
      event->ignore();
      return;
    }
    const auto settings = SettingsFromControls();
    const auto gps = settings ? GpsSettingsFromControls() : std::nullopt;
    if (!gps) {
      event->ignore();
      return;
    }
    if (TVaComm* comm = AppContext::Instance().VaComm) comm->SetSettings(*settings);
    WriteSettingsFiles(*settings, *gps);
  }
  if (!LiveLogWindowOpen()) AppContext::Instance().SetActionsEnabled(AppContext::SerialActionNames(), true);
  actionsReleased_ = true;
  TfrmMother::closeEvent(event);
}

std::optional<std::string> TfrmSerialPort::ChosenDevice(const QComboBox* box, int fixedItems) const {
  const QString text = box->currentText();
  const int listed = box->findText(text);
  if (listed >= 0 && listed < fixedItems) return std::string();
  if (listed >= 0) return box->itemData(listed).toString().toStdString();
  const std::string typed = text.trimmed().toStdString();
  if (!IsDevicePath(typed)) return std::nullopt;
  return typed;
}

std::optional<SerialSettings> TfrmSerialPort::SettingsFromControls() {
  SerialSettings s = ComponentSettings();
  if (cmbBaurdate->currentIndex() < 0) {
    Refuse(cmbBaurdate);
    return std::nullopt;
  }
  s.Baudrate = kBaudRates[static_cast<std::size_t>(cmbBaurdate->currentIndex())];
  const std::pair<QLineEdit*, std::int32_t*> fields[] = {
      {numedtRSize, &s.ReadSize},     {numedtWSize, &s.WriteSize}, {numedtRTO, &s.ReadTimeout},
      {numedtWTO, &s.WriteTimeout},   {numedtXoffL, &s.XoffLimit}, {numedtXonL, &s.XonLimit},
      {numedtPortNumber, &s.PortNum}};
  for (const auto& [field, target] : fields) {
    const auto value = FieldValue(field);
    if (!value || (field == numedtPortNumber && *value <= 0)) {
      Refuse(field);
      return std::nullopt;
    }
    *target = *value;
  }
  const auto device = ChosenDevice(cmbDevice, 1);
  if (!device) {
    Refuse(cmbDevice);
    return std::nullopt;
  }
  s.Device = *device;
  s.Databits = spnDataBit->value();
  if (cmbParity->currentIndex() < 0) {
    Refuse(cmbParity);
    return std::nullopt;
  }
  s.Parity = static_cast<SerialParity>(cmbParity->currentIndex());
  return s;
}

std::optional<GpsPortSettings> TfrmSerialPort::GpsSettingsFromControls() {
  GpsPortSettings gps;
  const auto device = ChosenDevice(cmbGpsPort, 2);
  if (!device) {
    Refuse(cmbGpsPort);
    return std::nullopt;
  }
  gps.Device = *device;
  if (cmbGpsPort->currentText() == kGpsByNumber) {
    const auto number = FieldValue(numedtGpsPortNumber);
    if (!number || *number <= 0) {
      Refuse(numedtGpsPortNumber);
      return std::nullopt;
    }
    gps.PortNum = *number;
  }
  if (cmbGpsBaudrate->currentIndex() < 0) {
    Refuse(cmbGpsBaudrate);
    return std::nullopt;
  }
  gps.Baudrate = kBaudRates[static_cast<std::size_t>(cmbGpsBaudrate->currentIndex())];
  return gps;
}

void TfrmSerialPort::Refuse(QWidget* control) {
  msgMenssage->Mensagem = QStringLiteral("Couldn't rercod the data.");
  msgMenssage->Execute();
  control->setFocus();
  if (auto* field = qobject_cast<QLineEdit*>(control)) field->selectAll();
}

void TfrmSerialPort::WriteSettingsFiles(const SerialSettings& settings, const GpsPortSettings& gps) {
  RewriteSettings([&] {
    WriteSerialSettings(LibFile("SerialPort.ega"), settings);
    WriteGpsPortSettings(LibFile("GpsPort.ega"), gps);
  });
}

}  // namespace tessaly
