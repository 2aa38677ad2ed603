#include "transfer/untImpPnav.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "shell/StandardDialogs.h"
#include "transfer/untFilePNav.h"

namespace tessaly {

namespace {

const QString kOpenDialogFilter = QStringLiteral("Pnav (*.txt)|*.txt|All (*.*)|*.*");

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Nothing chosen until the operator chooses (a combo box would otherwise
// show its first item as chosen).
void ClearChoice(QComboBox* box) { box->setCurrentIndex(-1); }

}  // namespace

TfrmImpPnav::TfrmImpPnav(QWidget* parent)
    : TfrmMother(parent, Qt::Dialog | Qt::WindowStaysOnTopHint) {
  setWindowTitle(QStringLiteral("Pnav"));
  msgMenssage->Caption = QStringLiteral("Warning");
  msgMenssage->Botoes = {TMsgDlgBtn::mbOK};
  BuildLayout();
  for (std::string_view field : PnavImport::FixedFields()) cmbVariables->addItem(Text(field));
  ClearChoice(cmbVariables);
  ChooseFile = [this](QWidget* owner, const QString& filter) {
    return AskOpenFileName(owner, QStringLiteral("Open"), QString::fromStdString(CurrentDir + "Projects"), filter);
  };
  CentreOnMainWindow();
}

void TfrmImpPnav::BuildLayout() {
  Label1 = new QLabel(QStringLiteral("File:"));
  edtFile = new QLineEdit;
  edtFile->setReadOnly(true);
  edtFile->setMinimumWidth(320);
  Label1->setBuddy(edtFile);
  SpeedButton1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOpenButton), QString());
  SpeedButton1->setToolTip(QStringLiteral("Choose the navigation file"));
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(Label1);
  fileRow->addWidget(edtFile, 1);
  fileRow->addWidget(SpeedButton1);

  GroupBox1 = new QGroupBox(QStringLiteral("Options"));
  GroupBox1->setEnabled(false);
  cmbAuxChannel = new QComboBox;
  cmbVariables = new QComboBox;
  cmbVariables->setMinimumWidth(130);
  lstLinks = new QListWidget;
  SpeedButton2 = new QPushButton(style()->standardIcon(QStyle::SP_ArrowRight), QString());
  SpeedButton2->setToolTip(QStringLiteral("Link the NMEA field to the fixed field"));
  SpeedButton3 = new QPushButton(style()->standardIcon(QStyle::SP_ArrowLeft), QString());
  SpeedButton3->setToolTip(QStringLiteral("Remove the selected link"));
  auto* linkButtons = new QVBoxLayout;
  linkButtons->addWidget(SpeedButton2);
  linkButtons->addWidget(SpeedButton3);
  linkButtons->addStretch();
  auto* options = new QGridLayout(GroupBox1);
  options->addWidget(new QLabel(QStringLiteral("NMEA Fields:")), 0, 0);
  options->addWidget(new QLabel(QStringLiteral("Fixed Fields:")), 0, 1);
  options->addWidget(new QLabel(QStringLiteral("Links")), 0, 3);
  options->addWidget(cmbAuxChannel, 1, 0, Qt::AlignTop);
  options->addWidget(cmbVariables, 1, 1, Qt::AlignTop);
  options->addLayout(linkButtons, 1, 2);
  options->addWidget(lstLinks, 1, 3);
  options->setColumnStretch(3, 1);

  BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"));
  BitBtn1->setDefault(true);
  BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancel"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn2);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fileRow);
  layout->addWidget(GroupBox1, 1);
  layout->addLayout(buttons);
  resize(560, 300);

  connect(SpeedButton1, &QPushButton::clicked, this, &TfrmImpPnav::SpeedButton1Click);
  connect(SpeedButton2, &QPushButton::clicked, this, &TfrmImpPnav::SpeedButton2Click);
  connect(SpeedButton3, &QPushButton::clicked, this, &TfrmImpPnav::SpeedButton3Click);
  connect(BitBtn1, &QPushButton::clicked, this, &TfrmImpPnav::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &TfrmImpPnav::BitBtn2Click);
}

// The channels of the header just read, the links, and whether the options
// can be used.
void TfrmImpPnav::ShowImportState() {
  cmbAuxChannel->clear();
  for (const std::string& channel : FImport.ChannelItems()) cmbAuxChannel->addItem(QString::fromStdString(channel));
  ClearChoice(cmbAuxChannel);
  lstLinks->clear();
  for (const std::string& link : FImport.Links()) lstLinks->addItem(QString::fromStdString(link));
  GroupBox1->setEnabled(FImport.OptionsEnabled());
}

void TfrmImpPnav::SpeedButton1Click() {
  const QString path = ChooseFile(this, kOpenDialogFilter);
  if (path.isEmpty()) return;
  edtFile->setText(path);
  const std::string message = FImport.NewFile(path.toStdString());
  ShowImportState();
  Warn(message);
}

void TfrmImpPnav::SpeedButton2Click() {
  const std::string message =
      FImport.AddLink(cmbAuxChannel->currentText().toStdString(), cmbVariables->currentText().toStdString());
  if (message.empty()) lstLinks->addItem(QString::fromStdString(FImport.Links().back()));
  Warn(message);
}

void TfrmImpPnav::SpeedButton3Click() {
  const int index = lstLinks->selectedItems().isEmpty() ? -1 : lstLinks->currentRow();
  const std::string message = FImport.RemoveLink(index);
  if (message.empty()) delete lstLinks->takeItem(index);
  Warn(message);
}

// Hands the links over to a new navigation document, which loads the file.
void TfrmImpPnav::BitBtn1Click() {
  const std::string refusal = FImport.CheckOk();
  if (!refusal.empty()) {
    Warn(refusal);
    return;
  }
  auto* document = new TfrmFilePNav(FImport);
  if (ShowDocument) ShowDocument(document);
  else document->show();
  hide();  // the load's progress window is not to be covered by a dialog on top
  document->SetFileName(FImport.FilePath());
  close();
}

void TfrmImpPnav::BitBtn2Click() { close(); }

void TfrmImpPnav::Warn(const std::string& message) {
  if (message.empty()) return;
  msgMenssage->Estilo = TMsgDlgType::mtWarning;
  msgMenssage->Mensagem = QString::fromStdString(message);
  msgMenssage->Execute();
}

}  // namespace tessaly
