// The output file of a KV7100 memory download: the "Graphic" form is written
// exactly as received, the "Data String" form reformatted as one text
// (core/DataStringFormat.h) however it arrives. Every write reaches the file
// at once, so a download that is stopped keeps everything written.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/DataStringFormat.h"
#include "core/FileHandle.h"

namespace tessaly {

enum class DownloadForm { Graphic, DataString };

class DownloadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class DownloadFile {
 public:
  DownloadFile() = default;
  // Closes a file still open, writing what is held; errors are dropped.
  ~DownloadFile();
  DownloadFile(const DownloadFile&) = delete;
  DownloadFile& operator=(const DownloadFile&) = delete;

  // Creates every missing folder of the path and creates (truncates) the
  // file. Throws DownloadError naming the folder or file that failed.
  void Create(const std::string& path, DownloadForm form);
  // Writes received text in the file's form. Throws DownloadError.
  void Write(std::string_view received);
  // Writes what the reformatting still holds and closes the file; nothing
  // when no file is open. Throws DownloadError when a write failed.
  void Close();

  bool IsOpen() const { return file_ != nullptr; }
  // Entries written so far ("+" and "-" of the Data String form; 0 for
  // Graphic).
  std::int64_t Entries() const { return formatter_.Entries(); }
  // Line ends written so far.
  std::int64_t Lines() const { return lines_; }
  // The file of the last Create, kept after Close.
  const std::string& Path() const { return path_; }
  DownloadForm Form() const { return form_; }

 private:
  void Put(std::string_view bytes);

  FileHandle file_;
  std::string path_;
  DownloadForm form_ = DownloadForm::Graphic;
  DataStringFormatter formatter_;
  std::int64_t lines_ = 0;
};

// Where a download named `typed` goes: a relative name (without a folder, or
// with folders below the working one) goes into `projects`, the folder the
// save dialog starts in, never into whatever folder the program was started
// from; an absolute path stays as it is.
std::string DownloadTarget(const std::string& typed, const std::string& projects);

}  // namespace tessaly
