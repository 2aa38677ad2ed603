#include "widgets/CellText.h"

#include <QByteArrayView>
#include <QStringDecoder>

#include <algorithm>

namespace tessaly {

QString CellText(std::string_view bytes) {
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
  const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (!ascii) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (!utf8.hasError()) return text;
  }
  return QString::fromLatin1(view);
}

}  // namespace tessaly
