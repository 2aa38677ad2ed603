// A document window opened on a log, as the shell tests open one.
#pragma once

#include <QPointer>

#include <string>

#include "shell/untFile.h"

namespace tessaly::testing {

// Opens a log in a new document window; returns once it is loaded.
inline QPointer<TfrmFile> OpenDocumentWindow(const std::string& path) {
  QPointer<TfrmFile> window = new TfrmFile;
  window->show();
  window->SetFileName(path);
  return window;
}

}  // namespace tessaly::testing
