// ScreenRobot: runs the steps of a steps file (ScreenshotSteps.h) on the
// program's own windows, inside its own event loop, and saves the pictures
// the "shot" steps take.
//
// Every step names what a user sees: a menu path, a window title, a
// button's caption, a field's label. A command, a click or a key is
// delivered from the event loop, never from the step itself, so a modal
// dialog it opens runs its own loop while the next steps go on (answering
// the dialog, taking its picture). A step that waits (for a window, a file
// dialog, an enabled button, a started program) is asked again every 50 ms
// until its time is up; then the run fails, naming the line and what was
// missing, and leaves a picture of the screen (kFailurePicture). A picture is taken from the screen, so what lies on top (a
// menu, a dialog) is in it as the user would see it.
#pragma once

#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <vector>

#include "tools/screenshots/ScreenshotSteps.h"

class QMainWindow;
class QProcess;
class QRect;
class QWidget;

namespace tessaly::screenshots {

class ScreenRobot : public QObject {
  Q_OBJECT

 public:
  struct Places {
    QString home;      // relative paths of the steps start here (the program's home)
    QString pictures;  // where NAME.png goes
    QString programs;  // where a program named without a folder is
  };

  // The screen when a step failed, saved beside the pictures.
  static constexpr const char* kFailurePicture = "failed-step.png";

  ScreenRobot(QMainWindow& main, std::vector<Step> steps, Places places);
  // Ends every program the steps started and left running.
  ~ScreenRobot() override;

  // Runs the steps from the first, on the event loop.
  void Start();

 signals:
  // The run ended: status 0 when every step ran, else 1 and why.
  void Finished(int status, const QString& message);

 private:
  void Tick();
  // Does the step (first: the first time it is asked); false while it
  // waits. Throws std::runtime_error when it cannot be done.
  bool Run(const Step& step, bool first);
  int TimeoutMs(const Step& step) const;
  QString WhatIsShown(const Step& step) const;
  void Finish(int status, const QString& message);

  bool RunMenu(const Step& step);
  void ShowMenu(const Step& step);
  bool RunWindow(const Step& step);
  bool RunClick(const Step& step);
  void RunType(const Step& step);
  void RunChoose(const Step& step);
  bool RunFile(const Step& step);
  void RunKey(const Step& step);
  bool RunAction(const Step& step);
  void RunTab(const Step& step);
  bool RunCell(const Step& step);
  void RunClose();
  bool RunSpawn(const Step& step, bool first);
  void RunStop(const Step& step);
  bool RunShot(const Step& step);

  QWidget& Current() const;
  QWidget* CurrentFrame() const;  // the current window's frame: its sub-window in the main window, or itself
  QWidget* Field(const QString& field) const;
  QRect ShotArea(const Step& step) const;
  QString InHome(const QString& path) const;
  void StopProgram(QProcess* program);

  QMainWindow& main_;
  std::vector<Step> steps_;
  Places places_;
  std::size_t next_ = 0;
  bool stepStarted_ = false;
  bool busy_ = false;
  bool finished_ = false;
  QElapsedTimer stepClock_;  // since the current step was first asked
  QTimer ticker_;
  QPointer<QWidget> current_;
  QMap<QString, QProcess*> programs_;
};

}  // namespace tessaly::screenshots
