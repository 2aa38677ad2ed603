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
#include <vector>

#include "core/AlarmSettings.h"
#include "shell/untMother.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tessaly {

class AlarmsWindow : public TfrmMother {
  Q_OBJECT

 public:
  explicit AlarmsWindow(QWidget* parent = nullptr);
  ~AlarmsWindow() override;

  // The edit of a setting, by its caption ("Maximum HDOP:"); nullptr for
  // another text.
  QLineEdit* Edit(std::string_view caption) const;
  QPushButton* BitBtn1 = nullptr;  // "&Save && Close"
  QPushButton* BitBtn2 = nullptr;  // Cancel

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* BuildGroup(const QString& title, std::size_t first, std::size_t count);
  QWidget* BuildFixedRules();
  void ShowSettings(const AlarmSettings& settings);
  // The settings in the edits; empty, after the refusal, when one is refused.
  std::optional<AlarmSettings> SettingsFromEdits();
  void Refuse(const AlarmSettingField& field, const QString& message);
  void SaveAndApply(const AlarmSettings& settings);
  void ReleaseAlarmsCommand();

  std::vector<QLineEdit*> FEdits;  // one per field, in table order
  bool FCancelled = false;
  bool FCommandReleased = false;
};

}  // namespace tessaly
