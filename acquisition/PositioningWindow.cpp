#include "acquisition/PositioningWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "acquisition/untFileLog.h"
#include "core/SettingsFile.h"
#include "shell/AppContext.h"
#include "shell/LogWindows.h"

namespace tessaly {

namespace {

QString Caption(const LaybackSettingField& field) {
  return QString::fromUtf8(field.caption.data(), static_cast<qsizetype>(field.caption.size()));
}

// The file's settings; its defaults when there is none or it cannot be read
// (saving writes it anew).
LaybackSettings FileSettings(const std::string& path) {
  try {
    return ReadLaybackSettingsOrDefaults(path);
  } catch (const SettingsError&) {
    return {};
  }
}

}  // namespace

PositioningWindow::PositioningWindow(QWidget* parent)
    : TfrmMother(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
  setWindowTitle(QStringLiteral("Positioning"));
  auto* form = new QFormLayout;
  for (const LaybackSettingField& field : LaybackSettingFields()) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(Caption(field));
    edit->setAlignment(Qt::AlignRight);
    edit->setMaximumWidth(90);
    edit->setToolTip(QStringLiteral("%1 to %2").arg(QString::fromStdString(SettingsNumberText(field.low)),
                                                    QString::fromStdString(SettingsNumberText(field.high))));
    form->addRow(Caption(field), edit);
    FEdits.push_back(edit);
  }
  cmbMode = new QComboBox(this);
  cmbMode->addItems({QStringLiteral("Along course"), QStringLiteral("Follow the fish")});
  form->addRow(QStringLiteral("Layback mode:"), cmbMode);
  auto* note = new QLabel(QStringLiteral(
      "The towfish is placed behind the tow point at sqrt(cable\u00b2 - depth\u00b2), along the course made good\n"
      "over the smoothing time, or on the tow point's own track (follow the fish); the towfish depth is\n"
      "that of records that carry none. A new cable out reaches the running sessions at once; the other\n"
      "settings, the next session."));
  note->setEnabled(false);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(note);
  layout->addLayout(SaveAndCancelButtons(BitBtn1, BitBtn2, FCancelled));
  layout->setSizeConstraint(QLayout::SetFixedSize);

  ShowSettings(FileSettings(LibFile("Positioning.ega")));
  AppContext::Instance().SetActionsEnabled({QString::fromLatin1(kCommand)}, false);
  CentreOnMainWindow();
}

PositioningWindow::~PositioningWindow() { ReleaseCommand(); }

QLineEdit* PositioningWindow::Edit(std::string_view caption) const {
  const auto fields = LaybackSettingFields();
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (fields[i].caption == caption) return FEdits[i];
  return nullptr;
}

void PositioningWindow::ShowSettings(const LaybackSettings& settings) {
  const auto fields = LaybackSettingFields();
  for (std::size_t i = 0; i < fields.size(); ++i)
    FEdits[i]->setText(QString::fromStdString(SettingsNumberText(settings.*fields[i].member)));
  cmbMode->setCurrentIndex(static_cast<int>(settings.mode));
}

void PositioningWindow::Refuse(QLineEdit* edit, const QString& message) {
  msgMenssage->ShowOk(QStringLiteral("Warning"), message, TMsgDlgType::mtWarning);
  edit->setFocus();
  edit->selectAll();
}

std::optional<LaybackSettings> PositioningWindow::SettingsFromEdits() {
  LaybackSettings settings;
  const auto fields = LaybackSettingFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    try {
      settings.*fields[i].member = ParseSettingsNumber(FEdits[i]->text().toStdString(), fields[i].caption);
    } catch (const SettingsError&) {
      Refuse(FEdits[i], "\"" + Caption(fields[i]) + "\" must be a number.");
      return std::nullopt;
    }
  }
  settings.mode = static_cast<LaybackMode>(cmbMode->currentIndex());
  const LaybackSettingsFault fault = FindLaybackSettingsFault(settings);
  if (!fault.message.empty()) {
    Refuse(fault.field ? FEdits[static_cast<std::size_t>(fault.field - fields.data())] : FEdits.front(),
           QString::fromStdString(fault.message));
    return std::nullopt;
  }
  return settings;
}

// Rewrites the file (a failure is reported); a new cable out goes to every
// live session with a GPS.
void PositioningWindow::SaveAndApply(const LaybackSettings& settings) {
  const std::string path = LibFile("Positioning.ega");
  const double before = FileSettings(path).cableOut;
  RewriteSettings([&] { WriteLaybackSettings(path, settings); });
  if (settings.cableOut == before) return;
  for (TfrmTypeFile* window : OpenLogWindows())
    if (auto* live = qobject_cast<TfrmFileLog*>(window); live && live->SessionTrack().Gps())
      live->SetCableOut(settings.cableOut);
}

void PositioningWindow::closeEvent(QCloseEvent* event) {
  if (!FCancelled) {
    const std::optional<LaybackSettings> settings = SettingsFromEdits();
    if (!settings) {
      event->ignore();
      return;
    }
    SaveAndApply(*settings);
  }
  ReleaseCommand();
  TfrmMother::closeEvent(event);
}

void PositioningWindow::ReleaseCommand() {
  if (FCommandReleased) return;
  FCommandReleased = true;
  AppContext::Instance().SetActionsEnabled({QString::fromLatin1(kCommand)}, true);
}

}  // namespace tessaly
