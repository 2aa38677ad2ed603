// AlarmsWindow: "Alarms", the thresholds of the watch - towfish depth,
// signal, GPS, the free disk space and, per instrument, the quality flags'
// spike floor and noise envelope - one edit per setting of
// AlarmSettingFields(). The edits start
// from AppContext::Alarms; the Alarms command is disabled while the window
// exists.
//
// "&Save && Close" rewrites Lib/Alarms.ega, copies the settings into
// AppContext::Alarms and tells every open log window (OnAlarmsChanged).
// Cancel changes nothing. A value that is no number, is out of its range or
// breaks a minimum-below-maximum rule is refused with a message naming the
// field, which gets the focus, and the window stays open.
#pragma once

#include <optional>
#include <string_view>

#include "core/AlarmSettings.h"
#include "shell/SettingsWindow.h"

class QLineEdit;

namespace tessaly {

class AlarmsWindow : public SettingsWindow {
  Q_OBJECT

 public:
  explicit AlarmsWindow(QWidget* parent = nullptr);

  // The edit of a setting, by its caption ("Maximum HDOP:"); nullptr for
  // another text.
  QLineEdit* Edit(std::string_view caption) const;

 protected:
  bool Save() override;

 private:
  QWidget* BuildGroup(const QString& title, std::size_t first, std::size_t count);
  QWidget* BuildFixedRules();
  // The settings in the edits; empty, after the refusal, when one is refused.
  std::optional<AlarmSettings> SettingsFromEdits();
  void SaveAndApply(const AlarmSettings& settings);
};

}  // namespace tessaly
