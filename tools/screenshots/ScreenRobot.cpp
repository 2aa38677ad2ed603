#include "tools/screenshots/ScreenRobot.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QSpinBox>
#include <QTabBar>
#include <QTest>

#include <stdexcept>

#include "tools/screenshots/MenuCommands.h"
#include "widgets/PainelGridOk.h"

namespace tessaly::screenshots {

namespace {

constexpr int kTickMs = 50;
constexpr int kStepTimeoutMs = 10000;
constexpr int kDialogTimeoutMs = 30000;
// Time for repaints (the live windows show what arrived on a timer) before
// a picture is taken.
constexpr int kSettleMs = 400;

[[noreturn]] void Fail(const QString& why) { throw std::runtime_error(why.toStdString()); }

QString Word(const Step& step, std::size_t index) { return QString::fromStdString(step.words.at(index)); }

QString StepText(const Step& step) {
  QString text = QString::fromStdString(step.name);
  for (const std::string& word : step.words) text += ' ' + QString::fromStdString(word);
  return text;
}

QStringList Path(const Step& step) {
  QStringList path;
  for (const std::string& caption : MenuPath(step)) path << QString::fromStdString(caption);
  return path;
}

double Number(const Step& step, std::size_t index) {
  bool ok = false;
  const double value = Word(step, index).toDouble(&ok);
  if (!ok || value < 0) Fail("not a number of seconds: " + Word(step, index));
  return value;
}

// The class name without its namespace: "TrackPlot".
QString ClassName(const QObject& object) {
  const QString name = QString::fromLatin1(object.metaObject()->className());
  return name.mid(name.lastIndexOf(':') + 1);
}

template <typename Widget>
QList<Widget*> VisibleIn(const QWidget& window) {
  QList<Widget*> shown;
  for (Widget* widget : window.findChildren<Widget*>())
    if (widget->isVisible()) shown << widget;
  return shown;
}

QRect GlobalArea(const QWidget& widget) { return QRect(widget.mapToGlobal(QPoint(0, 0)), widget.size()); }

// The widget a label names: its buddy, its field in a form, else the one
// beside it or under it in a grid.
QWidget* LabelledWidget(const QWidget& window, const QLabel& label) {
  if (label.buddy()) return label.buddy();
  for (const QFormLayout* form : window.findChildren<QFormLayout*>()) {
    int row = -1;
    QFormLayout::ItemRole role{};
    form->getWidgetPosition(const_cast<QLabel*>(&label), &row, &role);
    if (row >= 0 && role == QFormLayout::LabelRole)
      if (QLayoutItem* item = form->itemAt(row, QFormLayout::FieldRole)) return item->widget();
  }
  for (const QGridLayout* grid : window.findChildren<QGridLayout*>()) {
    const int index = grid->indexOf(&label);
    if (index < 0) continue;
    int row = 0, column = 0, rows = 0, columns = 0;
    grid->getItemPosition(index, &row, &column, &rows, &columns);
    for (const QLayoutItem* item : {grid->itemAtPosition(row, column + 1), grid->itemAtPosition(row + 1, column)})
      if (item && item->widget() && !qobject_cast<QLabel*>(item->widget())) return item->widget();
  }
  return nullptr;
}

}  // namespace

ScreenRobot::ScreenRobot(QMainWindow& main, std::vector<Step> steps, Places places)
    : main_(main), steps_(std::move(steps)), places_(std::move(places)) {
  ticker_.setInterval(kTickMs);
  connect(&ticker_, &QTimer::timeout, this, &ScreenRobot::Tick);
}

ScreenRobot::~ScreenRobot() {
  for (QProcess* program : programs_) StopProgram(program);
}

void ScreenRobot::Start() { ticker_.start(); }

// One step a tick at most, so that what a step delivered is handled before
// the next step looks at the windows. The ticker also fires inside a
// dialog's own loop; busy_ keeps a tick from running inside another.
void ScreenRobot::Tick() {
  if (busy_ || finished_) return;
  busy_ = true;
  const Step& step = steps_.size() > next_ ? steps_[next_] : Step{};
  try {
    if (next_ < steps_.size()) {
      const bool first = !stepStarted_;
      if (first) {
        stepStarted_ = true;
        stepClock_.start();
      }
      if (Run(step, first)) {
        ++next_;
        stepStarted_ = false;
      } else if (stepClock_.elapsed() > TimeoutMs(step)) {
        Fail(QStringLiteral("still not done after %1 s%2").arg(TimeoutMs(step) / 1000).arg(WhatIsShown(step)));
      }
    }
    if (next_ == steps_.size()) Finish(0, QString());
  } catch (const std::exception& error) {
    Finish(1, QStringLiteral("line %1 (%2): %3").arg(step.line).arg(StepText(step), QString::fromUtf8(error.what())));
  }
  busy_ = false;
}

int ScreenRobot::TimeoutMs(const Step& step) const {
  if (step.name == "window" && step.words.size() > 1) return static_cast<int>(Number(step, 1) * 1000);
  if (step.name == "window" || step.name == "file") return kDialogTimeoutMs;
  if (step.name == "wait") return static_cast<int>(Number(step, 0) * 1000) + kStepTimeoutMs;
  return kStepTimeoutMs;
}

// What a waiting step could see instead of what it waited for.
QString ScreenRobot::WhatIsShown(const Step& step) const {
  QStringList shown;
  if (step.name == "window") {
    for (const QWidget* window : QApplication::topLevelWidgets())
      if (window->isVisible()) shown << '"' + window->windowTitle() + '"';
    for (const QMdiArea* area : main_.findChildren<QMdiArea*>())
      for (const QMdiSubWindow* frame : area->subWindowList()) shown << '"' + frame->windowTitle() + '"';
    return "; the windows shown: " + shown.join(", ");
  }
  if (step.name == "cell") return "; the grid has no row " + Word(step, 0);
  if (step.name == "action") return "; the command is disabled";
  if (step.name == "click" && current_) {
    for (const QAbstractButton* button : VisibleIn<QAbstractButton>(*current_))
      shown << '"' + PlainCaption(button->text().isEmpty() ? button->toolTip() : button->text()) + '"' +
                   (button->isEnabled() ? "" : " (disabled)");
    return "; the buttons shown: " + shown.join(", ");
  }
  return QString();
}

// A failed run leaves a picture of the screen as it was, to see why.
void ScreenRobot::Finish(int status, const QString& message) {
  finished_ = true;
  ticker_.stop();
  if (status != 0)
    QGuiApplication::primaryScreen()->grabWindow(0).save(QDir(places_.pictures).filePath(kFailurePicture), "PNG");
  for (QProcess* program : programs_) StopProgram(program);
  programs_.clear();
  emit Finished(status, message);
}

bool ScreenRobot::Run(const Step& step, bool first) {
  const std::string& name = step.name;
  if (name == "menu") return RunMenu(step);
  if (name == "show-menu") ShowMenu(step);
  else if (name == "window") return RunWindow(step);
  else if (name == "click") return RunClick(step);
  else if (name == "type") RunType(step);
  else if (name == "choose") RunChoose(step);
  else if (name == "file") return RunFile(step);
  else if (name == "key") RunKey(step);
  else if (name == "action") return RunAction(step);
  else if (name == "tab") RunTab(step);
  else if (name == "cell") return RunCell(step);
  else if (name == "maximize") CurrentFrame()->showMaximized();
  else if (name == "close") RunClose();
  else if (name == "wait") return stepClock_.elapsed() >= Number(step, 0) * 1000;
  else if (name == "spawn") return RunSpawn(step, first);
  else if (name == "stop") RunStop(step);
  else if (name == "shot") return RunShot(step);
  return true;
}

// ---- Menus ----

// A command that is disabled now may be enabled once a window has loaded.
bool ScreenRobot::RunMenu(const Step& step) {
  QAction* command = FindMenuCommand(*main_.menuBar(), Path(step));
  if (!command) Fail("the menus have no such command");
  if (command->menu()) Fail("that is a menu, not a command");
  if (!command->isEnabled()) return false;
  QTimer::singleShot(0, command, &QAction::trigger);
  return true;
}

// Opens the menu bar's menu, then each submenu beside its entry, as the
// pointer resting on them would.
void ScreenRobot::ShowMenu(const Step& step) {
  const QStringList path = Path(step);
  QAction* top = FindMenuCommand(*main_.menuBar(), path.mid(0, 1));
  if (!top || !top->menu()) Fail("the menu bar has no menu " + path.front());
  main_.menuBar()->setActiveAction(top);
  QMenu* menu = top->menu();
  for (qsizetype depth = 2; depth <= path.size(); ++depth) {
    QAction* entry = FindMenuCommand(*main_.menuBar(), path.mid(0, depth));
    if (!entry) Fail("the menus have no entry " + PathText(path.mid(0, depth)));
    menu->setActiveAction(entry);
    if (!entry->menu()) break;
    entry->menu()->popup(menu->mapToGlobal(menu->actionGeometry(entry).topRight()));
    menu = entry->menu();
  }
}

// ---- Windows ----

// The newest shown window of the title (a title ending in "*": of a title
// that starts so): a window of its own, or one inside the main window.
bool ScreenRobot::RunWindow(const Step& step) {
  const QString title = Word(step, 0);
  const auto matches = [&title](const QWidget& window) {
    return title.endsWith('*') ? window.windowTitle().startsWith(title.chopped(1)) : window.windowTitle() == title;
  };
  QWidget* found = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible() && matches(*window)) found = window;
  for (const QMdiArea* area : main_.findChildren<QMdiArea*>())
    for (QMdiSubWindow* frame : area->subWindowList(QMdiArea::CreationOrder))
      if (frame->isVisible() && frame->widget() && matches(*frame->widget())) found = frame->widget();
  if (!found) return false;
  current_ = found;
  if (auto* frame = qobject_cast<QMdiSubWindow*>(found->parentWidget())) {
    frame->mdiArea()->setActiveSubWindow(frame);
  } else {
    found->raise();
    found->activateWindow();
  }
  return true;
}

QWidget& ScreenRobot::Current() const {
  if (!current_) Fail("no current window: a \"window\" step names it");
  return *current_;
}

QWidget* ScreenRobot::CurrentFrame() const {
  QWidget& window = Current();
  if (auto* frame = qobject_cast<QMdiSubWindow*>(window.parentWidget())) return frame;
  return &window;
}

void ScreenRobot::RunClose() {
  QTimer::singleShot(0, CurrentFrame(), &QWidget::close);
  current_ = nullptr;
}

// ---- Controls ----

bool ScreenRobot::RunClick(const Step& step) {
  const QString caption = Word(step, 0);
  QList<QAbstractButton*> matches;
  for (QAbstractButton* button : VisibleIn<QAbstractButton>(Current()))
    if (PlainCaption(button->text()) == caption || (button->text().isEmpty() && button->toolTip() == caption))
      matches << button;
  if (matches.size() > 1) Fail("more than one button shows that caption");
  if (matches.isEmpty() || !matches.front()->isEnabled()) return false;
  QTimer::singleShot(0, matches.front(), &QAbstractButton::click);
  return true;
}

QWidget* ScreenRobot::Field(const QString& field) const {
  QWidget& window = Current();
  for (QWidget* widget : window.findChildren<QWidget*>(field))
    if (widget->isVisible()) return widget;
  for (const QLabel* label : VisibleIn<QLabel>(window))
    if (PlainCaption(label->text()) == field)
      if (QWidget* widget = LabelledWidget(window, *label)) return widget;
  Fail("the window has no field " + field);
}

void ScreenRobot::RunType(const Step& step) {
  QWidget* field = Field(Word(step, 0));
  const QString text = Word(step, 1);
  if (auto* edit = qobject_cast<QLineEdit*>(field)) {
    edit->setText(text);
  } else if (auto* box = qobject_cast<QComboBox*>(field); box && box->isEditable()) {
    box->setEditText(text);
  } else if (auto* spin = qobject_cast<QSpinBox*>(field)) {
    spin->setValue(text.toInt());
  } else {
    Fail("that field takes no typing");
  }
}

void ScreenRobot::RunChoose(const Step& step) {
  auto* box = qobject_cast<QComboBox*>(Field(Word(step, 0)));
  if (!box) Fail("that field is no list box");
  const int index = box->findText(Word(step, 1));
  if (index < 0) Fail("the list box has no item " + Word(step, 1));
  box->setCurrentIndex(index);
  emit box->activated(index);
  emit box->textActivated(box->itemText(index));
}

// Both the open and the save dialogs: the folder is opened and the name
// typed into the name box, as a user does.
bool ScreenRobot::RunFile(const Step& step) {
  QFileDialog* dialog = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (auto* shown = qobject_cast<QFileDialog*>(window); shown && shown->isVisible()) dialog = shown;
  if (!dialog) return false;
  auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  if (!name) Fail("the file dialog has no name box");
  const QFileInfo file(InHome(Word(step, 0)));
  dialog->setDirectory(file.absolutePath());
  name->setText(file.fileName());
  QTimer::singleShot(0, dialog, &QDialog::accept);
  return true;
}

// Keys go where a user's would: to the open menu, else the focus of the
// current window.
void ScreenRobot::RunKey(const Step& step) {
  const QKeySequence sequence = QKeySequence::fromString(Word(step, 0));
  if (sequence.isEmpty()) Fail("no such key");
  QWidget* target = QApplication::activePopupWidget();
  if (!target) {
    QWidget& window = Current();
    target = window.focusWidget() ? window.focusWidget() : &window;
  }
  const QKeyCombination key = sequence[0];
  const int times = step.words.size() > 1 ? static_cast<int>(Number(step, 1)) : 1;
  QTimer::singleShot(0, target, [target = QPointer<QWidget>(target), key, times] {
    for (int i = 0; i < times && target; ++i) QTest::keyClick(target, key.key(), key.keyboardModifiers());
  });
}

// A command that is disabled now may be enabled once what it needs has
// arrived (a GPS fix, a loaded log).
bool ScreenRobot::RunAction(const Step& step) {
  for (QAction* action : Current().findChildren<QAction*>())
    if (PlainCaption(action->text()) == Word(step, 0)) {
      if (!action->isEnabled()) return false;
      QTimer::singleShot(0, action, &QAction::trigger);
      return true;
    }
  Fail("the window has no such command");
}

void ScreenRobot::RunTab(const Step& step) {
  QList<QPair<QTabBar*, int>> matches;
  for (QTabBar* bar : VisibleIn<QTabBar>(Current()))
    for (int index = 0; index < bar->count(); ++index)
      if (PlainCaption(bar->tabText(index)) == Word(step, 0)) matches.append({bar, index});
  if (matches.isEmpty()) Fail("the window shows no such tab");
  if (matches.size() > 1) Fail("more than one tab shows that caption");
  matches.front().first->setCurrentIndex(matches.front().second);
}

// The row ("last": the newest shown) is scrolled into view first, so that
// a picture shows it. A row not there yet (records still arriving) is
// waited for.
bool ScreenRobot::RunCell(const Step& step) {
  const QList<TPainelGridOk*> grids = VisibleIn<TPainelGridOk>(Current());
  if (grids.size() != 1) Fail("the window does not show one grid");
  TPainelGridOk* grid = grids.front();
  const int rows = grid->InformacaoGrid().QtdLinhas();
  int row = -1;
  if (Word(step, 0) == "last") {
    for (row = rows - 1; row > 0 && grid->GetCell(row, 0).empty(); --row) {
    }
  } else {
    row = Word(step, 0).toInt();
  }
  if (row < 1 || row >= rows || grid->GetCell(row, 0).empty()) return false;
  int column = -1;
  for (int c = 0; c < grid->InformacaoGrid().QtdColunas() && column < 0; ++c)
    if (QString::fromUtf8(grid->GetCell(0, c)).compare(Word(step, 1), Qt::CaseInsensitive) == 0) column = c;
  if (column < 0) Fail("the grid has no column " + Word(step, 1));
  grid->SelectRow(row, true);
  QTimer::singleShot(0, grid, [grid = QPointer<TPainelGridOk>(grid), row, column] {
    if (grid && grid->AoClicar) grid->AoClicar(row, column);
  });
  return true;
}

// ---- Programs ----

QString ScreenRobot::InHome(const QString& path) const { return QDir(places_.home).absoluteFilePath(path); }

bool ScreenRobot::RunSpawn(const Step& step, bool first) {
  const QString name = Word(step, 0);
  if (first) {
    if (programs_.contains(name)) Fail("a program called " + name + " is running");
    QString program = Word(step, 1);
    if (!program.contains('/')) program = QDir(places_.programs).filePath(program);
    QStringList arguments;
    for (std::size_t i = 2; i < step.words.size(); ++i)
      arguments << Word(step, i).replace(QStringLiteral("{home}"), QDir(places_.home).absolutePath());
    auto* process = new QProcess(this);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(program, arguments);
    programs_.insert(name, process);
  }
  QProcess* process = programs_.value(name);
  if (process->canReadLine()) {
    // What it prints later (a new device after a hang-up) is read and let go.
    connect(process, &QProcess::readyReadStandardOutput, process, [process] { process->readAllStandardOutput(); });
    process->readAllStandardOutput();
    return true;
  }
  if (process->state() == QProcess::NotRunning) {
    programs_.remove(name);
    process->deleteLater();
    Fail(name + " ended before it printed its first line");
  }
  return false;
}

void ScreenRobot::RunStop(const Step& step) {
  QProcess* process = programs_.take(Word(step, 0));
  if (!process) Fail("no program called " + Word(step, 0) + " is running");
  StopProgram(process);
}

void ScreenRobot::StopProgram(QProcess* program) {
  program->terminate();
  if (!program->waitForFinished(5000)) {
    program->kill();
    program->waitForFinished(1000);
  }
  program->deleteLater();
}

// ---- Pictures ----

bool ScreenRobot::RunShot(const Step& step) {
  if (stepClock_.elapsed() < kSettleMs) return false;
  const QRect area = ShotArea(step);
  QScreen* screen = QGuiApplication::primaryScreen();
  const QPixmap picture = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
  const QString path = QDir(places_.pictures).filePath(Word(step, 0) + ".png");
  if (picture.isNull() || !picture.save(path, "PNG")) Fail("could not write " + path);
  return true;
}

QRect ScreenRobot::ShotArea(const Step& step) const {
  const QString target = step.words.size() > 1 ? Word(step, 1) : QString();
  if (target.isEmpty()) {
    QWidget* frame = CurrentFrame();
    if (frame->isWindow()) return frame->frameGeometry();
    return GlobalArea(*frame);
  }
  if (target == "screen") return QGuiApplication::primaryScreen()->geometry();
  if (target == "menus") {
    QRect area = GlobalArea(*main_.menuBar());
    bool open = false;
    for (QWidget* window : QApplication::topLevelWidgets())
      if (qobject_cast<QMenu*>(window) && window->isVisible()) {
        area |= window->geometry();
        open = true;
      }
    if (!open) Fail("no menu is open");
    return area;
  }
  QWidget* part = nullptr;
  for (QWidget* widget : VisibleIn<QWidget>(Current()))
    if (widget->objectName() == target || ClassName(*widget) == target) {
      if (part) Fail("more than one part of the window is " + target);
      part = widget;
    }
  if (!part) Fail("the window shows no " + target);
  return GlobalArea(*part);
}

}  // namespace tessaly::screenshots
