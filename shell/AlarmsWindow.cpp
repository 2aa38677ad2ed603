#include "shell/AlarmsWindow.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/SettingsFile.h"
#include "shell/AppContext.h"
#include "shell/LogWindows.h"
#include "shell/untTFileForm.h"

namespace tessaly {

namespace {

const QString kAlarmsCommand = QStringLiteral("actAlarms");

// Groups of consecutive settings of the table.
constexpr std::size_t kDepthFields = 0, kSignalFields = 3, kGpsFields = 6, kQualityFields = 8, kDiskFields = 16;

QString Caption(const AlarmSettingField& field) { return QString::fromUtf8(field.caption.data(), field.caption.size()); }

}  // namespace

AlarmsWindow::AlarmsWindow(QWidget* parent)
    : TfrmMother(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
  setWindowTitle(QStringLiteral("Alarms"));
  const std::size_t fieldCount = AlarmSettingFields().size();
  FEdits.resize(fieldCount);
  auto* groups = new QGridLayout;
  groups->addWidget(BuildGroup(QStringLiteral("Towfish depth"), kDepthFields, kSignalFields - kDepthFields), 0, 0);
  groups->addWidget(BuildGroup(QStringLiteral("Signal"), kSignalFields, kGpsFields - kSignalFields), 1, 0);
  groups->addWidget(BuildGroup(QStringLiteral("GPS"), kGpsFields, kQualityFields - kGpsFields), 2, 0);
  groups->addWidget(BuildGroup(QStringLiteral("Disk"), kDiskFields, fieldCount - kDiskFields), 3, 0);
  groups->addWidget(BuildGroup(QStringLiteral("Quality flags (deviation units)"), kQualityFields,
                               kDiskFields - kQualityFields),
                    0, 1, 4, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups);
  layout->addWidget(BuildFixedRules());
  layout->addLayout(SaveAndCancelButtons(BitBtn1, BitBtn2, FCancelled));
  layout->setSizeConstraint(QLayout::SetFixedSize);

  ShowSettings(AppContext::Instance().Alarms);
  AppContext::Instance().SetActionsEnabled({kAlarmsCommand}, false);
  CentreOnMainWindow();
}

AlarmsWindow::~AlarmsWindow() { ReleaseAlarmsCommand(); }

QWidget* AlarmsWindow::BuildGroup(const QString& title, std::size_t first, std::size_t count) {
  auto* group = new QGroupBox(title);
  auto* form = new QFormLayout(group);
  for (std::size_t i = first; i < first + count; ++i) {
    const AlarmSettingField& field = AlarmSettingFields()[i];
    auto* edit = new QLineEdit(group);
    edit->setObjectName(Caption(field));
    edit->setAlignment(Qt::AlignRight);
    edit->setMaximumWidth(90);
    edit->setToolTip(QStringLiteral("%1 to %2").arg(QString::fromStdString(SettingsNumberText(field.low)),
                                                    QString::fromStdString(SettingsNumberText(field.high))));
    form->addRow(Caption(field), edit);
    FEdits[i] = edit;
  }
  return group;
}

// The rules whose thresholds are not settings.
QWidget* AlarmsWindow::BuildFixedRules() {
  auto* label = new QLabel(QStringLiteral(
      "No data: nothing valid for 3 s (or 5 usual intervals). Bad records: more than 10 of the last 100.\n"
      "GPS: a fix older than 3 s warns, none for 10 s alarms. Clock: more than 1 s from GPS time."));
  label->setObjectName(QStringLiteral("lblFixedRules"));
  label->setEnabled(false);
  return label;
}

QLineEdit* AlarmsWindow::Edit(std::string_view caption) const {
  const auto fields = AlarmSettingFields();
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (fields[i].caption == caption) return FEdits[i];
  return nullptr;
}

void AlarmsWindow::ShowSettings(const AlarmSettings& settings) {
  const auto fields = AlarmSettingFields();
  for (std::size_t i = 0; i < fields.size(); ++i)
    FEdits[i]->setText(QString::fromStdString(SettingsNumberText(settings.*fields[i].member)));
}

// ---- Closing ----

void AlarmsWindow::Refuse(const AlarmSettingField& field, const QString& message) {
  msgMenssage->ShowOk(QStringLiteral("Warning"), message, TMsgDlgType::mtWarning);
  QLineEdit* edit = Edit(field.caption);
  edit->setFocus();
  edit->selectAll();
}

std::optional<AlarmSettings> AlarmsWindow::SettingsFromEdits() {
  AlarmSettings settings;
  const auto fields = AlarmSettingFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    try {
      settings.*fields[i].member = ParseSettingsNumber(FEdits[i]->text().toStdString(), fields[i].caption);
    } catch (const SettingsError&) {
      Refuse(fields[i], "\"" + Caption(fields[i]) + "\" must be a number.");
      return std::nullopt;
    }
  }
  const AlarmSettingsFault fault = FindAlarmSettingsFault(settings);
  if (fault.field) {
    Refuse(*fault.field, QString::fromStdString(fault.message));
    return std::nullopt;
  }
  return settings;
}

// Rewrites the file (a failure is reported, the settings still apply for the
// run), then every open log window judges its records again.
void AlarmsWindow::SaveAndApply(const AlarmSettings& settings) {
  RewriteSettings([&] { WriteAlarmSettings(LibFile("Alarms.ega"), settings); });
  AppContext::Instance().Alarms = settings;
  for (TfrmTypeFile* window : OpenLogWindows())
    if (window->OnAlarmsChanged) window->OnAlarmsChanged(window);
}

void AlarmsWindow::closeEvent(QCloseEvent* event) {
  if (!FCancelled) {
    const std::optional<AlarmSettings> settings = SettingsFromEdits();
    if (!settings) {
      event->ignore();
      return;
    }
    SaveAndApply(*settings);
  }
  ReleaseAlarmsCommand();
  TfrmMother::closeEvent(event);
}

void AlarmsWindow::ReleaseAlarmsCommand() {
  if (FCommandReleased) return;
  FCommandReleased = true;
  AppContext::Instance().SetActionsEnabled({kAlarmsCommand}, true);
}

}  // namespace tessaly
