// TfrmAboutBox: "About Us": product name, version, legal notice, comments and
// the picture, reloaded every time the window is activated. OK closes it.
#pragma once

#include "shell/untMother.h"

class QLabel;
class QPushButton;

namespace tessaly {

class TfrmAboutBox : public TfrmMother {
  Q_OBJECT

 public:
  // Builds and shows the window.
  explicit TfrmAboutBox(QWidget* parent = nullptr);

  QLabel* imgProgramIcon;
  QLabel* lblProductName;
  QLabel* lblVersion;
  QLabel* lblCopyright;
  QLabel* lblComments;
  QPushButton* OKButton;

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void LoadPicture();

  // A failing picture is reported once; the report's own window would
  // otherwise re-activate this one and report again without end.
  bool pictureFailureReported_ = false;
};

}  // namespace tessaly
