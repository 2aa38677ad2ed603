// TPainel: the plot surface of a chart, with its dotted grid, and TBackPainel,
// the borderless panel holding it that keeps fixed margins to the chart's
// edges (left 95, top 35, right 40, bottom 75) when the chart is resized.
// The panel owns the value and record label strips (placed in the chart around
// the back panel) and the profile line (filling the panel).
#pragma once

#include <QWidget>

#include "core/BgrColor.h"

namespace tessaly {

class TGraficoOK;
class TIndices;
class TLinha;

class TBackPainel : public QWidget {
  Q_OBJECT

 public:
  explicit TBackPainel(QWidget* parent);
};

class TPainel : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kLeft = 95;
  static constexpr int kTop = 35;
  static constexpr int kRightMargin = 40;
  static constexpr int kBottomMargin = 75;

  TPainel(TGraficoOK& chart, TBackPainel& back);

  // Position and size of the plot area in the chart.
  int Topo() const;
  int Esquerda() const;
  int Largura() const;
  int Altura() const;

  // Setting the row count makes the cell height panel height / rows; setting
  // the column count makes the cell width panel width / columns (counts of 0
  // or less are stored but leave the cell size alone).
  int QtdLinhas() const { return qtdLinhas_; }
  void SetQtdLinhas(int rows);
  int QtdColunas() const { return qtdColunas_; }
  void SetQtdColunas(int cols);

  BgrColor Cor() const { return cor_; }
  void SetCor(BgrColor colour);
  BgrColor CorExo() const { return corExo_; }
  void SetCorExo(BgrColor colour);

  // Cell size in pixels; a change (to a value above 0) repaints the grid and
  // the labels of that direction.
  double AlturaCelula() const { return alturaCelula_; }
  void SetAlturaCelula(double pixels);
  double LarguraCelula() const { return larguraCelula_; }
  void SetLarguraCelula(double pixels);
  // Pixels per value unit and per record.
  double RAlturaCelula() const;
  double RLarguraCelula() const;
  // x of the first vertical grid line.
  double PPontoInicioX() const { return 1 + larguraCelula_; }

  TIndices& IndicesV() { return *indicesV_; }
  const TIndices& IndicesV() const { return *indicesV_; }
  TIndices& IndicesH() { return *indicesH_; }
  const TIndices& IndicesH() const { return *indicesH_; }
  TLinha& Linha() { return *linha_; }
  const TLinha& Linha() const { return *linha_; }
  TBackPainel& BackPainel() { return back_; }

  // Fills the back panel with the plot and the plot with the line, and
  // places the label strips around the back panel.
  void PlaceParts();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintSurveyLines(class QPainter& painter) const;

  TGraficoOK& chart_;
  TBackPainel& back_;
  TIndices* indicesV_;
  TIndices* indicesH_;
  TLinha* linha_;
  int qtdLinhas_ = 5;
  int qtdColunas_ = 10;
  BgrColor cor_ = 0xFFBBBB;
  BgrColor corExo_ = 0x3A3A3A;
  double alturaCelula_ = 0;
  double larguraCelula_ = 0;
};

}  // namespace tessaly
