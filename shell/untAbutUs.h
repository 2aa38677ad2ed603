// TfrmAboutBox: "About Us": product name, version, legal notice, comments and
// the picture, reloaded every time the window is activated - as a window of
// its own, or as a sub-window of the main window's client area (where the
// frame is what gets activated). OK closes it, frame and all.
#pragma once

#include "shell/untMother.h"

class QLabel;
class QPushButton;

namespace tessaly {

class TfrmAboutBox : public TfrmMother {
  Q_OBJECT

 public:
  // Builds the window; whoever opens it places and shows it.
  explicit TfrmAboutBox(QWidget* parent = nullptr);

  QLabel* imgProgramIcon;
  QLabel* lblProductName;
  QLabel* lblVersion;
  QLabel* lblCopyright;
  QLabel* lblComments;
  QPushButton* OKButton;

 protected:
  void changeEvent(QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void LoadPicture();

  // A failing picture is reported once; the report's own window would
  // otherwise re-activate this one and report again without end.
  bool pictureFailureReported_ = false;
};

}  // namespace tessaly
