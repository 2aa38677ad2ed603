// TGraficoOK: the deviation profile chart of every log window. One value per
// record, plotted in record order as a polyline over a dotted grid, value
// labels on the left, record labels along the bottom, two axis titles, and
// optional scroll bars (navigators) and zoom sliders.
//
// Parts: Grafico (TGraficoInf, the settings), Painel (TPainel, the plot, with
// the label strips IndicesV / IndicesH and the line Linha), DescricaoX /
// DescricaoY (axis titles). 561 x 200 pixels at creation; the plot keeps
// margins left 95, top 35, right 40, bottom 75.
//
// Use from a window:
//   ApplyChartDesignSettings(*chart);             // widgets/ChartSetup.h
//   chart->AoClicar = [this](TLinha*, bool& Seleciona, double X, double Y) {...};
//   chart->Grafico().Linha().AdicionaValor(dev);  // or MostraValores(values held elsewhere)
//   chart->Grafico().SetEscalaX(true); ...; ApplyViewSettings(*chart, view);
//   chart->SelecionaPonto(record - 1);
//
// Painting walks only the visible indices, so its cost does not depend on the
// number of values. Colours are 24-bit blue-green-red values (0x00BBGGRR).
#pragma once

#include <QFrame>
#include <functional>
#include <memory>

#include "core/BgrColor.h"
#include "core/RecordLines.h"
#include "widgets/DescricaoExo.h"
#include "widgets/Indices.h"
#include "widgets/InfGrafico.h"
#include "widgets/Linha.h"
#include "widgets/Painel.h"

class QScrollBar;
class QSlider;

namespace tessaly {

class TGraficoOK : public QFrame {
  Q_OBJECT

 public:
  explicit TGraficoOK(QWidget* parent = nullptr);
  ~TGraficoOK() override;

  TGraficoInf& Grafico() { return grafico_; }
  const TGraficoInf& Grafico() const { return grafico_; }
  TPainel& Painel() { return *painel_; }
  const TPainel& Painel() const { return *painel_; }
  TDescricaoExo& DescricaoX() { return *descricaoX_; }
  TDescricaoExo& DescricaoY() { return *descricaoY_; }

  // Raised by a mouse press over the plot, when assigned: X is the point
  // index nearest the pointer, Y the value under it. Seleciona arrives true;
  // when the handler leaves it true the point is drawn highlighted once.
  std::function<void(TLinha* Sender, bool& Seleciona, double X, double Y)> AoClicar;

  // Background of the chart around the plot (clBtnFace at start).
  BgrColor Color() const { return color_; }
  void SetColor(BgrColor colour);

  // Highlights point `index` (when it is not beyond the number of values) and,
  // when it lies outside the record labels shown, moves the horizontal scroll
  // bar to index minus half the labels' range.
  void SelecionaPonto(double index);
  // Puts `value` at the vertical middle (vertical scroll bar position := half
  // its maximum minus the value) and repaints the line.
  void CentralizaY(double value);

  // The navigators and sliders, nullptr while switched off.
  QScrollBar* NavegadorXControl() const { return navegadorX_; }
  QScrollBar* NavegadorYControl() const { return navegadorY_; }
  QSlider* EscalaXControl() const { return escalaX_; }
  QSlider* EscalaYControl() const { return escalaY_; }
  // Moves a zoom slider by delta (the windows' F7 to F10) unless that would
  // pass its minimum or maximum; nothing without the slider.
  void PassoEscalaX(int delta);
  void PassoEscalaY(int delta);

  // The survey lines of the values' records (RecordLines.h), shown behind
  // the profile (ChartLines.h); null: none.
  void SetSurveyLines(std::shared_ptr<const RecordLines> lines);
  const RecordLines* SurveyLines() const { return surveyLines_.get(); }

  // The index of the first point shown: the horizontal scroll bar's position,
  // or 0 without one.
  double FirstIndex() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class TGraficoInf;
  friend class TLinha;
  friend class TIndices;
  friend class TPainel;

  void SetNavegadorX(bool on);
  void SetNavegadorY(bool on);
  void SetEscalaX(bool on);
  void SetEscalaY(bool on);
  void ApplyHorizontalZoom(int position);
  void ApplyVerticalZoom(int position);
  void PlaceControls();
  void RefreshValueLabels();
  void RefreshRecordLabels();
  void RepaintLine();

  TGraficoInf grafico_;
  TBackPainel* backPainel_;
  TPainel* painel_;
  TDescricaoExo* descricaoX_;
  TDescricaoExo* descricaoY_;
  QSlider* escalaX_ = nullptr;
  QSlider* escalaY_ = nullptr;
  QScrollBar* navegadorX_ = nullptr;
  QScrollBar* navegadorY_ = nullptr;
  BgrColor color_ = 0xF0F0F0;
  std::shared_ptr<const RecordLines> surveyLines_;
  // View state.
  double pontoInicioX_ = 0;
  double pontoMedioY_ = 0;
  double incrementoX_ = 1.0;
  double incrementoY_ = 1.0;
};

}  // namespace tessaly
