// TfrmLogErrors: the list of rejected lines of a log, a snapshot taken when
// the window opens. Stays on top, can save the list as a text file.
#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QListView;
class QPushButton;

namespace tessaly {

class TfrmLogErrors : public QDialog {
  Q_OBJECT

 public:
  // The window is destroyed when it is closed; owner is the window whose
  // errors it shows (it is centred on owner's top-level window).
  TfrmLogErrors(QWidget* owner, std::vector<std::string> errorLines);

  QListView* lsbErrors = nullptr;
  QPushButton* btnSave = nullptr;
  QPushButton* btnClose = nullptr;

  const std::vector<std::string>& Lines() const { return lines_; }

  // Asks for the file to save to; the default is a save dialog that asks
  // before replacing a file. Empty text: nothing is saved. Tests replace it.
  std::function<QString(QWidget* parent)> ChooseSaveFile;
  // Shows a failure to save; the default is a warning message box.
  std::function<void(const QString& message)> ShowError;

  // Writes the lines, each ended by CR LF, unless the output rule refuses
  // the file (CheckOutput: no log of an open window, no survey log). Empty
  // text on success, else why not.
  std::string SaveTo(const std::string& path) const;

 private:
  void btnSaveClick();

  std::vector<std::string> lines_;
};

}  // namespace tessaly
