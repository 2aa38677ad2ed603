#include "shell/AppContext.h"

#include <QAction>

#include "core/ProgramHome.h"
#include "shell/ErrorReport.h"
#include "shell/UntTMsgdlg1.h"

namespace tessaly {

AppContext& AppContext::Instance() {
  static AppContext context;
  return context;
}

AppContext::AppContext() : CurrentDir(ProgramHome()) {}

void AppContext::RegisterAction(const QString& name, QAction* action) { actions_.insert(name, action); }

QAction* AppContext::Action(const QString& name) const { return actions_.value(name); }

void AppContext::SetActionsEnabled(const QStringList& names, bool enabled) {
  for (const auto& name : names)
    if (QAction* action = Action(name)) action->setEnabled(enabled);
}

const QStringList& AppContext::SerialActionNames() {
  static const QStringList names{"actLogKv7100", "actLogZpxBT",    "actLogZpxKV",  "actLogRt4Kv",
                                 "actLogRt4Basic", "actLogRt4Pro", "actSerialPort"};
  return names;
}

bool AppContext::ClaimPort(QWidget* owner) {
  if (owner == nullptr || (portOwner_ && portOwner_ != owner)) return false;
  portOwner_ = owner;
  return true;
}

void AppContext::ReleasePort(const QWidget* owner) {
  if (portOwner_ == owner) portOwner_ = nullptr;
}

QString AppContext::PortInUseMessage() const {
  if (!portOwner_) return {};
  return QStringLiteral("The serial port is in use by \"%1\". Stop it there first.").arg(portOwner_->windowTitle());
}

void AppContext::ReportError(const std::exception& error, const QObject* origin) const {
  TMsgDlg message;
  const QString objectClass = origin ? ClassNameShown(QString::fromLatin1(origin->metaObject()->className())) : QString();
  message.ShowOk(QStringLiteral("Error"), ErrorReportText(ExceptionClassName(error), QString::fromUtf8(error.what()), objectClass),
                 TMsgDlgType::mtError);
}

void AppContext::ReportCurrentException(const QObject* origin) const {
  try {
    throw;
  } catch (const std::exception& error) {
    ReportError(error, origin);
  } catch (...) {
    ReportError(std::runtime_error("Unknown error"), origin);
  }
}

void AppContext::Reset() {
  MainWindow = nullptr;
  VaComm = nullptr;
  portOwner_ = nullptr;
  View = ViewSettings{};
  MapDatum = 0;
  Alarms = AlarmSettings{};
  actions_.clear();
  OnRecentFileAdded = nullptr;
  OnRecentFileRemoved = nullptr;
  OpenDocument = nullptr;
}

}  // namespace tessaly
