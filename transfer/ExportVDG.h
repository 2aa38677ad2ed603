// The VDG export of a document window: its record grid written as delimited
// text by the document (LogDocument::ExportVDG), on a worker thread while the
// progress window "Exporting File ..." is shown modally.
//
// An export never writes over a log: a target that is a file of an open log
// window (the document's own log or comments file, another document's, any
// part of a live session) is refused, however its path is spelt. The file is
// written beside the target and renamed into place at the end, so a failed
// export leaves an earlier file of that name as it was.
#pragma once

#include <string>
#include <vector>

#include <QString>

namespace tessaly {

class TfrmFile;

// The name the save dialog proposes: the document's file name without its
// folder, less its last four characters (the extension with its dot).
QString ProposedExportName(const TfrmFile& document);

// The files of every open log window, which an export must not write over.
std::vector<std::string> FilesInUse();

// The message refusing target when it is one of the files in use; empty
// when it is none of them.
std::string RefuseTargetInUse(const std::string& target, const std::vector<std::string>& inUse);

// Writes the document's grid to path, every cell followed by delimiter.
// Returns why it failed, empty when done.
std::string ExportVDG(const TfrmFile& document, const std::string& path, const std::string& delimiter);

}  // namespace tessaly
