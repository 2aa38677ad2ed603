// TfrmWelcome: the splash window shown once at start-up: the picture, the
// product name and the legal notice. It hides when it loses activation.
#pragma once

#include "shell/untBigMother.h"

class QLabel;

namespace tessaly {

class TfrmWelcome : public TfrmBigMother {
  Q_OBJECT

 public:
  // Builds the window, loads the picture (a failure is shown by the error
  // report and the window stays without it) and shows it centred.
  explicit TfrmWelcome(QWidget* parent = nullptr);

  QLabel* Image1;
  QLabel* Label2;
  QLabel* lblCopyright;

  static constexpr int kWidth = 740;
  static constexpr int kHeight = 407;

 protected:
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tessaly
