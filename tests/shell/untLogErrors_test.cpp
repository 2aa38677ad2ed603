#include "shell/untLogErrors.h"

#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tessaly {
namespace {

std::vector<std::string> TwoEntries() {
  return {"1 - Invalid Sounder value", "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,7x.4", "Line: 10", "",
          "2 - Invalid Header", "$KVMGX,+00042,4418.000,N,06318.000,W,25.3,78.4", "Line: 12", ""};
}

std::string ReadAll(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(LogErrorsWindow, ListsEveryErrorLineOnTopWithItsCaption) {
  QWidget owner;
  auto* window = new TfrmLogErrors(&owner, TwoEntries());
  window->show();

  EXPECT_EQ(window->windowTitle(), "Errors");
  EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(window->isModal());
  const QAbstractItemModel* model = window->lsbErrors->model();
  ASSERT_EQ(model->rowCount(), 8);
  EXPECT_EQ(model->index(0, 0).data().toString(), "1 - Invalid Sounder value");
  EXPECT_EQ(model->index(6, 0).data().toString(), "Line: 12");
  window->close();
}

TEST(LogErrorsWindow, SaveWritesTheLinesWithCrLfToTheChosenFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath("errors.txt");
  {
    std::ofstream old(path.toStdString());
    old << "old content that must go\n";
  }
  auto* window = new TfrmLogErrors(nullptr, TwoEntries());
  window->ChooseSaveFile = [&](QWidget*) { return path; };

  QTest::mouseClick(window->btnSave, Qt::LeftButton);

  EXPECT_EQ(ReadAll(path),
            "1 - Invalid Sounder value\r\n$KVMGD,+00042,4418.000,N,06318.000,W,25.3,7x.4\r\nLine: 10\r\n\r\n"
            "2 - Invalid Header\r\n$KVMGX,+00042,4418.000,N,06318.000,W,25.3,78.4\r\nLine: 12\r\n\r\n");
  window->close();
}

TEST(LogErrorsWindow, DismissedSaveDialogWritesNothingAndAFailedWriteIsReported) {
  QTemporaryDir dir;
  auto* window = new TfrmLogErrors(nullptr, TwoEntries());
  QStringList shown;
  window->ShowError = [&](const QString& message) { shown << message; };

  window->ChooseSaveFile = [](QWidget*) { return QString(); };
  QTest::mouseClick(window->btnSave, Qt::LeftButton);
  EXPECT_TRUE(shown.isEmpty());
  EXPECT_TRUE(QDir(dir.path()).isEmpty());

  window->ChooseSaveFile = [&](QWidget*) { return dir.filePath("no/such/folder/errors.txt"); };
  QTest::mouseClick(window->btnSave, Qt::LeftButton);
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown.front().contains("errors.txt"));
  window->close();
}

TEST(LogErrorsWindow, SaveNeverReplacesASurveyLog) {
  QTemporaryDir dir;
  const QString log = dir.filePath("line.kvl");
  const std::string logBytes = "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4\r\n";
  {
    std::ofstream out(log.toStdString(), std::ios::binary);
    out << logBytes;
  }
  auto* window = new TfrmLogErrors(nullptr, TwoEntries());
  QStringList shown;
  window->ShowError = [&](const QString& message) { shown << message; };
  window->ChooseSaveFile = [&](QWidget*) { return log; };
  QTest::mouseClick(window->btnSave, Qt::LeftButton);
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown.front().contains("a survey log")) << shown.front().toStdString();
  EXPECT_EQ(ReadAll(log), logBytes);
  window->close();
}

TEST(LogErrorsWindow, IsASnapshotAndIsDestroyedWhenClosed) {
  std::vector<std::string> errors = TwoEntries();
  QPointer<TfrmLogErrors> window = new TfrmLogErrors(nullptr, errors);
  errors.push_back("3 - later error");
  EXPECT_EQ(window->lsbErrors->model()->rowCount(), 8);

  window->show();
  QTest::mouseClick(window->btnClose, Qt::LeftButton);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}

}  // namespace
}  // namespace tessaly
