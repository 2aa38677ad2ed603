#include "core/LiveLogFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/EventsFile.h"
#include "core/FileIdentity.h"
#include "core/LogKind.h"
#include "core/LogPartWriter.h"

namespace tessaly {

namespace {

namespace fs = std::filesystem;

bool Exists(const std::string& path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(path, error));
}

std::string FileName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

}  // namespace

bool EarlierLogFiles::BeyondTheLog(const std::string& base) const {
  return !comments.empty() || !events.empty() || logs.size() > 1 || (logs.size() == 1 && logs[0] != base);
}

EarlierLogFiles FindEarlierLogFiles(const std::string& base) {
  EarlierLogFiles found;
  std::vector<std::string> logs{base};
  for (std::string& part : ExistingLaterParts(base)) logs.push_back(std::move(part));
  for (const std::string& log : logs) {
    if (Exists(log)) found.logs.push_back(log);
    const std::string comments = CommentsFileName(log);
    if (!comments.empty() && Exists(comments)) found.comments.push_back(comments);
    if (std::string events = EventsFileName(log); Exists(events)) found.events.push_back(std::move(events));
  }
  return found;
}

std::vector<std::string> EarlierLogFiles::SetAside() const {
  std::vector<std::string> files = comments;
  files.insert(files.end(), events.begin(), events.end());
  return files;
}

std::string ListFileNames(const EarlierLogFiles& files, std::size_t most) {
  std::string text;
  std::size_t listed = 0;
  for (const auto* group : {&files.logs, &files.comments, &files.events}) {
    for (const std::string& file : *group) {
      if (!text.empty()) text += ", ";
      if (listed++ == most) return text + "...";
      text += FileName(file);
    }
  }
  return text;
}

std::string SetAsideName(const std::string& path) {
  const std::string first = path + ".replaced";
  if (!Exists(first)) return first;
  for (int number = 2;; ++number) {
    std::string name = first + "-" + std::to_string(number);
    if (!Exists(name)) return name;
  }
}

std::string SetAsideFiles(const std::vector<std::string>& files) {
  for (const std::string& file : files) {
    if (!Exists(file)) continue;
    const std::string aside = SetAsideName(file);
    if (std::rename(file.c_str(), aside.c_str()) != 0)
      return "Cannot set " + file + " aside as " + FileName(aside) + ": " + std::strerror(errno);
  }
  return {};
}

std::string MayCreateLogPart(const std::string& path, const std::vector<std::string>& consented,
                             std::span<const GuardedFile> guarded) {
  const OutputVerdict verdict = CheckOutput(WriteKind::Acquisition, path, "The log", guarded);
  if (verdict.outcome != OutputVerdict::Outcome::AskConsent) return verdict.message;
  for (const std::string& agreed : consented)
    if (SameFile(agreed, path)) return {};
  return "The log " + path + " exists and is not replaced without your consent.";
}

}  // namespace tessaly
