// A small painted animation of the file-operation kind shown above the
// progress bar: a magnifier sweeping over a page (searching) or a page flying
// from one folder to another (copying, deleting).
#pragma once

#include <QTimer>
#include <QWidget>

namespace tessaly {

enum class TCommonAVI {
  aviNone, aviFindFolder, aviFindFile, aviFindComputer, aviCopyFiles, aviCopyFile, aviRecycleFile,
  aviEmptyRecycle, aviDeleteFile
};

class FileAnimation : public QWidget {
  Q_OBJECT

 public:
  explicit FileAnimation(QWidget* parent = nullptr);

  void SetKind(TCommonAVI kind);
  TCommonAVI Kind() const { return kind_; }
  // Runs while the kind is not aviNone.
  void Start();
  void Stop();
  bool Active() const { return timer_.isActive(); }
  int Frame() const { return frame_; }

  static constexpr int kFrames = 32;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintSearch(QPainter& painter, double phase);
  void PaintTransfer(QPainter& painter, double phase);

  TCommonAVI kind_ = TCommonAVI::aviNone;
  QTimer timer_;
  int frame_ = 0;
};

}  // namespace tessaly
