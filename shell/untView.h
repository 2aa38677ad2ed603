// TfrmView: "View Configuration", the 16 view settings - the deviation limit
// and highlight colours of the record grids, and the look and navigation of
// the deviation charts. The controls start from AppContext::View; the View
// command is disabled while the window exists.
//
// "&Save && Close" rewrites Lib/View.ega from the controls, copies them into
// AppContext::View and refreshes every open log window (Refresh with
// chart-changed and grid-changed as the values differ from the old ones).
// Cancel changes nothing. A deviation limit that is not a whole number is
// refused with a message naming the field and the window stays open: stored,
// it would make the next start-up fail.
#pragma once

#include <QColor>

#include <functional>
#include <optional>
#include <vector>

#include "core/ViewSettings.h"
#include "shell/SettingsWindow.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tessaly {

class TfrmView : public SettingsWindow {
  Q_OBJECT

 public:
  explicit TfrmView(QWidget* parent = nullptr);

  // The label of the deviation limit, named by its refusal.
  QLabel* lblDevations = nullptr;
  QLineEdit* edtDevations = nullptr;
  // Colour swatches.
  QFrame* shpNColor = nullptr;
  QFrame* shpPColor = nullptr;
  QFrame* shpLineColor = nullptr;
  QFrame* shpGridColor = nullptr;
  QFrame* shpPointColor = nullptr;
  QFrame* shpHlColor = nullptr;
  QFrame* shpGrpBgColor = nullptr;
  QSpinBox* spnLineWidth = nullptr;
  QSpinBox* spnPointLen = nullptr;
  QCheckBox* chbPonitVisible = nullptr;
  QSpinBox* spnPointsPage = nullptr;
  QSpinBox* spnDevRange = nullptr;
  QSpinBox* spnDevVIniRange = nullptr;
  QSpinBox* spnDevInc = nullptr;
  QSpinBox* spnPoiInc = nullptr;

  // The button beside a swatch, which opens the colour dialog for it.
  QPushButton* ColourButton(const QFrame* swatch) const;
  // The colour a swatch holds.
  BgrColor SwatchColour(const QFrame* swatch) const;

  // The colour dialog, preset to a colour; empty when cancelled. Tests
  // replace it.
  std::function<std::optional<QColor>(QWidget* parent, const QColor& initial)> ChooseColour;

 protected:
  bool Save() override;

 private:
  struct Swatch {
    QFrame* shape;
    QPushButton* button;
    BgrColor colour;
  };

  QWidget* BuildLimitGroup();
  QWidget* BuildLineGroup();
  QWidget* BuildGridGroup();
  QWidget* BuildPointGroup();
  QWidget* BuildPlotGroup();
  QWidget* BuildDeviationGroup();
  QFrame* MakeSwatch(QWidget* parent);
  QSpinBox* MakeSpin(QWidget* parent, int minimum, int maximum);
  void ShowSettings(const ViewSettings& view);
  void SetSwatchColour(QFrame* shape, BgrColor colour);
  void PickColour(QFrame* shape);
  std::size_t SwatchIndex(const QFrame* shape) const;
  // The settings in the controls; empty, after the refusal, when the
  // deviation limit is not a whole number.
  std::optional<ViewSettings> SettingsFromControls();
  void SaveAndApply(const ViewSettings& settings);

  std::vector<Swatch> FSwatches;
};

}  // namespace tessaly
