// The navigation document: loading a navigation file through the links of the
// import, its grid, its progress message, and the question when it closes.
#include "transfer/untFilePNav.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>

#include <gtest/gtest.h>

#include "core/GridLayout.h"
#include "core/UTMLaLo.h"
#include "shell/TrackPane.h"
#include "shell/untFrmPrgBar.h"
#include "support/FileBytes.h"
#include "support/Generator.h"
#include "support/ShellTestHome.h"
#include "widgets/TrackPlot.h"

namespace tessaly {
namespace {

using testing::ShellTestHome;
using testing::TempHome;

// The import of a navigation file with the given links ("@0" -> "Dev", ...).
PnavImport Linked(const std::string& path, const std::vector<std::pair<std::string, std::string>>& links) {
  PnavImport import;
  EXPECT_EQ(import.NewFile(path), "");
  for (const auto& [channel, field] : links) EXPECT_EQ(import.AddLink(channel, field), "");
  return import;
}

class NavigationDocument : public ::testing::Test {
 protected:
  // Opens the document as the import dialog does; returns once it is loaded.
  QPointer<TfrmFilePNav> Open(const PnavImport& import) {
    QPointer<TfrmFilePNav> document = new TfrmFilePNav(import);
    document->show();
    document->SetFileName(import.FilePath());
    return document;
  }
  std::string Cell(const TfrmFilePNav& document, std::size_t row, std::size_t column) const {
    return std::string(document.Document()->Cells().Cell(row, column));
  }

  ShellTestHome home_{TempHome::Content::BuildDefaults};
  std::string nav_ = home_.Sample("line08.pnav");
};

TEST_F(NavigationDocument, LoadsTheRecordsOfTheLinkedColumns) {
  QPointer<TfrmFilePNav> document = Open(Linked(nav_, {{"@0", "Dev"}, {"@2", "Sounder"}}));
  ASSERT_NE(document->Document(), nullptr);

  EXPECT_EQ(document->windowTitle(), "PNav - line08.pnav");
  EXPECT_TRUE(document->Imported());
  EXPECT_TRUE(document->Document()->IsNavigation());
  EXPECT_GT(document->Document()->ValidCount(), 100u);
  // The first data line: 08:00:00.00, ..., +00012, 54.6, 76.7.
  EXPECT_EQ(Cell(*document, 1, kColTime), "08:00:00.00");
  EXPECT_EQ(Cell(*document, 1, kColRawLine), "3");
  EXPECT_EQ(Cell(*document, 1, kColDev), "+00012");
  EXPECT_EQ(Cell(*document, 1, kColSounder), "76.7");
  // Towfish depth is not linked: "0" in every record.
  for (std::size_t row = 1; row <= document->Document()->ValidCount(); ++row)
    ASSERT_EQ(Cell(*document, row, kColTfDepth), "0") << row;
  delete document;
}

// Records the message a progress window shows when it goes away.
class ProgressMessageAtClose : public QObject {
 public:
  ProgressMessageAtClose() { QApplication::instance()->installEventFilter(this); }
  ~ProgressMessageAtClose() override { QApplication::instance()->removeEventFilter(this); }
  QStringList messages;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Hide)
      if (auto* window = qobject_cast<TFrmPrgBar*>(watched)) messages << window->lblMsg->text();
    return false;
  }
};

TEST_F(NavigationDocument, ShowsImportingDataWhileItLoads) {
  ProgressMessageAtClose shown;
  QPointer<TfrmFilePNav> document = Open(Linked(nav_, {{"@0", "Dev"}}));
  QPointer<TfrmFile> log = new TfrmFile;
  log->show();
  log->SetFileName(home_.Sample("line01.kvl"));
  EXPECT_EQ(shown.messages, QStringList({"Importing data ...", "Loading data ..."}));
  delete document;
  delete log;
}

TEST_F(NavigationDocument, AskToSaveTheImportWhenClosing) {
  QPointer<TfrmFilePNav> document = Open(Linked(nav_, {{"@0", "Dev"}}));
  ShellTestHome::Answer(mrCancel);
  EXPECT_FALSE(document->close());
  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Mensagem, "Save importation?");
  EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Confirmation");

  const std::string target = home_.Path("import.kv2");
  document->ChooseImportSaveFile = [&](QWidget*) { return QString::fromStdString(target); };
  ShellTestHome::Answer(mrYes);
  EXPECT_TRUE(document->close());
  EXPECT_EQ(testing::ReadBytes(target), testing::ReadBytes(nav_));
  delete document;
}

// The import is saved only where an export may write: never over a survey
// log nor a file an open window uses; the window then stays open.
TEST_F(NavigationDocument, SavingTheImportNeverReplacesASurveyLogNorTheFileItShows) {
  QPointer<TfrmFilePNav> document = Open(Linked(nav_, {{"@0", "Dev"}}));
  const std::string log = home_.Sample("line01.kvl");
  const std::string logBytes = testing::ReadBytes(log), navBytes = testing::ReadBytes(nav_);
  for (const std::string& target : {log, nav_}) {
    TMsgDlg::ClearCalls();
    document->ChooseImportSaveFile = [&](QWidget*) { return QString::fromStdString(target); };
    ShellTestHome::Answer(mrYes);
    EXPECT_FALSE(document->close()) << target;
    ASSERT_EQ(TMsgDlg::Calls().size(), 2u) << target;
    EXPECT_EQ(TMsgDlg::Calls()[1].Caption, "Error");
    EXPECT_EQ(TMsgDlg::Calls()[1].Mensagem.count(QString::fromStdString(target)), 1);
  }
  EXPECT_EQ(testing::ReadBytes(log), logBytes);
  EXPECT_EQ(testing::ReadBytes(nav_), navBytes);

  const std::string fresh = home_.Path("import.kv2");
  testing::WriteBytes(fresh, "an earlier save\r\n");
  document->ChooseImportSaveFile = [&](QWidget*) { return QString::fromStdString(fresh); };
  ShellTestHome::Answer(mrYes);
  EXPECT_TRUE(document->close());
  EXPECT_EQ(testing::ReadBytes(fresh), navBytes);
  delete document;
}

// A file of GPS fixes only ("@p" without a towfish channel): the track shows
// the GPS positions.
TEST_F(NavigationDocument, TheTrackOfAGpsOnlyFileShowsTheGpsFixes) {
  const std::string gpsOnly = home_.Path("gps.pnav");
  ASSERT_TRUE(testing::GenerateLog(testing::SurveyOptions("pnav-p", 200, 0, 5), gpsOnly));
  QPointer<TfrmFilePNav> document = Open(Linked(gpsOnly, {{"@0", "Dev"}}));
  ASSERT_EQ(document->Document()->ValidCount(), 200u);
  ASSERT_TRUE(document->Track->Available());
  document->Track->SetShown(true);
  const TrackModel& model = *document->Track->Plot()->Model();
  EXPECT_EQ(model.PositionCount(), 200u);

  // The second data line, "08:00:01.00,4418.0013,N,06318.0003,W,...", its
  // fix read here by hand.
  const QStringList fields = QString::fromStdString(testing::ReadBytes(gpsOnly)).split("\r\n")[3].split(',');
  const double latitude = fields[1].left(2).toDouble() + fields[1].mid(2).toDouble() / 60.0;
  const double longitude = fields[3].left(3).toDouble() + fields[3].mid(3).toDouble() / 60.0;
  UtmPosition expected;
  ASSERT_TRUE(LatLonToUtm(AppContext::Instance().MapDatum, fields[2] == "S" ? -latitude : latitude,
                          fields[4] == "W" ? -longitude : longitude, expected));
  const auto shown = model.Position(1);
  ASSERT_TRUE(shown.has_value());
  // The grid's decimal degrees have five decimals: a metre at most.
  EXPECT_NEAR(shown->easting, expected.easting, 1.0);
  EXPECT_NEAR(shown->northing, expected.northing, 1.0);
  delete document;
}

}  // namespace
}  // namespace tessaly
