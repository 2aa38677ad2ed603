// Comments on grid rows: asked with the input box, shown in the comment
// column, written to the sibling comments file at once (never to the log),
// applied again at the next opening. And closing an unsaved import.
#include "shell/untFile.h"

#include <QPointer>

#include <gtest/gtest.h>

#include "support/FileBytes.h"
#include "support/ShellTestHome.h"
#include "widgets/PainelGridOk.h"

namespace tessaly {
namespace {

using testing::ReadBytes;
using testing::ShellTestHome;
using testing::TempHome;

constexpr int kCommentColumn = 28;

class FileWindowComments : public ::testing::Test {
 protected:
  QPointer<TfrmFile> Open(const std::string& path) {
    QPointer<TfrmFile> window = new TfrmFile;
    window->InputQuery = [this](const QString& caption, const QString& prompt, QString& text) {
      asked_.push_back({caption, prompt, text});
      if (!answer_) return false;
      text = *answer_;
      return true;
    };
    window->show();
    window->SetFileName(path);
    return window;
  }

  struct Question {
    QString caption, prompt, text;
  };
  ShellTestHome home_{TempHome::Content::BuildDefaults};
  std::optional<QString> answer_;
  std::vector<Question> asked_;
};

TEST_F(FileWindowComments, CommentIsStoredUnderItsRowAndReappliedOnReopening) {
  const std::string log = home_.Sample("line01.kvl");
  const std::string before = ReadBytes(log);
  QPointer<TfrmFile> window = Open(log);
  answer_ = "buoy at 5";

  window->PainelGrid1AoClicar(5, kCommentColumn);

  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_EQ(asked_[0].caption, "Comment");
  EXPECT_EQ(asked_[0].prompt, "Comment:");
  EXPECT_EQ(asked_[0].text, "");
  EXPECT_EQ(window->PainelGrid1->GetCell(5, kCommentColumn), "buoy at 5");
  EXPECT_EQ(ReadBytes(home_.Sample("line01.cmt")), "5=buoy at 5\r\n");
  EXPECT_EQ(ReadBytes(log), before);
  delete window;

  QPointer<TfrmFile> again = Open(log);
  EXPECT_EQ(again->PainelGrid1->GetCell(5, kCommentColumn), "buoy at 5");
  EXPECT_EQ(again->PainelGrid1->GetCell(4, kCommentColumn), "");
  delete again;
}

TEST_F(FileWindowComments, SecondCommentOnARowReplacesTheFirstInPlace) {
  QPointer<TfrmFile> window = Open(home_.Sample("line04.zpx"));
  answer_ = "first";
  window->PainelGrid1AoClicar(3, kCommentColumn);
  answer_ = "other row";
  window->PainelGrid1AoClicar(7, kCommentColumn);
  answer_ = "second";
  window->PainelGrid1AoClicar(3, kCommentColumn);

  EXPECT_EQ(asked_.back().text, "first");  // the box starts with the cell's text
  EXPECT_EQ(ReadBytes(home_.Sample("line04.cmt")), "3=second\r\n7=other row\r\n");
  delete window;
}

TEST_F(FileWindowComments, CancelledInputChangesNothing) {
  QPointer<TfrmFile> window = Open(home_.Sample("line06.rtb"));
  answer_.reset();

  window->PainelGrid1AoClicar(2, kCommentColumn);

  EXPECT_EQ(asked_.size(), 1u);
  EXPECT_EQ(window->PainelGrid1->GetCell(2, kCommentColumn), "");
  EXPECT_FALSE(std::filesystem::exists(home_.Sample("line06.cmt")));
  delete window;
}

TEST_F(FileWindowComments, ClicksOutsideTheCommentColumnOrOnTheCaptionsAskNothing) {
  QPointer<TfrmFile> window = Open(home_.Sample("line01.kvl"));
  answer_ = "never";
  window->PainelGrid1AoClicar(5, 3);
  window->PainelGrid1AoClicar(0, kCommentColumn);
  EXPECT_TRUE(asked_.empty());
  delete window;
}

TEST_F(FileWindowComments, ALogWhoseCommentsNameWouldBeItselfIsNeverWritten) {
  // "survey.cmt" would be its own comments file: the comment is refused.
  const std::string log = home_.Path("survey.cmt");
  const std::string text = ReadBytes(home_.Sample("line01.kvl"));
  testing::WriteBytes(log, text);
  QPointer<TfrmFile> window = Open(log);
  ASSERT_NE(window->Document(), nullptr);
  answer_ = "must not land in the log";

  window->PainelGrid1AoClicar(2, kCommentColumn);

  EXPECT_EQ(ReadBytes(log), text);
  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Error");
  delete window;
}

TEST_F(FileWindowComments, UnwritableCommentsFileIsReported) {
  const std::string log = home_.Sample("line05.zpt");
  std::filesystem::create_directory(home_.Sample("line05.cmt"));  // a folder in the way
  QPointer<TfrmFile> window = Open(log);
  answer_ = "text";

  window->PainelGrid1AoClicar(2, kCommentColumn);

  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Error");
  delete window;
}

// ---- The files a window works on ----

TEST_F(FileWindowComments, FilesInUseAreTheLogAndItsCommentsFileBeforeAndAfterTheFirstComment) {
  TfrmFile empty;
  EXPECT_TRUE(empty.FilesInUse().empty());

  const std::string log = home_.Sample("line01.kvl");
  const std::vector<std::string> expected{log, home_.Sample("line01.cmt")};
  QPointer<TfrmFile> window = Open(log);
  EXPECT_EQ(window->FilesInUse(), expected);  // the comments file does not exist yet
  answer_ = "buoy";
  window->PainelGrid1AoClicar(5, kCommentColumn);
  EXPECT_EQ(window->FilesInUse(), expected);
  delete window;
}

TEST_F(FileWindowComments, ALogWithoutACommentsFileHoldsItselfOnly) {
  const std::string log = home_.Path("survey.cmt");  // would be its own comments file
  testing::WriteBytes(log, ReadBytes(home_.Sample("line01.kvl")));
  QPointer<TfrmFile> window = Open(log);
  EXPECT_EQ(window->FilesInUse(), std::vector<std::string>{log});
  delete window;
}

// ---- Closing an import ----

TEST_F(FileWindowComments, UnsavedImportAsksBeforeClosingAndCancelKeepsTheWindow) {
  QPointer<TfrmFile> window = Open(home_.Sample("line01.kvl"));
  window->SetImported(true);
  ShellTestHome::Answer(mrCancel);

  EXPECT_FALSE(window->close());
  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Confirmation");
  EXPECT_EQ(TMsgDlg::Calls()[0].Mensagem, "Save importation?");
  EXPECT_TRUE(TMsgDlg::Calls()[0].Botoes.Contains(TMsgDlgBtn::mbCancel));
  EXPECT_TRUE(window->isVisible());

  ShellTestHome::Answer(mrNo);
  EXPECT_TRUE(window->close());
  delete window;
}

TEST_F(FileWindowComments, YesSavesTheRawLinesToTheChosenFile) {
  QPointer<TfrmFile> window = Open(home_.Sample("line06.rtb"));
  window->SetImported(true);
  const std::string target = home_.Path("import.kv2");
  window->ChooseImportSaveFile = [&](QWidget*) { return QString::fromStdString(target); };
  ShellTestHome::Answer(mrYes);

  EXPECT_TRUE(window->close());

  const std::string saved = ReadBytes(target);
  const std::string original = ReadBytes(home_.Sample("line06.rtb"));
  EXPECT_EQ(saved, original.back() == '\n' ? original : original + "\r\n");
  delete window;
}

}  // namespace
}  // namespace tessaly
