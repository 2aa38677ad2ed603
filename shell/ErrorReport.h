// The text of the report shown for an error that no window handled.
#pragma once

#include <QString>

#include <exception>

namespace tessaly {

// "There was an error.\r\rError: <class>\r<message>\rObject: <object class>
// \r\rPlease send this message to <support address>\r\rThank you."
QString ErrorReportText(const QString& errorClass, const QString& message, const QString& objectClass);

// A class name as the report shows it: the program's own classes without
// their namespace ("TfrmMain"), others fully qualified ("std::runtime_error").
QString ClassNameShown(QString qualified);

// The readable class name of an exception object ("SettingsError").
QString ExceptionClassName(const std::exception& error);

}  // namespace tessaly
