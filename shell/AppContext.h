// AppContext: the one hub every window reaches instead of a global main
// window. The main window fills it at start-up (tests fill it themselves):
// the serial component and which window holds it, the 16 view settings, the
// map datum, the named commands, the recent-files hooks and the report of
// unhandled errors.
//
// Everything here is used on the user-interface thread only.
#pragma once

#include <QAction>
#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <exception>
#include <functional>
#include <string>

#include "core/AlarmSettings.h"
#include "core/ViewSettings.h"

namespace tessaly {

class TVaComm;  // shell/VaComm.h

class AppContext {
 public:
  // The process-wide context.
  static AppContext& Instance();

  // The program's folder (ends with a separator): where Lib/ and Projects/
  // live. Taken from ProgramHome() when the context is first used.
  std::string CurrentDir;

  // The main window: parent for centring windows and owner of the report.
  QPointer<QWidget> MainWindow;

  // The program's one serial-port component (owned by the main window).
  TVaComm* VaComm = nullptr;

  // The one window that receives the port's bytes: a window running a live
  // session or a download claims the port before it starts and releases it
  // when it stops. A start while another window holds the port is refused
  // with PortInUseMessage().
  //
  // Claims the port for `owner`: true when the port was free or is already
  // held by `owner`, false when another window holds it (or owner is null).
  bool ClaimPort(QWidget* owner);
  // Frees the port when `owner` holds it; a window that is destroyed frees
  // it as well.
  void ReleasePort(const QWidget* owner);
  // The window holding the port; nullptr when the port is free.
  QWidget* PortOwner() const { return portOwner_; }
  // The message of a refused start, naming the holder by its window title;
  // empty while the port is free.
  QString PortInUseMessage() const;

  // The 16 view settings and the map datum (index 0..22 of the ellipsoids).
  ViewSettings View;
  int MapDatum = 0;
  // The thresholds of the alarms and quality flags (Lib/Alarms.ega).
  AlarmSettings Alarms;

  // Named commands ("actSerialPort", "actLogKv7100", ...). Registering the
  // same name again replaces the action; a destroyed action is forgotten.
  void RegisterAction(const QString& name, QAction* action);
  QAction* Action(const QString& name) const;  // nullptr when unknown
  // Enables or disables every named action that is registered.
  void SetActionsEnabled(const QStringList& names, bool enabled);

  // The seven commands that use the serial port exclusively: disabled while a
  // live logging window or the serial settings window exists.
  static const QStringList& SerialActionNames();

  // Recent-files hooks, called by TfrmBigMother after Lib/Files.ega was
  // rewritten (the main window keeps its menus in step); may be empty.
  std::function<void(const std::string& path)> OnRecentFileAdded;
  std::function<void(const std::string& path)> OnRecentFileRemoved;

  // Opens a log as the main window's Open command does: recent files,
  // Windows menu entry, document window. Set by the main window; may be
  // empty.
  std::function<void(const std::string& path)> OpenDocument;

  // Unhandled-error report: shows the error text (ErrorReport.h) through a
  // TMsgDlg with [OK], error style and the caption "Error". `origin` is the
  // object whose handler raised the error (its class name is reported).
  void ReportError(const std::exception& error, const QObject* origin) const;
  // The same for the exception being handled (call inside a catch block).
  void ReportCurrentException(const QObject* origin) const;

  // Clears everything but CurrentDir (for tests).
  void Reset();

 private:
  AppContext();
  QHash<QString, QPointer<QAction>> actions_;
  QPointer<QWidget> portOwner_;
};

}  // namespace tessaly
