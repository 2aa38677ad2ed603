#include "shell/LogWindows.h"

#include <QApplication>

#include "shell/untTFileForm.h"

namespace tessaly {

std::vector<TfrmTypeFile*> OpenLogWindows() {
  std::vector<TfrmTypeFile*> windows;
  for (QWidget* widget : QApplication::allWidgets())
    if (auto* window = qobject_cast<TfrmTypeFile*>(widget)) windows.push_back(window);
  return windows;
}

}  // namespace tessaly
