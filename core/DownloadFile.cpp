#include "core/DownloadFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/TextHelpers.h"

namespace tessaly {
namespace {

std::string Reason() { return std::strerror(errno); }

}  // namespace

DownloadFile::~DownloadFile() {
  try {
    Close();
  } catch (const DownloadError&) {
    // Nobody is left to tell: the window reports errors of its own closes.
  }
}

void DownloadFile::Create(const std::string& path, DownloadForm form) {
  Close();
  const std::string folder = std::filesystem::path(path).parent_path().string();
  if (!folder.empty() && !ForceDirectories(folder)) throw DownloadError("Cannot create the folder " + folder);
  file_.reset(std::fopen(path.c_str(), "wb"));
  if (!file_) throw DownloadError("Cannot create the file " + path + ": " + Reason());
  path_ = path;
  form_ = form;
  formatter_ = DataStringFormatter();
  lines_ = 0;
}

void DownloadFile::Write(std::string_view received) {
  Put(form_ == DownloadForm::DataString ? formatter_.Feed(received) : std::string(received));
}

void DownloadFile::Close() {
  if (!file_) return;
  std::string error;
  try {
    if (form_ == DownloadForm::DataString) Put(formatter_.Finish());
  } catch (const DownloadError& failed) {
    error = failed.what();
  }
  if (std::fclose(file_.release()) != 0 && error.empty()) error = "Cannot write the file " + path_ + ": " + Reason();
  if (!error.empty()) throw DownloadError(error);
}

void DownloadFile::Put(std::string_view bytes) {
  if (bytes.empty()) return;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size() || std::fflush(file_.get()) != 0)
    throw DownloadError("Cannot write the file " + path_ + ": " + Reason());
  lines_ += std::count(bytes.begin(), bytes.end(), '\n');
}

std::string DownloadTarget(const std::string& typed, const std::string& projects) {
  const std::filesystem::path path(typed);
  if (typed.empty() || path.is_absolute()) return typed;
  return (std::filesystem::path(projects) / path).string();
}

}  // namespace tessaly
