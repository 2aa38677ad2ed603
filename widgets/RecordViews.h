// RecordViews: the record grid, the deviation chart and the raw text view of
// a log window, attached to one RecordSource the same way and kept in step:
// grid row r, chart point r - 1 and the raw line the record was read from
// are selected together, whichever of the three the user clicks.
//
// The views read the source in place: the grid paints its cell table
// (shared, never changed by the grid) and, where the source has them, its
// records' reception times in the "Time" column; the chart draws its values
// and marks its records' quality flags, the raw view shows its lines,
// without copies. What changes the source goes through
// its owner (a comment through the document, new records through a live
// session), which then calls Update.
#pragma once

#include <QMetaObject>

#include <functional>
#include <memory>

#include "core/GridLayout.h"
#include "core/RecordSource.h"

namespace tessaly {

class RawTextView;
class TGraficoOK;
class TPainelGridOk;

class RecordViews {
 public:
  // Lays the grid out for the records of `layout` (a live logging window
  // names its own; its columns must outlive this object) - its captions in
  // the small font of the log windows on the fixed grey caption row, each
  // column wide enough for its caption and widest value, the row highlight,
  // both scroll bars - and sends the controls' clicks and keys to the
  // selection. Column 0 holds the record number. The controls must outlive
  // this object.
  RecordViews(TPainelGridOk& grid, TGraficoOK& chart, RawTextView& raw, GridLayout layout = kRecordLayout);
  ~RecordViews();
  RecordViews(const RecordViews&) = delete;
  RecordViews& operator=(const RecordViews&) = delete;

  // Shows a source in all three views; the views keep it alive.
  void Attach(std::shared_ptr<const RecordSource> source);
  const RecordSource* Source() const { return source_.get(); }
  // The source changed (a comment, row colours, records appended): the
  // views show it. The selection, its highlight in the grid and the scroll
  // positions stay.
  void Update();

  // Selects grid row `row` (a 1-based record row), its chart point and its
  // raw line; nothing for a row that holds no record.
  void SelectRecord(int row);

  // What the controls raise, public so that a window can pass on its own
  // handlers. A grid click first goes to OnCellClicked, then selects the row.
  void CellClicked(int row, int col);
  void ChartClicked(double index);
  void RawLineChosen(long long line);

  // Called with the row and column of every click on the grid.
  std::function<void(int row, int col)> OnCellClicked;
  // Called with the row of every record selected (by the grid, the chart,
  // the raw view or SelectRecord), so that further views follow.
  std::function<void(int row)> OnRecordSelected;

 private:
  void LayOutGrid(GridLayout layout);
  void ShowReceptionTimes();

  TPainelGridOk& grid_;
  TGraficoOK& chart_;
  RawTextView& raw_;
  std::shared_ptr<const RecordSource> source_;
  QMetaObject::Connection rawClicks_;
};

}  // namespace tessaly
