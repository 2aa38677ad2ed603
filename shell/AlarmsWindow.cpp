#include "shell/AlarmsWindow.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "core/SettingsFile.h"
#include "shell/AppContext.h"
#include "shell/LogWindows.h"
#include "shell/untTFileForm.h"

namespace tessaly {

namespace {

// Groups of consecutive settings of the table.
constexpr std::size_t kDepthFields = 0, kSignalFields = 3, kGpsFields = 6, kQualityFields = 8, kDiskFields = 16;

std::size_t IndexOf(const AlarmSettingField& field) {
  return static_cast<std::size_t>(&field - AlarmSettingFields().data());
}

}  // namespace

AlarmsWindow::AlarmsWindow(QWidget* parent)
    : SettingsWindow(parent, QStringLiteral("Alarms"), QStringLiteral("actAlarms")) {
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
  layout->addLayout(SaveAndCancelRow());
  layout->setSizeConstraint(QLayout::SetFixedSize);

  ShowNumbers(AlarmSettingFields(), AppContext::Instance().Alarms);
  CentreOnMainWindow();
}

QWidget* AlarmsWindow::BuildGroup(const QString& title, std::size_t first, std::size_t count) {
  auto* group = new QGroupBox(title);
  auto* form = new QFormLayout(group);
  for (std::size_t i = first; i < first + count; ++i) {
    const AlarmSettingField& field = AlarmSettingFields()[i];
    FEdits[i] = AddNumberRow(form, group, field.caption, field.low, field.high);
  }
  return group;
}

// The rules whose thresholds are not settings.
QWidget* AlarmsWindow::BuildFixedRules() {
  auto* label = new QLabel(QStringLiteral(
      "No data: nothing valid for 3 s (or 5 usual intervals). Bad records: more than 10 of the last 100.\n"
      "GPS: no valid fix for over 3 s warns (until fixes hold 2 s), for 10 s alarms.\n"
      "Clock: more than 1 s from GPS time."));
  label->setObjectName(QStringLiteral("lblFixedRules"));
  label->setEnabled(false);
  return label;
}

QLineEdit* AlarmsWindow::Edit(std::string_view caption) const { return EditOf(AlarmSettingFields(), caption); }

// ---- Closing ----

std::optional<AlarmSettings> AlarmsWindow::SettingsFromEdits() {
  AlarmSettings settings;
  if (!ReadNumbers(AlarmSettingFields(), settings)) return std::nullopt;
  const AlarmSettingsFault fault = FindAlarmSettingsFault(settings);
  if (fault.field) {
    Refuse(FEdits[IndexOf(*fault.field)], QString::fromStdString(fault.message));
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

bool AlarmsWindow::Save() {
  const std::optional<AlarmSettings> settings = SettingsFromEdits();
  if (settings) SaveAndApply(*settings);
  return settings.has_value();
}

}  // namespace tessaly
