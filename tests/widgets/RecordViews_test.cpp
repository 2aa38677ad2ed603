// The grid, chart and raw view attached to a record source that is not a
// document (a source that grows, as a live session does): what each view
// shows, the selection kept in step, and the views following the source.
#include "widgets/RecordViews.h"

#include <QDateTime>
#include <QLocale>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <time.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Clock.h"
#include "core/GridLayout.h"
#include "support/Render.h"
#include "widgets/GraficoOk.h"
#include "widgets/PainelGridOk.h"
#include "widgets/RawTextView.h"

namespace tessaly {
namespace {

// Raw lines, some of them records: record row r has the deviation r * 10
// and was read from raw line lineOfRow[r - 1].
class GrowingSource : public RecordSource {
 public:
  GrowingSource() : cells_(NewRecordTable()) {}

  void AddLine(const std::string& text) { raw_.push_back(text); }
  void Recolour(std::size_t row, BgrColor colour) { cells_.SetRowColor(row, colour); }
  void AddRecord(const std::string& text) {
    AddLine(text);
    const std::size_t row = cells_.Rows();
    cells_.SetRows(row + 1);
    cells_.SetCell(row, kColSequence, std::to_string(row));
    cells_.SetCell(row, kColRawLine, std::to_string(raw_.size()));
    cells_.SetCell(row, kColDev, std::to_string(row * 10));
    lineOfRow_.push_back(raw_.size() - 1);
    chart_.push_back(static_cast<double>(row * 10));
    numbers_.emplace_back();
  }

  const CellTable& Cells() const override { return cells_; }
  std::span<const double> ChartValues() const override { return chart_; }
  std::span<const RecordNumbers> Numbers() const override { return numbers_; }
  std::size_t RawLineCount() const override { return raw_.size(); }
  std::string_view RawLine(std::size_t i) const override { return i < raw_.size() ? raw_[i] : std::string_view(); }
  std::size_t LongestRawLine() const override {
    std::size_t longest = 0;
    for (const std::string& line : raw_) longest = std::max(longest, line.size());
    return longest;
  }
  std::size_t RowOfRawLine(std::size_t line) const override {
    for (std::size_t r = 0; r < lineOfRow_.size(); ++r)
      if (lineOfRow_[r] == line) return r + 1;
    return 0;
  }
  std::optional<std::size_t> RawLineOfRow(std::size_t row) const override {
    if (row < 1 || row > lineOfRow_.size()) return std::nullopt;
    return lineOfRow_[row - 1];
  }
  std::span<const std::uint8_t> QualityFlags() const override { return flags_; }
  std::vector<std::uint8_t> flags_;
  std::span<const ReceivedRecord> Received() const override { return received_; }
  std::vector<ReceivedRecord> received_;

 private:
  std::vector<RecordNumbers> numbers_;
  CellTable cells_;
  std::vector<double> chart_;
  std::vector<std::string> raw_;
  std::vector<std::size_t> lineOfRow_;
};

class RecordViewsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    grid_.resize(800, 300);
    raw_.resize(300, 300);
    grid_.show();
    raw_.show();
    source_->AddLine("title");      // line 0
    source_->AddRecord("first");    // line 1, row 1
    source_->AddLine("rejected");   // line 2
    source_->AddRecord("second");   // line 3, row 2
    source_->AddRecord("third");    // line 4, row 3
  }

  TPainelGridOk grid_;
  TGraficoOK chart_;
  RawTextView raw_;
  RecordViews views_{grid_, chart_, raw_};
  std::shared_ptr<GrowingSource> source_ = std::make_shared<GrowingSource>();
};

TEST_F(RecordViewsTest, BeforeASourceTheGridShowsTheRecordLayoutWithItsCaptionsAlone) {
  const TInformacaoGrid& info = grid_.InformacaoGrid();
  EXPECT_EQ(info.QtdLinhas(), 1);
  EXPECT_EQ(info.QtdColunas(), static_cast<int>(kGridColumnCount));
  EXPECT_EQ(grid_.GetCell(0, kColRawLine), "RD#");
  EXPECT_EQ(info.GetColWidth(kColComment), 200);
  EXPECT_EQ(info.GetRowColor(0), kHeaderGrey);
  EXPECT_TRUE(info.LinhaFixa());
  EXPECT_EQ(info.ScrollBar(), TScrollStyle::ssBoth);
  EXPECT_EQ(grid_.font().pixelSize(), 11);
  EXPECT_EQ(views_.Source(), nullptr);
}

TEST_F(RecordViewsTest, ALayoutOfItsOwnIsShownWithItsCaptionsAndWidths) {
  const GridColumnInfo columns[] = {{"#", 40, "0000000"}, {"Time", 70, "00:00:00"}, {"Dev", 50, "+00000"},
                                    {"Comment", 500, ""}};
  TPainelGridOk grid;
  TGraficoOK chart;
  RawTextView raw;
  RecordViews views(grid, chart, raw, columns);
  const TInformacaoGrid& info = grid.InformacaoGrid();
  EXPECT_EQ(info.QtdLinhas(), 1);
  ASSERT_EQ(info.QtdColunas(), 4);
  EXPECT_EQ(grid.GetCell(0, 2), "Dev");
  EXPECT_EQ(info.GetRowColor(0), kHeaderGrey);
  EXPECT_EQ(info.GetColWidth(3), 500);
  for (int col = 0; col < 3; ++col) EXPECT_GE(info.GetColWidth(col), columns[col].minWidth) << col;
  EXPECT_EQ(grid.font().pixelSize(), 11);
}

TEST_F(RecordViewsTest, AttachedViewsReadTheSourceInPlace) {
  views_.Attach(source_);
  EXPECT_EQ(views_.Source(), source_.get());
  EXPECT_EQ(&grid_.InformacaoGrid().Cells(), &source_->Cells());
  EXPECT_EQ(grid_.GetCell(2, kColDev), "20");
  EXPECT_EQ(chart_.Grafico().Linha().Valores().data(), source_->ChartValues().data());
  EXPECT_EQ(raw_.LineCount(), 5u);
  EXPECT_EQ(grid_.InformacaoGrid().GetColWidth(kColComment), 200);
}

// The machine's time zone for one test: one hour west of UTC.
class HourWestOfUtc {
 public:
  HourWestOfUtc() : old_(qgetenv("TZ")), had_(qEnvironmentVariableIsSet("TZ")) {
    qputenv("TZ", "WAT1");
    tzset();
  }
  ~HourWestOfUtc() {
    if (had_) qputenv("TZ", old_);
    else qunsetenv("TZ");
    tzset();
  }

 private:
  QByteArray old_;
  bool had_;
};

TEST_F(RecordViewsTest, TheTimeColumnShowsTheReceptionTimesOfASourceThatHasThem) {
  const HourWestOfUtc zone;
  views_.Attach(source_);
  std::string scratch;
  EXPECT_EQ(grid_.ShownText(1, kColTime, scratch), "");  // none yet: the table's text
  constexpr std::int64_t k2027 = 20819LL * 86400 * kNsPerSecond;
  const auto at = [](std::int64_t utcNs) {
    ReceivedRecord record;
    record.utcNs = utcNs;
    return record;
  };
  source_->received_ = {at(k2027 + 8 * 3600 * kNsPerSecond), {}, at(k2027 + 8 * 3600 * kNsPerSecond + 1'500'000'000)};
  views_.Attach(source_);
  // Local time of day in the system's long time format, as the live window
  // shows a record's arrival: here an hour before UTC.
  const auto longTime = [](const char* iso) {
    const QDateTime utc = QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODateWithMs);
    return QLocale::system().toString(utc.toLocalTime().time(), QLocale::LongFormat).toStdString();
  };
  const std::string first(grid_.ShownText(1, kColTime, scratch));
  EXPECT_EQ(first, longTime("2027-01-01T08:00:00.000Z"));
  EXPECT_NE(first.find("07:00:00"), std::string::npos) << first;
  // The column is wide enough for the whole text.
  EXPECT_GE(grid_.InformacaoGrid().GetColWidth(kColTime),
            grid_.fontMetrics().horizontalAdvance(QString::fromStdString(first)) + 2 * TInformacaoGrid::kTextInset);
  EXPECT_EQ(grid_.ShownText(2, kColTime, scratch), "");  // a record without a time
  EXPECT_EQ(grid_.ShownText(3, kColTime, scratch), longTime("2027-01-01T08:00:01.500Z"));
  EXPECT_EQ(grid_.ShownText(1, kColDev, scratch), "10");
  EXPECT_EQ(grid_.GetCell(1, kColTime), "");  // the table itself, which the exports write, is not changed
}

TEST_F(RecordViewsTest, TheChartMarksTheSourcesQualityFlagsInPlace) {
  source_->flags_ = {0, 2, 0};
  views_.Attach(source_);
  EXPECT_EQ(chart_.Grafico().Linha().Flags().data(), source_->flags_.data());
  source_->AddRecord("fourth");
  source_->flags_ = {0, 2, 0, 1};  // judged again, held elsewhere now
  views_.Update();
  const std::span<const std::uint8_t> shown = chart_.Grafico().Linha().Flags();
  EXPECT_EQ(shown.data(), source_->flags_.data());
  EXPECT_EQ(std::vector<std::uint8_t>(shown.begin(), shown.end()), source_->flags_);
}

TEST_F(RecordViewsTest, AClickOnAnyViewSelectsTheSameRecordInAllThree) {
  views_.Attach(source_);
  std::vector<std::pair<int, int>> cellClicks;
  views_.OnCellClicked = [&](int row, int col) { cellClicks.emplace_back(row, col); };

  views_.CellClicked(2, kColDev);
  EXPECT_EQ(cellClicks, (std::vector<std::pair<int, int>>{{2, kColDev}}));
  EXPECT_EQ(grid_.CurrentRow(), 2);
  EXPECT_EQ(chart_.Grafico().Linha().SelX(), 1.0);
  EXPECT_EQ(raw_.CurrentLine(), 3);

  views_.ChartClicked(2.2);  // point 2 is row 3, raw line 4
  EXPECT_EQ(grid_.CurrentRow(), 3);
  EXPECT_EQ(raw_.CurrentLine(), 4);

  views_.RawLineChosen(1);
  EXPECT_EQ(grid_.CurrentRow(), 1);
  EXPECT_EQ(chart_.Grafico().Linha().SelX(), 0.0);

  views_.RawLineChosen(2);  // not a record: the selection stays
  EXPECT_EQ(grid_.CurrentRow(), 1);
  views_.SelectRecord(4);   // past the records
  EXPECT_EQ(grid_.CurrentRow(), 1);
}

TEST_F(RecordViewsTest, TheControlsOwnClicksReachTheSelection) {
  views_.Attach(source_);
  const int lineHeight = raw_.LineHeight();
  QTest::mouseClick(raw_.viewport(), Qt::LeftButton, {},
                    QPoint(raw_.GutterWidth() + 20, 3 * lineHeight + lineHeight / 2));
  EXPECT_EQ(grid_.CurrentRow(), 2);
  EXPECT_EQ(chart_.Grafico().Linha().SelX(), 1.0);
}

TEST_F(RecordViewsTest, UpdateShowsWhatTheSourceGainedAndKeepsTheSelection) {
  views_.Attach(source_);
  views_.SelectRecord(2);
  for (int i = 0; i < 40; ++i) source_->AddRecord("more " + std::to_string(i));

  views_.Update();

  EXPECT_EQ(grid_.InformacaoGrid().QtdLinhas(), 44);
  EXPECT_EQ(grid_.GetCell(43, kColDev), "430");
  EXPECT_EQ(chart_.Grafico().Linha().QtdValores(), 43);
  EXPECT_EQ(chart_.Grafico().Linha().ValorMaximo(), 430);
  EXPECT_EQ(raw_.LineCount(), 45u);
  EXPECT_GT(raw_.verticalScrollBar()->maximum(), 0);
  EXPECT_EQ(grid_.CurrentRow(), 2);
  EXPECT_EQ(raw_.CurrentLine(), 3);
  views_.RawLineChosen(44);
  EXPECT_EQ(grid_.CurrentRow(), 43);
}

// New row colours (view settings applied) or new records are no new
// selection: the selected row stays highlighted, its colours inverted.
TEST_F(RecordViewsTest, UpdateKeepsTheSelectedRowHighlighted) {
  views_.Attach(source_);
  grid_.hide();  // painted only by the renders below
  source_->Recolour(2, 0x00FFFF);
  views_.SelectRecord(2);
  const int y = 3 + 2 * 21 + 18;  // in row 2: rows 21 pixels apart below a 3-pixel margin
  ASSERT_EQ(test::PixelBgr(test::Render(grid_), 60, y), 0xFF0000u);  // yellow inverted

  source_->Recolour(2, 0xFFFF00);
  views_.Update();
  EXPECT_EQ(test::PixelBgr(test::Render(grid_), 60, y), 0x0000FFu);  // cyan inverted
  source_->AddRecord("fourth");
  views_.Update();
  EXPECT_EQ(test::PixelBgr(test::Render(grid_), 60, y), 0x0000FFu);
  test::Render(grid_);  // a plain repaint still ends it
  EXPECT_EQ(test::PixelBgr(test::Render(grid_), 60, y), 0xFFFF00u);
}

TEST_F(RecordViewsTest, TheViewsKeepTheirSourceAlive) {
  views_.Attach(source_);
  const GrowingSource* shown = source_.get();
  source_.reset();
  EXPECT_EQ(views_.Source(), shown);
  EXPECT_EQ(grid_.GetCell(3, kColDev), "30");
  EXPECT_EQ(raw_.LineCount(), 5u);
}

}  // namespace
}  // namespace tessaly
