// A document window opened on a log, as the shell tests open one.
#pragma once

#include <QPointer>
#include <QSize>

#include <string>

#include "shell/untFile.h"

namespace tessaly::testing {

// Opens a log in a new document window (of `size` where given); returns
// once it is loaded.
inline QPointer<TfrmFile> OpenDocumentWindow(const std::string& path, QSize size = {}) {
  QPointer<TfrmFile> window = new TfrmFile;
  if (size.isValid()) window->resize(size);
  window->show();
  window->SetFileName(path);
  return window;
}

}  // namespace tessaly::testing
