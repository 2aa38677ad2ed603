#include "widgets/RecordViews.h"

#include <algorithm>
#include <cmath>

#include "core/Clock.h"
#include "core/GridLayout.h"
#include "widgets/GraficoOk.h"
#include "widgets/GridColumnWidths.h"
#include "widgets/PainelGridOk.h"
#include "widgets/RawTextView.h"
#include "widgets/ReceptionTimeText.h"

namespace tessaly {

RecordViews::RecordViews(TPainelGridOk& grid, TGraficoOK& chart, RawTextView& raw, GridLayout layout)
    : grid_(grid), chart_(chart), raw_(raw) {
  LayOutGrid(layout);
  grid_.AoClicar = [this](int Linha, int Coluna) { CellClicked(Linha, Coluna); };
  grid_.AoSelecionarLinha = [this](int Linha) { SelectRecord(Linha); };
  chart_.AoClicar = [this](TLinha*, bool&, double X, double) { ChartClicked(X); };
  rawClicks_ = QObject::connect(&raw_, &RawTextView::LineChosen, [this](long long line) { RawLineChosen(line); });
}

// The controls may outlive the views: they must not call back into them,
// nor read a source no longer kept alive (the grid keeps its own hold).
RecordViews::~RecordViews() {
  grid_.AoClicar = nullptr;
  grid_.AoSelecionarLinha = nullptr;
  grid_.TextOverride = nullptr;
  chart_.AoClicar = nullptr;
  QObject::disconnect(rawClicks_);
  raw_.SetLines(nullptr);
  chart_.Grafico().Linha().Limpa();
}

// Until a source is attached the grid shows the caption row alone.
void RecordViews::LayOutGrid(GridLayout layout) {
  QFont font = grid_.font();
  font.setPixelSize(11);
  grid_.setFont(font);
  TInformacaoGrid& info = grid_.InformacaoGrid();
  info.ShowCells(std::make_shared<const CellTable>(NewCaptionTable(layout)));
  FitColumnWidths(grid_, layout);
  info.SetLinhaFixa(true);
  info.SetLinhaSeleciona(true);
  info.SetCorLinhas(kClBlack);
  info.SetCorCelulas(kClWhite);
  info.SetScrollBar(TScrollStyle::ssBoth);
}

void RecordViews::Attach(std::shared_ptr<const RecordSource> source) {
  source_ = std::move(source);
  grid_.InformacaoGrid().ShowCells(std::shared_ptr<const CellTable>(source_, &source_->Cells()));
  ShowReceptionTimes();
  chart_.Grafico().Linha().MostraValores(source_->ChartValues());
  chart_.Grafico().Linha().ShowFlags(source_->QualityFlags());
  raw_.SetLines(source_.get());
  grid_.SetPainting(true);
}

// A source whose records have reception times (a log opened with its
// .times) shows them in the "Time" column, as the live window shows the
// time each record arrived, the column made wide enough for them.
void RecordViews::ShowReceptionTimes() {
  grid_.TextOverride = nullptr;
  const std::span<const ReceivedRecord> times = source_->Received();
  const auto first = std::find_if(times.begin(), times.end(), [](const ReceivedRecord& r) { return r.HasTime(); });
  if (first == times.end()) return;
  // Digits drawn as zeros, the longer of a morning's and an evening's text.
  std::string widest;
  for (const std::int64_t hours : {0, 12}) {
    std::string text = ReceptionTimeText(first->utcNs + hours * 3600 * kNsPerSecond);
    std::replace_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }, '0');
    if (text.size() > widest.size()) widest = text;
  }
  TInformacaoGrid& info = grid_.InformacaoGrid();
  const GridColumnInfo column{kGridColumns[kColTime].caption, info.GetColWidth(kColTime), widest};
  info.SetColWidth(kColTime, FittedColumnWidths({&column, 1}, grid_.fontMetrics()).front());
  grid_.TextOverride = [this](int row, int col, std::string& text) {
    const std::span<const ReceivedRecord> received = source_->Received();
    const auto record = static_cast<std::size_t>(row - 1);
    if (col != static_cast<int>(kColTime) || row < 1 || record >= received.size() || !received[record].HasTime())
      return false;
    text = ReceptionTimeText(received[record].utcNs);
    return true;
  };
}

void RecordViews::Update() {
  if (!source_) return;
  chart_.Grafico().Linha().MostraValores(source_->ChartValues());
  chart_.Grafico().Linha().ShowFlags(source_->QualityFlags());
  raw_.LinesChanged();
  grid_.KeepHighlight();
  grid_.SetPainting(true);
}

void RecordViews::SelectRecord(int row) {
  if (row <= 0 || row >= grid_.InformacaoGrid().QtdLinhas() || grid_.GetCell(row - 1, kColSequence).empty())
    return;
  grid_.SelectRow(row, false);
  chart_.SelecionaPonto(row - 1);
  if (source_)
    if (const auto line = source_->RawLineOfRow(static_cast<std::size_t>(row)))
      raw_.SetCurrentLine(static_cast<long long>(*line));
  if (OnRecordSelected) OnRecordSelected(row);
}

void RecordViews::CellClicked(int row, int col) {
  if (OnCellClicked) OnCellClicked(row, col);
  SelectRecord(row);
}

void RecordViews::ChartClicked(double index) { SelectRecord(static_cast<int>(std::nearbyint(index)) + 1); }

void RecordViews::RawLineChosen(long long line) {
  if (!source_ || line < 0) return;
  const std::size_t row = source_->RowOfRawLine(static_cast<std::size_t>(line));
  if (row > 0) SelectRecord(static_cast<int>(row));
}

}  // namespace tessaly
