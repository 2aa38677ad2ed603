#include "shell/LogWindows.h"

#include <QApplication>

#include "core/FileIdentity.h"
#include "shell/untTFileForm.h"

namespace tessaly {

std::vector<TfrmTypeFile*> OpenLogWindows() {
  std::vector<TfrmTypeFile*> windows;
  for (QWidget* widget : QApplication::allWidgets())
    if (auto* window = qobject_cast<TfrmTypeFile*>(widget)) windows.push_back(window);
  return windows;
}

const TfrmTypeFile* LogWindowUsing(const std::string& path) {
  for (const TfrmTypeFile* window : OpenLogWindows())
    for (const std::string& used : window->FilesInUse())
      if (SameFile(used, path)) return window;
  return nullptr;
}

std::vector<GuardedFile> FilesOfOpenWindows() { return FilesOfOtherWindows(nullptr); }

std::vector<GuardedFile> FilesOfOtherWindows(const TfrmTypeFile* self) {
  std::vector<GuardedFile> files;
  for (const TfrmTypeFile* window : OpenLogWindows()) {
    if (window == self) continue;
    const std::string what = "in use by \"" + window->windowTitle().toStdString() + "\"";
    for (const std::string& used : window->FilesInUse()) files.push_back({used, what});
  }
  return files;
}

}  // namespace tessaly
