// The open log windows of the program: documents, navigation documents and
// live logging windows (the TfrmTypeFile family), wherever they are shown.
#pragma once

#include <string>
#include <vector>

#include "core/OutputRule.h"

namespace tessaly {

class TfrmTypeFile;

// Every log window that exists, including one closed a moment ago whose
// deletion is still pending; in no particular order.
std::vector<TfrmTypeFile*> OpenLogWindows();

// The open log window that works on `path` (as its log or its comments file,
// whatever the path's spelling), or nullptr.
const TfrmTypeFile* LogWindowUsing(const std::string& path);

// The files of every open log window, which no writer may replace, each
// called "in use by" the window's title (CheckOutput).
std::vector<GuardedFile> FilesOfOpenWindows();
// The same but those of `self` (a window about to write its own).
std::vector<GuardedFile> FilesOfOtherWindows(const TfrmTypeFile* self);

}  // namespace tessaly
