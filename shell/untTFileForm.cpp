#include "shell/untTFileForm.h"

namespace tessaly {

TfrmTypeFile::TfrmTypeFile(QWidget* parent) : TfrmMother(parent) {}

TfrmTypeFile::~TfrmTypeFile() = default;

void TfrmTypeFile::SetFileName(const std::string& value) {
  if (!AssignFileName(state_, value, false)) return;
  if (OnFileNameChanged) OnFileNameChanged(this);
}

std::string TfrmTypeFile::ShortFileName() const {
  const std::size_t slash = state_.FileName.find_last_of('/');
  return slash == std::string::npos ? state_.FileName : state_.FileName.substr(slash + 1);
}

std::vector<std::string> TfrmTypeFile::FilesInUse() const {
  std::vector<std::string> files;
  for (const std::string* file : {&state_.FileName, &state_.NameGrdFile})
    if (!file->empty()) files.push_back(*file);
  return files;
}

void TfrmTypeFile::Refresh(bool redrawChart, bool recolour) {
  if (OnRefresh) OnRefresh(this, redrawChart, recolour);
}

}  // namespace tessaly
