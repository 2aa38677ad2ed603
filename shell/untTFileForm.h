// TfrmTypeFile: base of every window that shows a log (the log document, the
// navigation document, the live logging windows). Holds the file-name state:
// assigning FileName recognises the log's kind from the file's first lines,
// finds its comments file and then calls OnFileNameChanged. The recognition
// (FileState) is made here once and handed on to whatever loads the file.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/LogKind.h"
#include "shell/untMother.h"

namespace tessaly {

class TfrmTypeFile : public TfrmMother {
  Q_OBJECT

 public:
  explicit TfrmTypeFile(QWidget* parent = nullptr);
  ~TfrmTypeFile() override;

  // Full path of the log. Assigning it clears FileError, runs the recognition
  // (by the extension alone when NewFile is set) and calls OnFileNameChanged;
  // assigning empty text while FileName is empty does nothing.
  const std::string& FileName() const { return state_.FileName; }
  void SetFileName(const std::string& value);

  // The recognised kind's row; nullptr when the file is of no kind.
  const LogKindInfo* Kind() const { return state_.kind; }
  const std::string& FileExt() const { return state_.FileExt; }
  const std::string& FileExtType() const { return state_.FileExtType; }
  const std::string& FileType() const { return state_.FileType; }
  bool FileError() const { return state_.FileError; }
  void SetFileError(bool error) { state_.FileError = error; }
  bool NewFile() const { return state_.NewFile; }
  void SetNewFile(bool newFile) { state_.NewFile = newFile; }
  bool GrdFile() const { return state_.GrdFile; }
  const std::string& NameGrdFile() const { return state_.NameGrdFile; }
  const TypeFileState& FileState() const { return state_; }

  // The raw text was edited since the file was opened.
  bool RawChanged() const { return rawChanged_; }
  void SetRawChanged(bool changed) { rawChanged_ = changed; }
  // The document holds a navigation import not saved yet.
  bool Imported() const { return imported_; }
  void SetImported(bool imported) { imported_ = imported; }

  // The file name without its folder.
  std::string ShortFileName() const;

  // The files the window works on, which nothing else may write over: the
  // log and its comments file (even before a first comment creates it), when
  // the window has them. A live logging window lists every part of its
  // session.
  virtual std::vector<std::string> FilesInUse() const;

  // Called with the window and the two flags of Refresh.
  std::function<void(TfrmTypeFile* sender, bool redrawChart, bool recolour)> OnRefresh;
  // Called at the end of every FileName assignment.
  std::function<void(TfrmTypeFile* sender)> OnFileNameChanged;
  // Called when the alarm settings (AppContext::Alarms) have changed.
  std::function<void(TfrmTypeFile* sender)> OnAlarmsChanged;

  // The view settings changed: redrawChart when the chart settings did,
  // recolour when the deviation colours did.
  void Refresh(bool redrawChart, bool recolour);

 protected:
  // A navigation document: every FileName assignment makes its file a
  // navigation import, whatever the file holds.
  void SetNavigationKind(bool navigation) { navigationKind_ = navigation; }

 private:
  TypeFileState state_;
  bool navigationKind_ = false;
  bool rawChanged_ = false;
  bool imported_ = false;
};

}  // namespace tessaly
