// Opening logs in the document window: every kind, empty and unknown files,
// the worker-thread load with its progress window, and cancelling it.
#include "shell/untFile.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>

#include "shell/untFrmPrgBar.h"
#include "support/DocumentWindow.h"
#include "support/FileBytes.h"
#include "support/Generator.h"
#include "support/LargeLog.h"
#include "support/ShellTestHome.h"
#include "widgets/GraficoOk.h"
#include "widgets/PainelGridOk.h"
#include "widgets/RawTextView.h"

namespace tessaly {
namespace {

using testing::OpenDocumentWindow;

using testing::ShellTestHome;
using testing::TempHome;
using testing::WriteLargeLog;

// Regenerates a sample log with the generator and counts its faulty lines
// (blank lines are skipped by the load, not counted as errors).
struct GeneratedLog {
  std::string path;
  int records = 0;
  int rejected = 0;
  int blank = 0;
};

GeneratedLog Generate(const TempHome& home, const std::string& kind, const std::string& name, int records,
                      int seed) {
  GeneratedLog log{home.Path(name), records, 0, 0};
  testing::GeneratedFaults faults;
  EXPECT_TRUE(testing::GenerateLog(testing::SurveyOptions(kind, records, 0.03, seed), log.path, &faults)) << kind;
  log.rejected = static_cast<int>(faults.faulty.size());
  log.blank = static_cast<int>(faults.blank.size());
  return log;
}

struct KindCase {
  const char* kind;
  const char* extension;
  const char* caption;
  bool gutter;
};

class FileWindowKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(FileWindowKinds, LoadsRecordsErrorsChartAndRawTextOfTheLog) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  const KindCase& kind = GetParam();
  const GeneratedLog log = Generate(home, kind.kind, std::string("survey") + kind.extension, 400, 5);
  ASSERT_GT(log.rejected, 0);

  QPointer<TfrmFile> window = OpenDocumentWindow(log.path);
  ASSERT_TRUE(window);
  ASSERT_NE(window->Document(), nullptr);
  EXPECT_FALSE(window->Loading());
  EXPECT_EQ(window->windowTitle(), QString(kind.caption) + " - survey" + kind.extension);

  const int valid = log.records - log.rejected - log.blank;
  EXPECT_EQ(window->Document()->ValidCount(), static_cast<std::uint64_t>(valid));
  EXPECT_EQ(window->Grafico1->Grafico().Linha().QtdValores(), valid);
  EXPECT_GE(window->PainelGrid1->InformacaoGrid().QtdLinhas(), valid + 1);
  EXPECT_EQ(window->PainelGrid1->GetCell(0, 2), "RD#");
  EXPECT_EQ(window->PainelGrid1->GetCell(1, 0), "1");
  EXPECT_EQ(window->lblQtdErrors->text(), QString::number(log.rejected));
  EXPECT_TRUE(window->btnErros->isEnabled());
  EXPECT_EQ(window->lstRawData->GutterVisible(), kind.gutter);
  EXPECT_EQ(window->lstRawData->LineCount(), window->Document()->Raw().LineCount());
  EXPECT_GE(window->lstRawData->LineCount(), static_cast<std::size_t>(log.records));
  EXPECT_FALSE(window->grpValidDataGrid->isHidden());
  EXPECT_TRUE(TMsgDlg::Calls().empty());
  delete window;
}

INSTANTIATE_TEST_SUITE_P(EveryKind, FileWindowKinds,
                         ::testing::Values(KindCase{"kvl", ".kvl", "KV7100 Log", true},
                                           KindCase{"kvs", ".kvs", "KV7100 Data String mode", false},
                                           KindCase{"kvg", ".kvg", "KV7100 Graphic mode", false},
                                           KindCase{"zpx", ".zpx", "ZEPH2-KV Log", true},
                                           KindCase{"zpt", ".zpt", "ZEPH2-BT Log", true},
                                           KindCase{"rtb", ".rtb", "RT4 Basic", true}),
                         [](const ::testing::TestParamInfo<KindCase>& info) { return std::string(info.param.kind); });

TEST(FileWindow, RdColumnAndErrorLinesGiveTheTrueLineNumbers) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  const std::string path = home.Path("short.kvl");
  const std::string good = "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4\r\n";
  testing::WriteBytes(path, good + good + "\r\n" + good + "$KVMGD,+0004X,4418.000,N,06318.000,W,25.3,78.4\r\n" + good);

  QPointer<TfrmFile> window = OpenDocumentWindow(path);
  ASSERT_NE(window->Document(), nullptr);
  EXPECT_EQ(window->PainelGrid1->GetCell(3, 2), "4");  // after the blank line 3
  EXPECT_EQ(window->PainelGrid1->GetCell(3, 0), "4");  // "#" counts the blank line
  EXPECT_EQ(window->PainelGrid1->GetCell(4, 2), "6");
  EXPECT_EQ(window->PainelGrid1->GetCell(4, 0), "5");  // the rejected line is not counted
  EXPECT_EQ(window->lblQtdErrors->text(), "1");
  EXPECT_NE(window->Document()->ErrorListText().find("Line: 5\r\n"), std::string::npos);
  delete window;
}

TEST(FileWindow, EmptyFileIsReportedAndTheWindowCloses) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  const std::string path = home.Path("empty.kvl");
  testing::WriteBytes(path, "");

  QPointer<TfrmFile> window = OpenDocumentWindow(path);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Error");
  EXPECT_EQ(TMsgDlg::Calls()[0].Mensagem, "File empty.");
  EXPECT_TRUE(window.isNull() || !window->isVisible());
  delete window;
}

TEST(FileWindow, UnknownFileShowsOnlyItsRawText) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  const std::string path = home.Path("notes.txt");
  testing::WriteBytes(path, "first line\r\nsecond line\r\nthird\r\n");

  QPointer<TfrmFile> window = OpenDocumentWindow(path);
  ASSERT_NE(window->Document(), nullptr);
  EXPECT_EQ(window->windowTitle(), "Unknown - notes.txt");
  EXPECT_TRUE(window->grpValidDataGrid->isHidden());
  EXPECT_TRUE(window->grpGraphic->isHidden());
  EXPECT_EQ(window->lstRawData->LineCount(), 3u);
  EXPECT_FALSE(window->btnErros->isEnabled());
  EXPECT_TRUE(TMsgDlg::Calls().empty());
  delete window;
}

TEST(FileWindow, BinaryFileOpensAsUnknownWithoutHarm) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  const std::string path = home.Path("blob.kvl");
  std::string bytes;
  for (int i = 0; i < 100000; ++i) bytes += static_cast<char>((i * 7919) % 256);
  testing::WriteBytes(path, bytes);

  QPointer<TfrmFile> window = OpenDocumentWindow(path);
  ASSERT_TRUE(window);
  ASSERT_NE(window->Document(), nullptr);
  EXPECT_GT(window->lstRawData->LineCount(), 0u);
  window->lstRawData->viewport()->grab();
  EXPECT_EQ(testing::ReadBytes(path), bytes);
  delete window;
}

TEST(FileWindow, ProgressWindowRunsDuringTheLoadAndClosesWhenTheViewsAreFilled) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  const std::string path = WriteLargeLog(home, 400000);
  QPointer<TfrmFile> window = new TfrmFile;
  window->show();
  int progressUpdatesSeen = 0;
  int furthestPosition = 0;
  QString message;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (TFrmPrgBar* progress = TFrmPrgBar::Current()) {
      ++progressUpdatesSeen;
      message = progress->lblMsg->text();
      furthestPosition = std::max(furthestPosition, progress->ProgressBar->value());
    }
  });
  poll.start(1);

  window->SetFileName(path);

  EXPECT_GT(progressUpdatesSeen, 0);  // the user-interface thread kept running
  EXPECT_GT(furthestPosition, 0);     // and the bar moved
  EXPECT_EQ(message, "Loading data ...");
  EXPECT_EQ(TFrmPrgBar::Current(), nullptr);
  EXPECT_EQ(window->Document()->Status(), LoadStatus::Loaded);
  EXPECT_EQ(window->Grafico1->Grafico().Linha().QtdValores(), 400000);
  delete window;
}

TEST(FileWindow, CancelStopsTheLoadAndKeepsWhatWasLoaded) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  const std::string path = WriteLargeLog(home, 1500000);
  QPointer<TfrmFile> window = new TfrmFile;
  window->show();
  const testing::CancelLoadAtFirstChance cancel;

  window->SetFileName(path);

  ASSERT_NE(window->Document(), nullptr);
  EXPECT_EQ(window->Document()->Status(), LoadStatus::Cancelled);
  const auto loaded = window->Document()->ValidCount();
  EXPECT_LT(loaded, 1500000u);
  EXPECT_EQ(window->Grafico1->Grafico().Linha().QtdValores(), static_cast<int>(loaded));
  EXPECT_EQ(window->lstRawData->LineCount(), 1500000u);
  EXPECT_FALSE(window->Loading());
  // The window says the log is partial, in its caption and beside the errors.
  const QString partial = QStringLiteral("loaded up to line %1 of about %2")
                              .arg(window->Document()->LoadedLineCount())
                              .arg(window->Document()->RawLineCount());
  EXPECT_LT(window->Document()->LoadedLineCount(), window->Document()->RawLineCount());
  EXPECT_TRUE(window->windowTitle().contains(partial)) << window->windowTitle().toStdString();
  EXPECT_TRUE(window->lblPartial->text().contains(partial));
  delete window;
}

// The program's address space now, from /proc/self/status.
std::uint64_t VirtualMemoryBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmSize:", 0) == 0) return std::strtoull(line.c_str() + 7, nullptr, 10) * 1024;
  }
  return 0;
}

// Opens the log with the address space capped so that its raw text fits and
// its grid does not; exits 0 when the failure was reported and the window
// was left empty and usable.
[[noreturn]] void OpenWithTooLittleMemory(const std::string& path) {
  alarm(60);                // a hang fails the test instead of stalling it
  mallopt(M_ARENA_MAX, 1);  // no per-thread malloc arenas reserving address space
  const rlim_t cap = VirtualMemoryBytes() + 48'000'000 + 110'000'000;
  const rlimit limit{cap, cap};
  setrlimit(RLIMIT_AS, &limit);
  TfrmFile* window = OpenDocumentWindow(path);
  const auto& calls = TMsgDlg::Calls();
  const QString expected = QString::fromStdString("Not enough memory to open the file " + path + ".");
  const bool reported = calls.size() == 1 && calls[0].Mensagem == expected;
  const bool empty = window->Document() && window->Document()->ValidCount() == 0 && !window->Loading() &&
                     window->lstRawData->LineCount() == 0;
  std::_Exit(reported && empty ? 0 : 1);
}

// Run in a fresh process, since the cap stays.
TEST(FileWindowDeathTest, ALogTooLargeForTheMemoryIsReportedAndTheWindowLivesOn) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than the cap allows";
#endif
  ShellTestHome home(TempHome::Content::BuildDefaults);
  const std::string path = WriteLargeLog(home, 1000000);  // 48 MB; its grid needs about 180 MB more
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(OpenWithTooLittleMemory(path), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tessaly
