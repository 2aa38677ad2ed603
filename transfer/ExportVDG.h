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

#include "core/ExportFormats.h"
#include "core/LogDocument.h"

namespace tessaly {

class TfrmFile;

// The name the save dialog proposes: the document's file name without its
// folder, less its last four characters (the extension with its dot).
QString ProposedExportName(const TfrmFile& document);

// Writes the document's records to path in `format` (ExportDocument) with
// the files of the open windows guarded. Returns why it failed, empty when
// done.
std::string ExportVDG(const TfrmFile& document, const std::string& path, const ExportFormat& format,
                      const ExportSettings& settings);

// What the export of a document whose load was cancelled must say before it
// writes: "loaded up to line N of about M"; empty for a whole document.
std::string PartialExportWarning(const LogDocument& document);

}  // namespace tessaly
