// The logging window's GPS: the port and positioning a session starts with,
// the "GPS" box, the positions on the track and the cable out (see
// untFileLog.h).
#include <QString>

#include "acquisition/GpsStatusPanel.h"
#include "acquisition/LiveSessionThread.h"
#include "acquisition/untFileLog.h"
#include "core/SettingsFile.h"
#include "core/SettingsStore.h"
#include "shell/AppContext.h"
#include "shell/SerialTransport.h"
#include "shell/TrackPane.h"
#include "shell/VaComm.h"
#include "widgets/TrackPlot.h"

namespace tessaly {

namespace {

// The settings of the program's GPS port; "None" when they cannot be read
// (the serial settings window says why when opened).
GpsPortSettings GpsPort() {
  try {
    return ReadGpsPortSettingsOrNone(LibPath(AppContext::Instance().CurrentDir, "GpsPort.ega"));
  } catch (const SettingsError&) {
    return {};
  }
}

}  // namespace

void TfrmFileLog::BuildGpsPanel() {
  grpGps = new GpsStatusPanel;
  grpGps->OnCableOut = [this](double metres) {
    if (const std::string error = SetCableOut(metres); !error.empty())
      ShowMessage(QStringLiteral("Error"), QString::fromStdString(error), TMsgDlgType::mtError);
  };
  grpGps->OnUseOtherGps = [this] {
    if (session_) session_->UseOtherGps();
    ShowSessionReports();
  };
  track_.SetGps(MakeGpsTransport || GpsPort().Enabled());
}

std::optional<std::function<std::unique_ptr<LiveTransport>()>> TfrmFileLog::ChooseGps(LiveSessionOptions& options) {
  const std::string lib = AppContext::Instance().CurrentDir;
  GpsPortSettings port;
  try {
    port = ReadGpsPortSettingsOrNone(LibPath(lib, "GpsPort.ega"));
    options.layback = ReadLaybackSettingsOrDefaults(LibPath(lib, "Positioning.ega"));
  } catch (const SettingsError& error) {
    ShowMessage(QStringLiteral("Error"), QString::fromUtf8(error.what()), TMsgDlgType::mtError);
    return std::nullopt;
  }
  std::function<std::unique_ptr<LiveTransport>()> make = MakeGpsTransport;
  if (!make && port.Enabled()) {
    const SerialSettings serial = GpsSerialSettings(port);
    const AppContext& context = AppContext::Instance();
    if (!MakeTransport && context.VaComm && TVaComm::DeviceName(serial) == context.VaComm->Device()) {
      ShowMessage(QStringLiteral("Error"),
                  QStringLiteral("The GPS port is the instrument's port (%1). Choose another GPS port, or None, "
                                 "in the serial settings.")
                      .arg(TVaComm::DeviceName(serial)),
                  TMsgDlgType::mtError);
      return std::nullopt;
    }
    make = [serial] { return std::make_unique<SerialTransport>(serial); };
  }
  return make;
}

std::string TfrmFileLog::SetCableOut(double metres) {
  if (!session_ || !track_.Gps()) return "No session with a GPS is running.";
  std::string error = session_->SetCableOut(metres);
  ShowSessionReports();
  return error;
}

void TfrmFileLog::GpsChanged(const LiveGpsStatus& status) { grpGps->ShowStatus(status); }

// The track takes every position; the box shows the newest record's.
void TfrmFileLog::RecordsPositioned(const std::vector<LivePosition>& positions) {
  track_.Positioned(positions);
  const LivePosition* newest = nullptr;
  for (const LivePosition& position : positions)
    if (position.row >= newestPositioned_) newestPositioned_ = (newest = &position)->row;
  if (newest) grpGps->ShowNewest(*newest);
}

}  // namespace tessaly
