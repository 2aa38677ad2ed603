// The VDG export of a document window: its record grid written as delimited
// text by the document (LogDocument::ExportVDG), on a worker thread while the
// progress window "Exporting File ..." is shown modally.
//
// The caller checks the target first (CheckOutput with FilesOfOpenWindows).
// The file is written beside the target and renamed into place at the end,
// so a failed export leaves an earlier file of that name as it was.
#pragma once

#include <string>
#include <vector>

#include <QString>

namespace tessaly {

class TfrmFile;

// The name the save dialog proposes: the document's file name without its
// folder, less its last four characters (the extension with its dot).
QString ProposedExportName(const TfrmFile& document);

// Writes the document's grid to path, every cell followed by delimiter.
// Returns why it failed, empty when done.
std::string ExportVDG(const TfrmFile& document, const std::string& path, const std::string& delimiter);

}  // namespace tessaly
