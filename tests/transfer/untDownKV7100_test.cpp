// The download window: its layout, the file choice and Lib/Download.ega, the
// refusals before a start, and whole downloads from tessaly-sim dump in both
// forms: the end line, the idle end, Cancel, the question at the end and
// closing mid-download.
#include "transfer/untDownKV7100.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <filesystem>

#include "core/DataStringFormat.h"
#include "core/SettingsStore.h"
#include "shell/untTFileForm.h"
#include "transfer/DownloadTestBench.h"

namespace tessaly {
namespace {

using DownloadWindow = testing::DownloadBench;
using testing::ReadBytes;
using testing::WriteBytes;

bool Idle(const TfrmDownKV7100& window) {
  return window.btnDownload->isEnabled() && window.btnClose->isEnabled() && !window.btnCancel->isEnabled() &&
         !window.Receiving();
}

TEST_F(DownloadWindow, LayoutCaptionsAndTheCommandItHolds) {
  TfrmDownKV7100* window = Window();
  EXPECT_EQ(window->windowTitle(), "Download KV7100");
  EXPECT_EQ(window->size(), QSize(491, 181));
  EXPECT_FALSE(window->windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_EQ(window->rdgImportType->title(), "Download Type");
  QStringList items;
  for (auto* radio : window->rdgImportType->findChildren<QRadioButton*>()) items << radio->text();
  EXPECT_EQ(items, QStringList({"Graphic", "Data String"}));
  EXPECT_EQ(window->ItemIndex(), 1);
  EXPECT_EQ(window->btnDownload->text(), "&Download");
  EXPECT_EQ(window->btnCancel->text(), "C&ancel");
  EXPECT_TRUE(Idle(*window));
  EXPECT_EQ(window->Label1->text(), "Entries:");
  EXPECT_EQ(window->rxglsReading->text(), "Reading ");
  EXPECT_TRUE(window->rxglsReading->font().bold());
  EXPECT_EQ(window->rzglsWating->text(), "Waiting for Data ...");
  for (QWidget* hidden : std::initializer_list<QWidget*>{window->rxglsReading, window->rzglsDownload,
                                                          window->rzglsWating, window->prbReading})
    EXPECT_TRUE(hidden->isHidden());
  EXPECT_EQ(window->prbReading->maximum(), 50);
  EXPECT_EQ(window->Timer1->interval(), TfrmDownKV7100::kStepMs);
  EXPECT_FALSE(window->Timer1->isActive());

  EXPECT_FALSE(acKV7100_.isEnabled());
  window->close();
  Settle();
  EXPECT_TRUE(window_.isNull());
  EXPECT_TRUE(acKV7100_.isEnabled());

  Window();
  EXPECT_FALSE(acKV7100_.isEnabled());
  delete window_;  // destroyed without closing
  EXPECT_TRUE(acKV7100_.isEnabled());
}

TEST_F(DownloadWindow, SaveDialogFollowsTheDownloadTypeAndStartsInProjects) {
  std::vector<QStringList> asked;
  QString answer = QString::fromStdString(home_.Path("Projects/dump.kvg"));
  Window()->ChooseSaveFile = [&](QWidget*, const QString& folder, const QString& filter, const QString& extension) {
    asked.push_back({folder, filter, extension});
    return answer;
  };
  Window()->SetItemIndex(0);
  Window()->spbFolder->click();
  EXPECT_EQ(Window()->edtFile2Save->text(), answer);
  Window()->SetItemIndex(1);
  answer.clear();  // dismissed: the edit box keeps its path
  Window()->spbFolderClick();
  EXPECT_EQ(Window()->edtFile2Save->text().toStdString(), home_.Path("Projects/dump.kvg"));
  const QString projects = QString::fromStdString(home_.Path("Projects"));
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0], QStringList({projects, "KV7100 Graphic|*.kvg", "kvg"}));
  EXPECT_EQ(asked[1], QStringList({projects, "KV7100 Data String|*.kvs", "kvs"}));
}

TEST_F(DownloadWindow, ActivationReadsTheLastPathAndReplacesWhatWasTyped) {
  Window()->edtFile2Save->setText("typed");
  Window()->FormActivate();
  EXPECT_EQ(Window()->edtFile2Save->text(), "typed");  // no Download.ega yet

  WriteDownloadPath(home_.Lib("Download.ega"), "/survey/day 2/line7.kvs");
  Window()->show();
  Window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Window()));
  EXPECT_EQ(Window()->edtFile2Save->text(), "/survey/day 2/line7.kvs");
}

TEST_F(DownloadWindow, NoFileOrAWildcardNameIsRefused) {
  for (const std::string& path : {std::string(), home_.Path("Projects/*.kvs")}) {
    TMsgDlg::ClearCalls();
    Download(path);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Mensagem, "First select the file to save.");
    EXPECT_EQ(Messages()[0].Caption, "Warning");
    EXPECT_TRUE(Idle(*Window()));
  }
  EXPECT_FALSE(std::filesystem::exists(home_.Lib("Download.ega")));
}

TEST_F(DownloadWindow, AnExistingFileIsReplacedOnlyOnYes) {
  const std::string path = home_.Path("old.kvs");
  WriteBytes(path, "recorded yesterday");
  for (int answer : {mrNo, mrCancel}) {
    TMsgDlg::ClearCalls();
    Answer({answer});
    Download(path);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Mensagem.toStdString(), path + " already exists.\rDo you want to replace it?");
    EXPECT_EQ(Messages()[0].Botoes, TMsgDlgButtons({TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbCancel}));
    EXPECT_TRUE(Idle(*Window()));
  }
  EXPECT_EQ(ReadBytes(path), "recorded yesterday");

  StartDump(Survey("kvs", 3, 1));
  Answer({mrYes, mrCancel});
  Download(path);
  EXPECT_TRUE(Window()->Receiving());
  RunUntilEnded();
  EXPECT_EQ(ReadBytes(path), FormatDataString(Sent()));
}

// The port is opened before the file is made: a port that cannot be opened
// leaves the existing file as it was. The error is shown once and the window
// is idle with nothing held.
TEST_F(DownloadWindow, APortThatCannotBeOpenedLeavesTheFileAndTheWindowIdle) {
  const std::string path = home_.Path("old.kvg");
  WriteBytes(path, "recorded yesterday");
  Answer({mrYes});
  Download(path);  // no simulator: the device does not exist
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_EQ(Messages()[1].Caption, "Error");
  EXPECT_NE(Messages()[1].Mensagem.indexOf(QString::fromStdString(home_.Path("tty1"))), -1);
  EXPECT_TRUE(Idle(*Window()));
  EXPECT_EQ(AppContext::Instance().PortOwner(), nullptr);
  EXPECT_EQ(ReadBytes(path), "recorded yesterday");
  EXPECT_EQ(ReadDownloadPath(home_.Lib("Download.ega")), path);  // rewritten at the click
}

// The reason is said plainly: it is no fault of the program to report.
TEST_F(DownloadWindow, AFileThatCannotBeCreatedClosesThePortAgain) {
  WriteBytes(home_.Path("plain"), "a file, not a folder");
  StartDump(Survey("kvs", 3, 2));
  Download(home_.Path("plain/dump.kvs"));
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Caption, "Error");
  EXPECT_EQ(Messages()[0].Mensagem.toStdString(), "Cannot create the folder " + home_.Path("plain"));
  EXPECT_TRUE(Idle(*Window()));
  EXPECT_FALSE(comm_.Active());
  EXPECT_EQ(AppContext::Instance().PortOwner(), nullptr);
}

TEST_F(DownloadWindow, RefusedWhileALoggingWindowHoldsThePort) {
  QWidget logging;
  logging.setWindowTitle("KV7100 Log - line7.KVL");
  ASSERT_TRUE(AppContext::Instance().ClaimPort(&logging));
  Download(home_.Path("dump.kvs"));
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Mensagem, "The serial port is in use by \"KV7100 Log - line7.KVL\". Stop it there first.");
  EXPECT_TRUE(Idle(*Window()));
  EXPECT_FALSE(std::filesystem::exists(home_.Path("dump.kvs")));
  EXPECT_EQ(AppContext::Instance().PortOwner(), &logging);
}

// A log open in a window, or its comments file, is never written over.
TEST_F(DownloadWindow, RefusedForAFileAnOpenLogWindowWorksOn) {
  const std::string log = home_.Path("line7.kvs");
  WriteBytes(log, "a survey line");
  TfrmTypeFile open;
  open.setWindowTitle("KV7100 Data String mode - line7.kvs");
  open.SetNewFile(true);
  open.SetFileName(log);
  for (const std::string& path : {log, home_.Path("line7.cmt"), home_.Path("./line7.kvs")}) {
    TMsgDlg::ClearCalls();
    Answer({mrYes});
    Download(path);
    ASSERT_EQ(Messages().size(), 1u) << path;
    EXPECT_EQ(Messages()[0].Mensagem.toStdString(),
              "The download file " + path + " is in use by \"KV7100 Data String mode - line7.kvs\"; nothing was written.");
    EXPECT_TRUE(Idle(*Window()));
  }
  EXPECT_EQ(ReadBytes(log), "a survey line");
  EXPECT_FALSE(std::filesystem::exists(home_.Path("line7.cmt")));
}

// Both forms at both rates: the Graphic file is what was sent, the Data
// String file one reformatting of it, with the entry count; the end line
// ends the download with the question, and Yes or Cancel leave the folder
// and a wildcard in the edit box.
struct FormCase {
  const char* kind;
  int baud;
  int records;
  int answer;
};

class DownloadForms : public DownloadWindow, public ::testing::WithParamInterface<FormCase> {};

TEST_P(DownloadForms, TheFileHoldsWhatWasSentInTheChosenForm) {
  const FormCase form = GetParam();
  const bool graphic = std::string(form.kind) == "kvg";
  SetBaud(form.baud);
  StartDump(Survey(form.kind, form.records, 3), {"--split", "0.5", "--seed", "7"});
  int logged = 0;
  comm_.OnRxChar = [&](TVaComm*, int) { ++logged; };  // a logging window's handler
  const std::string path = home_.Path(std::string("Projects/new folder/line.") + form.kind);
  Window()->SetItemIndex(graphic ? 0 : 1);
  Answer({form.answer});
  Download(path);
  EXPECT_EQ(AppContext::Instance().PortOwner(), Window());
  RunUntilEnded();
  const std::string sent = Sent();

  EXPECT_EQ(ReadBytes(path), graphic ? sent : FormatDataString(sent));
  EXPECT_EQ(Window()->lblCount->text().toStdString(),
            graphic ? "" : std::to_string(CountEntries(FormatDataString(sent))));
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Mensagem, "Do you want to download other file?");
  EXPECT_EQ(Messages()[0].Botoes, TMsgDlgButtons({TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbCancel}));
  EXPECT_TRUE(Idle(*Window()));
  EXPECT_TRUE(Window()->prbReading->isHidden());
  EXPECT_FALSE(comm_.Active());
  EXPECT_EQ(AppContext::Instance().PortOwner(), nullptr);
  EXPECT_EQ(logged, 0);
  EXPECT_EQ(Window()->edtFile2Save->text().toStdString(), home_.Path("Projects/new folder/*.") + form.kind);
  EXPECT_TRUE(opened_.empty());
  EXPECT_EQ(ReadDownloadPath(home_.Lib("Download.ega")), path);
}

INSTANTIATE_TEST_SUITE_P(BothFormsBothRates, DownloadForms,
                         ::testing::Values(FormCase{"kvg", 115200, 400, mrYes}, FormCase{"kvs", 115200, 400, mrCancel},
                                           FormCase{"kvg", 9600, 12, mrCancel}, FormCase{"kvs", 9600, 12, mrYes}));

TEST_F(DownloadWindow, NoAtTheQuestionOpensTheFileAndClosesTheWindow) {
  StartDump(Survey("kvs", 5, 4));
  Answer({mrNo});
  const std::string path = home_.Path("line.kvs");
  Download(path);
  RunUntilEnded();
  Settle();
  EXPECT_TRUE(window_.isNull());
  EXPECT_EQ(opened_, std::vector<std::string>{path});
  EXPECT_TRUE(acKV7100_.isEnabled());
}

// Without the end line the download ends about two seconds after the last
// character, with everything received written.
TEST_F(DownloadWindow, SilenceEndsTheDownloadAfterAboutTwoSeconds) {
  SetBaud(115200);
  StartDump(Survey("kvg", 30, 5), {"--no-end-line"});
  Window()->SetItemIndex(0);
  Answer({mrCancel});
  const std::string path = home_.Path("line.kvg");
  Download(path);
  // The simulator ends once the window's side has taken the last byte.
  const std::string sent = Sent();
  ASSERT_TRUE(Window()->Receiving());
  const qint64 silence = RunUntilEnded();
  RecordProperty("silence_ms", static_cast<int>(silence));
  EXPECT_GT(silence, 1500);
  EXPECT_LT(silence, 5000);  // steps run late on a busy machine, never early
  EXPECT_EQ(ReadBytes(path), sent);
  EXPECT_EQ(sent.find(kDataSetEndLine), std::string::npos);
  // Not the question of a finished data set: what came, and where it is.
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Mensagem.toStdString(),
            "The data set ended without \"** End of data set **\": nothing more came after " +
                std::to_string(std::count(sent.begin(), sent.end(), '\n')) + " lines. What was received is kept in " +
                path + ".");
  EXPECT_EQ(Messages()[0].Botoes, TMsgDlgButtons({TMsgDlgBtn::mbOK}));
  EXPECT_TRUE(opened_.empty());
  EXPECT_EQ(Window()->edtFile2Save->text().toStdString(), home_.Path("*.kvg"));
}

// The instrument's device goes away while the data set comes (records in
// flight, one cut short): the next step ends the download, without waiting
// for the idle rule, and says so with what was received; the file holds
// what the port read before it went, at least all that came before the
// records in flight. Steps are run by hand, so no idle end can come first.
class DownloadPortLoss : public DownloadWindow, public ::testing::WithParamInterface<const char*> {};

TEST_P(DownloadPortLoss, EndsAtOnceAndSaysHowMuchCame) {
  const std::string kind = GetParam();
  const bool graphic = kind == "kvg";
  SetBaud(115200);
  StartDump(Survey(kind, 40, 12), {"--hangup-after", "20", "--hangup-ms", "600000", "--hangup-in-flight"});
  Window()->SetItemIndex(graphic ? 0 : 1);
  const std::string path = home_.Path("lost." + kind);
  Download(path);
  Window()->Timer1->stop();
  ASSERT_TRUE(Window()->Receiving());
  QElapsedTimer timer;
  timer.start();
  while (comm_.Active() && timer.elapsed() < 20000) QTest::qWait(5);
  ASSERT_FALSE(comm_.Active()) << "the device did not go away";
  const std::vector<simtest::SentEvent> events = simtest::ReadSentReport(home_.Path("sent.txt"));
  ASSERT_EQ(simtest::CountEvents(events, 'H'), 1u);
  std::string sent;
  std::size_t beforeFlight = 0;
  for (const simtest::SentEvent& event : events) {
    if (event.tag == 'H') break;
    if (event.tag == 'F') beforeFlight = sent.size();
    sent += simtest::EventBytes(event);
  }

  Window()->ProcessReceived();
  EXPECT_TRUE(Idle(*Window()));
  const std::string written = ReadBytes(path);
  std::size_t taken = beforeFlight;  // the bytes of the set the file holds
  while (taken <= sent.size() && written != (graphic ? sent.substr(0, taken) : FormatDataString(sent.substr(0, taken))))
    ++taken;
  ASSERT_LE(taken, sent.size()) << "the file is not what came before the device went: " << written;
  const auto count = [&](const std::string& chars) {
    return std::to_string(std::count_if(written.begin(), written.end(),
                                        [&](char c) { return chars.find(c) != std::string::npos; }));
  };
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Mensagem.toStdString(),
            "The serial port was lost during the download: the device went away after " +
                (graphic ? count("\n") + " lines" : count("+-") + " entries") +
                ", before \"** End of data set **\". What was received is kept in " + path + ".");
  EXPECT_EQ(Messages()[0].Caption, "Warning");
  EXPECT_TRUE(opened_.empty());
  EXPECT_EQ(AppContext::Instance().PortOwner(), nullptr);
  EXPECT_EQ(Window()->edtFile2Save->text().toStdString(), home_.Path("*." + kind));
}

INSTANTIATE_TEST_SUITE_P(BothForms, DownloadPortLoss, ::testing::Values("kvs", "kvg"));

// A name typed without a folder goes into Projects, as the save dialog
// would put it, not into the folder the program was started from.
TEST_F(DownloadWindow, ANameWithoutAFolderIsSavedInProjects) {
  StartDump(Survey("kvs", 3, 13));
  Answer({mrCancel});
  Download("line7.kvs");
  RunUntilEnded();
  const std::string path = home_.Path("Projects/line7.kvs");
  EXPECT_EQ(ReadBytes(path), FormatDataString(Sent()));
  EXPECT_FALSE(std::filesystem::exists("line7.kvs"));
  EXPECT_EQ(ReadDownloadPath(home_.Lib("Download.ega")), path);
  EXPECT_EQ(Window()->edtFile2Save->text().toStdString(), home_.Path("Projects/*.kvs"));
}

// Cancel writes what is held (here all of a set shorter than a chunk),
// asks nothing and opens nothing.
TEST_F(DownloadWindow, CancelKeepsEverythingReceived) {
  const std::string source = Survey("kvs", 2, 6);
  StartDump(source, {"--no-end-line"});
  const std::string path = home_.Path("line.kvs");
  Download(path);
  const std::string sent = Sent();  // all sent; the idle end is two seconds away
  ASSERT_LT(sent.size(), TfrmDownKV7100::kChunkSize);
  QTest::qWait(100);
  ASSERT_TRUE(Window()->Receiving());
  Window()->btnCancel->click();
  EXPECT_EQ(ReadBytes(path), FormatDataString(sent));
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(opened_.empty());
  EXPECT_TRUE(Idle(*Window()));
  EXPECT_FALSE(comm_.Active());
  EXPECT_EQ(AppContext::Instance().PortOwner(), nullptr);
}

TEST_F(DownloadWindow, ClosingMidDownloadAsksAndKeepsEverything) {
  for (int answer : {mrNo, mrYes}) {
    const std::string source = Survey("kvs", 2, 7 + answer);
    StartDump(source, {"--no-end-line"});
    const std::string path = home_.Path("line" + std::to_string(answer) + ".kvs");
    Download(path);
    const std::string sent = Sent();
    QTest::qWait(100);
    ASSERT_TRUE(Window()->Receiving());
    TMsgDlg::ClearCalls();
    opened_.clear();
    Answer({answer});
    Window()->close();
    Settle();
    EXPECT_TRUE(window_.isNull());
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Mensagem, "Do you want to download other file?");
    EXPECT_EQ(opened_, answer == mrNo ? std::vector<std::string>{path} : std::vector<std::string>{});
    EXPECT_EQ(ReadBytes(path), FormatDataString(sent));
    EXPECT_TRUE(acKV7100_.isEnabled());
    EXPECT_FALSE(comm_.Active());
    EXPECT_EQ(AppContext::Instance().PortOwner(), nullptr);
  }
}

// The window destroyed during a download (the program ends): what the port
// still holds and what is held reach the file.
TEST_F(DownloadWindow, DestroyedMidDownloadKeepsEverythingReceived) {
  const std::string source = Survey("kvs", 2, 14);
  StartDump(source, {"--no-end-line"});
  const std::string path = home_.Path("line.kvs");
  Download(path);
  Window()->Timer1->stop();  // nothing is read by the steps: all of it waits at the port
  const std::string sent = Sent();
  QTest::qWait(100);
  ASSERT_TRUE(Window()->Receiving());
  delete window_;
  EXPECT_EQ(ReadBytes(path), FormatDataString(sent));
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(acKV7100_.isEnabled());
  EXPECT_EQ(AppContext::Instance().PortOwner(), nullptr);
}

// Cancel takes what is still waiting at the port too.
TEST_F(DownloadWindow, CancelWritesWhatThePortStillHolds) {
  StartDump(Survey("kvg", 3, 15), {"--no-end-line"});
  Window()->SetItemIndex(0);
  const std::string path = home_.Path("line.kvg");
  Download(path);
  Window()->Timer1->stop();
  const std::string sent = Sent();
  QTest::qWait(100);
  Window()->btnCancel->click();
  EXPECT_EQ(ReadBytes(path), sent);
  EXPECT_TRUE(Idle(*Window()));
}

// A break runs one receive step. With the timer held back, one step gets a
// whole data set of more than a chunk, end line included: it ends the
// download (the end line is looked for before the chunk is written).
TEST_F(DownloadWindow, ABreakRunsAStepAndAnEndLineInsideAWrittenChunkEnds) {
  SetBaud(115200);
  const std::string source = Survey("kvg", 20, 9);
  StartDump(source);
  Window()->SetItemIndex(0);
  Answer({mrCancel});
  const std::string path = home_.Path("line.kvg");
  Download(path);
  Window()->Timer1->stop();
  const std::string sent = Sent();
  ASSERT_GT(sent.size(), TfrmDownKV7100::kChunkSize);
  QTest::qWait(50);
  EXPECT_TRUE(Window()->Receiving());
  ASSERT_TRUE(comm_.OnBreak);
  comm_.OnBreak(&comm_);
  QTest::qWait(20);
  EXPECT_FALSE(Window()->Receiving());
  EXPECT_EQ(ReadBytes(path), sent);
  EXPECT_EQ(Messages().size(), 1u);
}

}  // namespace
}  // namespace tessaly
