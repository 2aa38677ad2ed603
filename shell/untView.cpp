#include "shell/untView.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

#include "core/SettingsFile.h"
#include "core/SettingsStore.h"
#include "shell/AppContext.h"
#include "shell/LogWindows.h"
#include "widgets/BgrColour.h"
#include "shell/untTFileForm.h"

namespace tessaly {

namespace {

std::optional<QColor> AskColour(QWidget* parent, const QColor& initial) {
  const QColor chosen = QColorDialog::getColor(initial, parent);
  return chosen.isValid() ? std::optional<QColor>(chosen) : std::nullopt;
}

// A swatch and its button on one line of a form.
QWidget* SwatchRow(QFrame* swatch, QPushButton* button) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(swatch);
  layout->addWidget(button);
  layout->addStretch();
  return row;
}

}  // namespace

TfrmView::TfrmView(QWidget* parent)
    : SettingsWindow(parent, QStringLiteral("View Configuration"), QStringLiteral("actView")) {
  ChooseColour = AskColour;

  auto* charts = new QGridLayout;
  charts->addWidget(BuildLineGroup(), 0, 0);
  charts->addWidget(BuildGridGroup(), 0, 1);
  charts->addWidget(BuildPointGroup(), 0, 2, 2, 1);
  charts->addWidget(BuildPlotGroup(), 1, 0);
  charts->addWidget(BuildDeviationGroup(), 1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildLimitGroup());
  layout->addLayout(charts);
  layout->addLayout(SaveAndCancelRow());
  layout->setSizeConstraint(QLayout::SetFixedSize);

  ShowSettings(AppContext::Instance().View);
  CentreOnMainWindow();
}

// ---- Controls ----

QFrame* TfrmView::MakeSwatch(QWidget* parent) {
  auto* shape = new QFrame(parent);
  shape->setFrameShape(QFrame::Box);
  shape->setFixedSize(44, 20);
  shape->setAutoFillBackground(true);
  auto* button = new QPushButton(QStringLiteral("..."), parent);
  button->setFixedWidth(28);
  button->setToolTip(QStringLiteral("Choose the colour"));
  connect(button, &QPushButton::clicked, this, [this, shape] { PickColour(shape); });
  FSwatches.push_back(Swatch{shape, button, 0});
  return shape;
}

QSpinBox* TfrmView::MakeSpin(QWidget* parent, int minimum, int maximum) {
  auto* spin = new QSpinBox(parent);
  spin->setRange(minimum, maximum);
  spin->setAlignment(Qt::AlignRight);
  spin->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);  // as wide as its largest value
  return spin;
}

QWidget* TfrmView::BuildLimitGroup() {
  auto* group = new QGroupBox;
  lblDevations = new QLabel(QStringLiteral("Highlight devations greater than:"), group);
  edtDevations = new QLineEdit(group);
  edtDevations->setObjectName("edtDevations");
  edtDevations->setAlignment(Qt::AlignRight);
  edtDevations->setMaximumWidth(90);
  lblDevations->setBuddy(edtDevations);
  shpNColor = MakeSwatch(group);
  shpPColor = MakeSwatch(group);
  auto* form = new QFormLayout(group);
  form->addRow(lblDevations, edtDevations);
  form->addRow(QStringLiteral("Negative devations highlight color"), SwatchRow(shpNColor, ColourButton(shpNColor)));
  form->addRow(QStringLiteral("Positive devations highlight color"), SwatchRow(shpPColor, ColourButton(shpPColor)));
  return group;
}

QWidget* TfrmView::BuildLineGroup() {
  auto* group = new QGroupBox(QStringLiteral("Line"));
  shpLineColor = MakeSwatch(group);
  spnLineWidth = MakeSpin(group, 0, 100);
  auto* form = new QFormLayout(group);
  form->addRow(QStringLiteral("Color:"), SwatchRow(shpLineColor, ColourButton(shpLineColor)));
  form->addRow(QStringLiteral("Width:"), spnLineWidth);
  return group;
}

QWidget* TfrmView::BuildGridGroup() {
  auto* group = new QGroupBox(QStringLiteral("Grid"));
  shpGridColor = MakeSwatch(group);
  shpGrpBgColor = MakeSwatch(group);
  auto* form = new QFormLayout(group);
  form->addRow(QStringLiteral("Color:"), SwatchRow(shpGridColor, ColourButton(shpGridColor)));
  form->addRow(QStringLiteral("Graph Backgound:"), SwatchRow(shpGrpBgColor, ColourButton(shpGrpBgColor)));
  return group;
}

QWidget* TfrmView::BuildPointGroup() {
  auto* group = new QGroupBox(QStringLiteral("Sample Point"));
  shpPointColor = MakeSwatch(group);
  shpHlColor = MakeSwatch(group);
  spnPointLen = MakeSpin(group, 1, 100);
  chbPonitVisible = new QCheckBox(QStringLiteral("Visible"), group);
  auto* form = new QFormLayout(group);
  form->addRow(QStringLiteral("Color:"), SwatchRow(shpPointColor, ColourButton(shpPointColor)));
  form->addRow(QStringLiteral("Highlight:"), SwatchRow(shpHlColor, ColourButton(shpHlColor)));
  form->addRow(QStringLiteral("Size:"), spnPointLen);
  form->addRow(chbPonitVisible);
  return group;
}

QWidget* TfrmView::BuildPlotGroup() {
  auto* group = new QGroupBox(QStringLiteral("Plot Parameters"));
  spnPointsPage = MakeSpin(group, 1, 9000);
  spnPoiInc = MakeSpin(group, 1, 100000);
  auto* form = new QFormLayout(group);
  form->addRow(QStringLiteral("Initial Samples per Page:"), spnPointsPage);
  form->addRow(QStringLiteral("Increment:"), spnPoiInc);
  return group;
}

QWidget* TfrmView::BuildDeviationGroup() {
  auto* group = new QGroupBox(QStringLiteral("Deviation"));
  spnDevRange = MakeSpin(group, 1, 100000);
  spnDevVIniRange = MakeSpin(group, 1, 100000);
  spnDevInc = MakeSpin(group, 1, 100000);
  auto* form = new QFormLayout(group);
  form->addRow(QStringLiteral("Maximun Deviation:"), spnDevRange);
  form->addRow(QStringLiteral("Initial Deviation Range:"), spnDevVIniRange);
  form->addRow(QStringLiteral("Increment:"), spnDevInc);
  return group;
}

std::size_t TfrmView::SwatchIndex(const QFrame* shape) const {
  const auto found =
      std::find_if(FSwatches.begin(), FSwatches.end(), [shape](const Swatch& swatch) { return swatch.shape == shape; });
  return static_cast<std::size_t>(found - FSwatches.begin());
}

QPushButton* TfrmView::ColourButton(const QFrame* swatch) const { return FSwatches.at(SwatchIndex(swatch)).button; }

BgrColor TfrmView::SwatchColour(const QFrame* swatch) const { return FSwatches.at(SwatchIndex(swatch)).colour; }

// A swatch keeps the settings' own colour value (a system colour stays one
// until another colour is picked) and shows it.
void TfrmView::SetSwatchColour(QFrame* shape, BgrColor colour) {
  FSwatches.at(SwatchIndex(shape)).colour = colour;
  QPalette palette = shape->palette();
  palette.setColor(QPalette::Window, ToQColor(colour));
  shape->setPalette(palette);
}

void TfrmView::PickColour(QFrame* shape) {
  if (const std::optional<QColor> chosen = ChooseColour(this, ToQColor(SwatchColour(shape))))
    SetSwatchColour(shape, FromQColor(*chosen));
}

void TfrmView::ShowSettings(const ViewSettings& view) {
  edtDevations->setText(QString::number(view.DevLimit));
  SetSwatchColour(shpNColor, view.NegDevColor);
  SetSwatchColour(shpPColor, view.PosDevColor);
  SetSwatchColour(shpLineColor, view.LineColor);
  spnLineWidth->setValue(view.LineWidth);
  SetSwatchColour(shpGridColor, view.GridColor);
  SetSwatchColour(shpPointColor, view.PointColor);
  SetSwatchColour(shpHlColor, view.HighlightColor);
  spnPointLen->setValue(view.PointSize);
  chbPonitVisible->setChecked(view.PointsVisible);
  spnPointsPage->setValue(view.SamplesPerPage);
  spnDevRange->setValue(view.MaxDeviation);
  SetSwatchColour(shpGrpBgColor, view.GraphBackground);
  spnDevVIniRange->setValue(view.InitialDevRange);
  spnDevInc->setValue(view.DevIncrement);
  spnPoiInc->setValue(view.PointIncrement);
}

// ---- Closing ----

std::optional<ViewSettings> TfrmView::SettingsFromControls() {
  ViewSettings view;
  try {
    view.DevLimit = ParseSettingsInt(edtDevations->text().toStdString(), "the deviation limit");
  } catch (const SettingsError&) {
    Refuse(edtDevations, "\"" + lblDevations->text() + "\" must be a whole number.");
    return std::nullopt;
  }
  view.NegDevColor = SwatchColour(shpNColor);
  view.PosDevColor = SwatchColour(shpPColor);
  view.LineColor = SwatchColour(shpLineColor);
  view.LineWidth = spnLineWidth->value();
  view.GridColor = SwatchColour(shpGridColor);
  view.PointColor = SwatchColour(shpPointColor);
  view.HighlightColor = SwatchColour(shpHlColor);
  view.PointSize = spnPointLen->value();
  view.PointsVisible = chbPonitVisible->isChecked();
  view.SamplesPerPage = spnPointsPage->value();
  view.MaxDeviation = spnDevRange->value();
  view.GraphBackground = SwatchColour(shpGrpBgColor);
  view.InitialDevRange = spnDevVIniRange->value();
  view.DevIncrement = spnDevInc->value();
  view.PointIncrement = spnPoiInc->value();
  return view;
}

// Rewrites the file (a failure is reported, the settings still apply for the
// run), then every open log window recolours its rows and re-sets its chart
// as far as the settings changed.
void TfrmView::SaveAndApply(const ViewSettings& settings) {
  RewriteSettings([&] { WriteViewSettings(LibFile("View.ega"), settings); });
  ViewSettings& current = AppContext::Instance().View;
  const bool chartChanged = ChartSettingsDiffer(current, settings);
  const bool gridChanged = GridSettingsDiffer(current, settings);
  current = settings;
  for (TfrmTypeFile* window : OpenLogWindows()) window->Refresh(chartChanged, gridChanged);
}

bool TfrmView::Save() {
  const std::optional<ViewSettings> settings = SettingsFromControls();
  if (settings) SaveAndApply(*settings);
  return settings.has_value();
}

}  // namespace tessaly
