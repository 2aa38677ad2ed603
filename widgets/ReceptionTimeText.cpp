#include "widgets/ReceptionTimeText.h"

#include <QDateTime>
#include <QLocale>

#include "core/Clock.h"

namespace tessaly {

std::string ReceptionTimeText(std::int64_t utcNs) {
  const std::int64_t millis = utcNs / kNsPerMs - (utcNs % kNsPerMs < 0 ? 1 : 0);
  const QDateTime at = QDateTime::fromMSecsSinceEpoch(millis);
  return QLocale::system().toString(at.time(), QLocale::LongFormat).toStdString();
}

}  // namespace tessaly
