// TIndices: a label strip of the chart. Estilo 0: value labels left of the
// plot, one per grid row around the middle line; Estilo 1: record labels under
// the plot, one per grid column. The labels are worked out whenever the view
// changes (Recalcula), so hit-testing never depends on the paint order.
#pragma once

#include <QWidget>
#include <vector>

#include "widgets/ChartScale.h"

namespace tessaly {

class TGraficoOK;

class TIndices : public QWidget {
  Q_OBJECT

 public:
  TIndices(TGraficoOK& chart, int estilo, QWidget* parent);

  int Estilo() const { return estilo_; }
  // Estilo 0: the value at the plot's top reference line (see
  // chart::TopValue); Estilo 1: the first record label.
  double PPontoInicio() const { return pPontoInicio_; }
  // Estilo 1: the last record label; Estilo 0: the last value label drawn.
  double PPontoFinal() const { return pPontoFinal_; }
  double RPPontoFinal() const { return rPPontoFinal_; }
  void SetRPPontoFinal(double value) { rPPontoFinal_ = value; }
  double QtdPontos() const { return pPontoFinal_ - pPontoInicio_; }
  // The labels as last worked out.
  const std::vector<chart::Label>& Labels() const { return labels_; }

  // Works the labels out from the chart's view state and repaints.
  void Recalcula();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintValueLabels(class QPainter& painter);
  void PaintRecordLabels(QPainter& painter);

  TGraficoOK& chart_;
  int estilo_;
  double pPontoInicio_ = 0;
  double pPontoFinal_ = 0;
  double rPPontoFinal_ = 0;
  std::vector<chart::Label> labels_;
};

}  // namespace tessaly
