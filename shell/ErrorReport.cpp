#include "shell/ErrorReport.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "shell/ProductInfo.h"

namespace tessaly {

QString ErrorReportText(const QString& errorClass, const QString& message, const QString& objectClass) {
  return QStringLiteral("There was an error.\r\rError: ") + errorClass + "\r" + message + "\r" + "Object: " +
         objectClass + "\r\r" + "Please send this message to " + QString::fromUtf8(product::kSupportAddress) +
         "\r\r" + "Thank you.";
}

QString ClassNameShown(QString qualified) {
  // The program's own classes are shown by their plain names (TfrmMain).
  if (qualified.startsWith(QStringLiteral("tessaly::"))) qualified.remove(0, 9);
  return qualified;
}

QString ExceptionClassName(const std::exception& error) {
  const char* mangled = typeid(error).name();
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                   std::free);
  return ClassNameShown(QString::fromUtf8(status == 0 && demangled ? demangled.get() : mangled));
}

}  // namespace tessaly
