// TFrmPrgBar: the borderless progress window (509 x 166) of TFromProgressBar:
// a message across the top, an animation, the bar, and the optional start and
// cancel buttons at the bottom right. It frees itself when closed.
#pragma once

#include <QDialog>

#include "shell/ProgressMessage.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tessaly {

class TFrmPrgBar : public QDialog {
  Q_OBJECT

 public:
  // Takes maximum, minimum, position, message, font, animation and buttons
  // from the component and becomes the current progress window.
  TFrmPrgBar(TFromProgressBar& component, QWidget* parent = nullptr);
  ~TFrmPrgBar() override;

  // The one progress window that exists, or nullptr.
  static TFrmPrgBar* Current();

  QLabel* lblMsg;
  FileAnimation* Animate1;
  QProgressBar* ProgressBar;
  QPushButton* btnIniciar;
  QPushButton* btnCancelar;

  static constexpr int kWidth = 509;
  static constexpr int kHeight = 166;
  static constexpr int kRightButtonLeft = 420;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void btnIniciarClick();
  void btnCancelarClick();
  void ForgetAsCurrent();

  TFromProgressBar& component_;
};

}  // namespace tessaly
