// PositioningWindow: "Positioning", how the records are placed from the GPS
// - the cable out, the tow point's offset from the antenna (astern, to
// starboard), the towfish depth for records without one, the layback mode
// and the smoothing time of the course made good - one edit per number of
// LaybackSettingFields() and a choice of mode. The edits start from
// Lib/Positioning.ega (its defaults when there is none); the Positioning
// command is disabled while the window exists.
//
// "&Save && Close" rewrites the file; the new cable out also reaches every
// live session with a GPS at once (recorded with its time beside the part),
// the other settings the next session. Cancel changes nothing. A value that
// is no number or is out of its range is refused with a message naming the
// field, which gets the focus, and the window stays open.
#pragma once

#include <optional>
#include <string_view>

#include "core/SettingsStore.h"
#include "shell/SettingsWindow.h"

class QComboBox;
class QLineEdit;

namespace tessaly {

class PositioningWindow : public SettingsWindow {
  Q_OBJECT

 public:
  static constexpr const char* kCommand = "actPositioning";

  explicit PositioningWindow(QWidget* parent = nullptr);

  // The edit of a number by its caption ("Cable out (m):"); nullptr for
  // another text.
  QLineEdit* Edit(std::string_view caption) const;
  QComboBox* cmbMode = nullptr;  // "Along course", "Follow the fish"

 protected:
  bool Save() override;

 private:
  void ShowSettings(const LaybackSettings& settings);
  // The settings in the edits; empty, after the refusal, when one is refused.
  std::optional<LaybackSettings> SettingsFromEdits();
  void SaveAndApply(const LaybackSettings& settings);
};

}  // namespace tessaly
