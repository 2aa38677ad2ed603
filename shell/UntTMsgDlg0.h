// TFrmMsgDlg: the message window built by TMsgDlg::Execute. Its size follows
// the message: one line when it fits in 60 % of the screen width, otherwise
// wrapped; the buttons sit centred below it, the icon at the left.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>
#include <functional>

#include "shell/UntTMsgdlg1.h"

class QLabel;
class QPushButton;
class QWidget;

namespace tessaly {

// Where the parts of the message window go.
struct MsgDlgLayout {
  QRect Label;      // LabMsg
  bool Wrapped = false;
  QRect Panel;      // PanBotoes
  QSize Window;     // client size of the window
  QPoint Icon;      // top-left of ImgIcone
};

inline constexpr int kMsgButtonWidth = 90;
inline constexpr int kMsgButtonStep = 98;
inline constexpr int kMsgButtonHeight = 25;
inline constexpr int kMsgIconSize = 32;

// Lays out a message of the given one-line size with buttonCount buttons on a
// screen screenWidth pixels wide; wrappedHeight gives the label's height when
// wrapped to a width.
MsgDlgLayout ComputeMsgDlgLayout(int buttonCount, QSize labelNatural, int screenWidth,
                                 const std::function<int(int width)>& wrappedHeight);

class TFrmMsgDlg : public QDialog {
  Q_OBJECT

 public:
  // Builds the window for the message without showing it. screenWidth 0
  // takes the width of the primary screen.
  explicit TFrmMsgDlg(const TMsgDlg& message, int screenWidth = 0, QWidget* parent = nullptr);

  QLabel* LabMsg = nullptr;
  QLabel* ImgIcone = nullptr;
  QWidget* PanBotoes = nullptr;
  QPushButton *btnYes, *btnNo, *btnOk, *btnCancel, *btnAbort, *btnRetry, *btnIgnore, *btnAll, *btnHelp;

  const MsgDlgLayout& Layout() const { return layout_; }

  // The close box gives 2 (Cancel).
  void reject() override;

 signals:
  // The Help button was pressed; the program has no help file to open.
  void HelpRequested(int helpContext);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QPushButton* AddButton(const char* caption, int modalResult);
  // Shows the requested buttons in table order; returns how many.
  int PlaceButtons(const TMsgDlg& message);
  void ShowIcon(TMsgDlgType kind);
  void Apply(const MsgDlgLayout& layout);

  int helpContext_ = 0;
  MsgDlgLayout layout_;
};

}  // namespace tessaly
