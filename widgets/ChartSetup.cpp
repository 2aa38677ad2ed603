#include "widgets/ChartSetup.h"

#include <QScrollBar>
#include <QSlider>

#include "widgets/GraficoOk.h"

namespace tessaly {

void ApplyChartDesignSettings(TGraficoOK& chart) {
  TGraficoInf& settings = chart.Grafico();
  settings.SetCor(0xFFBBBB);
  settings.SetCorExo(0x3A3A3A);
  settings.SetAlturaLinha(19);
  settings.SetLarguraColuna(42.6);
  settings.SetTextoX(QStringLiteral("SAMPLES"));
  settings.SetTextoY(QStringLiteral("DEVIATION"));
  settings.SetPontoInicioX(1);
  settings.SetIncrementoX(1);
  settings.SetIncrementoY(1);
  settings.SetNavegadorX(false);
  settings.SetNavegadorY(false);
  settings.SetEscalaX(false);
  settings.SetEscalaY(false);
  settings.SetMinEscalaX(-999999);
  settings.SetMaxEscalaX(999999);
  settings.SetMinEscalaY(-999999);
  settings.SetMaxEscalaY(999999);
  settings.AtraeMouse = false;
  settings.SelecaoCor = 0x0000FF;
  settings.SelecaoTamPonto = 10;
  settings.EscalaXInicial = 0;
  settings.EscalaYInicial = 0;
}

void ShowLogWindowControls(TGraficoOK& chart) {
  TGraficoInf& settings = chart.Grafico();
  settings.SetEscalaX(true);
  settings.SetEscalaY(true);
  settings.SetNavegadorX(true);
  settings.SetNavegadorY(true);
  settings.SetMaxEscalaX(800);
  settings.SetMaxEscalaY(50000);
}

void ApplyViewSettings(TGraficoOK& chart, const ViewSettings& view) {
  TGraficoInf& settings = chart.Grafico();
  TLinha& line = settings.Linha();
  line.SetCor(view.LineColor);
  line.SetLargura(view.LineWidth);
  chart.Painel().SetCorExo(view.GridColor);
  line.SetPontosCor(view.PointColor);
  settings.SelecaoCor = view.HighlightColor;
  settings.SelecaoTamPonto = view.PointSize + 2;
  line.SetPontosTamanho(view.PointSize);
  line.SetPostosVisiveis(view.PointsVisible);

  if (QSlider* zoomX = chart.EscalaXControl()) zoomX->setValue(view.SamplesPerPage);
  if (QScrollBar* scrollY = chart.NavegadorYControl()) scrollY->setMaximum(view.MaxDeviation);
  chart.CentralizaY(0);

  settings.SetCor(view.GraphBackground);
  if (QSlider* zoomY = chart.EscalaYControl()) zoomY->setValue(view.InitialDevRange);

  for (QSlider* zoom : {chart.EscalaXControl(), chart.EscalaYControl()}) {
    if (zoom) zoom->setTickInterval(view.DevIncrement);
  }
  const int step = static_cast<int>(static_cast<std::uint32_t>(view.PointIncrement) & 0xFFFFu);
  for (QScrollBar* scroll : {chart.NavegadorXControl(), chart.NavegadorYControl()}) {
    if (scroll) {
      scroll->setSingleStep(step);
      scroll->setPageStep(2 * step);
    }
  }
  line.update();
}

}  // namespace tessaly
