#include "acquisition/untSerialPort.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/SettingsFile.h"
#include "shell/AppContext.h"
#include "shell/VaComm.h"

namespace tessaly {
namespace {

QLineEdit* IntegerField(const char* name, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(name);
  field->setAlignment(Qt::AlignRight);
  return field;
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

}  // namespace

TfrmSerialPort::TfrmSerialPort(QWidget* parent)
    : TfrmMother(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
  setWindowTitle(QStringLiteral("Serial Port"));
  msgMenssage->Caption = QStringLiteral("Warning");
  msgMenssage->Botoes = {TMsgDlgBtn::mbOK};

  cmbBaurdate = new QComboBox(this);
  cmbBaurdate->setObjectName("cmbBaurdate");
  for (auto text : kBaudRateTexts) cmbBaurdate->addItem(QString::fromLatin1(text.data(), text.size()));
  cmbParity = new QComboBox(this);
  cmbParity->setObjectName("cmbParity");
  for (auto text : kParityTexts) cmbParity->addItem(QString::fromLatin1(text.data(), text.size()));
  spnDataBit = new QSpinBox(this);
  spnDataBit->setObjectName("spnDataBit");
  spnDataBit->setRange(kMinDatabits, kMaxDatabits);
  spnDataBit->setSingleStep(1);
  numedtPortNumber = IntegerField("numedtPortNumber", this);

  auto* line = new QFormLayout;
  line->addRow(QStringLiteral("Baud rate:"), cmbBaurdate);
  line->addRow(QStringLiteral("Parity:"), cmbParity);
  line->addRow(QStringLiteral("Data Bits:"), spnDataBit);
  line->addRow(QStringLiteral("Com Port #:"), numedtPortNumber);

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

  BitBtn1 = new QPushButton(QStringLiteral("&Save && Close"), this);
  BitBtn1->setObjectName("BitBtn1");
  BitBtn1->setDefault(true);
  BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
  BitBtn2->setObjectName("BitBtn2");
  connect(BitBtn1, &QPushButton::clicked, this, &QWidget::close);
  connect(BitBtn2, &QPushButton::clicked, this, [this] {
    cancelled_ = true;
    close();
  });
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn2);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(line);
  layout->addWidget(buffers);
  layout->addLayout(buttons);
  setFixedSize(380, 310);

  AppContext::Instance().SetActionsEnabled(AppContext::SerialActionNames(), false);
  FormShow();
  CentreOnMainWindow();
}

TfrmSerialPort::~TfrmSerialPort() {
  if (!actionsReleased_) AppContext::Instance().SetActionsEnabled(AppContext::SerialActionNames(), true);
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
  numedtRSize->setText(QString::number(s.ReadSize));
  numedtWSize->setText(QString::number(s.WriteSize));
  numedtRTO->setText(QString::number(s.ReadTimeout));
  numedtWTO->setText(QString::number(s.WriteTimeout));
  numedtXoffL->setText(QString::number(s.XoffLimit));
  numedtXonL->setText(QString::number(s.XonLimit));
}

void TfrmSerialPort::closeEvent(QCloseEvent* event) {
  if (!cancelled_) {
    const auto settings = SettingsFromControls();
    if (!settings) {
      event->ignore();
      return;
    }
    if (TVaComm* comm = AppContext::Instance().VaComm) comm->SetSettings(*settings);
    WriteSettingsFile(*settings);
  }
  AppContext::Instance().SetActionsEnabled(AppContext::SerialActionNames(), true);
  actionsReleased_ = true;
  TfrmMother::closeEvent(event);
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
    if (!value) {
      Refuse(field);
      return std::nullopt;
    }
    *target = *value;
  }
  s.Databits = spnDataBit->value();
  if (cmbParity->currentIndex() < 0) {
    Refuse(cmbParity);
    return std::nullopt;
  }
  s.Parity = static_cast<SerialParity>(cmbParity->currentIndex());
  return s;
}

void TfrmSerialPort::Refuse(QWidget* control) {
  msgMenssage->Mensagem = QStringLiteral("Couldn't rercod the data.");
  msgMenssage->Execute();
  control->setFocus();
  if (auto* field = qobject_cast<QLineEdit*>(control)) field->selectAll();
}

void TfrmSerialPort::WriteSettingsFile(const SerialSettings& settings) {
  RewriteSettings([&] { WriteSerialSettings(LibFile("SerialPort.ega"), settings); });
}

}  // namespace tessaly
