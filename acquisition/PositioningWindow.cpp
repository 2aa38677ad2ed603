#include "acquisition/PositioningWindow.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "acquisition/untFileLog.h"
#include "core/SettingsFile.h"
#include "shell/AppContext.h"
#include "shell/LogWindows.h"

namespace tessaly {

namespace {

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
    : SettingsWindow(parent, QStringLiteral("Positioning"), QString::fromLatin1(kCommand)) {
  auto* form = new QFormLayout;
  for (const LaybackSettingField& field : LaybackSettingFields()) {
    FEdits.push_back(AddNumberRow(form, this, field.caption, field.low, field.high));
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
  layout->addLayout(SaveAndCancelRow());
  layout->setSizeConstraint(QLayout::SetFixedSize);

  ShowSettings(FileSettings(LibFile("Positioning.ega")));
  CentreOnMainWindow();
}

QLineEdit* PositioningWindow::Edit(std::string_view caption) const { return EditOf(LaybackSettingFields(), caption); }

void PositioningWindow::ShowSettings(const LaybackSettings& settings) {
  ShowNumbers(LaybackSettingFields(), settings);
  cmbMode->setCurrentIndex(static_cast<int>(settings.mode));
}

std::optional<LaybackSettings> PositioningWindow::SettingsFromEdits() {
  LaybackSettings settings;
  const auto fields = LaybackSettingFields();
  if (!ReadNumbers(fields, settings)) return std::nullopt;
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

bool PositioningWindow::Save() {
  const std::optional<LaybackSettings> settings = SettingsFromEdits();
  if (settings) SaveAndApply(*settings);
  return settings.has_value();
}

}  // namespace tessaly
