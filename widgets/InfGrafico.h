// TGraficoInf: the settings object of a chart, published as its Grafico.
// AtraeMouse, SelecaoCor, SelecaoTamPonto, EscalaXInicial and EscalaYInicial
// are plain fields; every other property forwards to a part of the chart.
#pragma once

#include <QString>

#include "core/BgrColor.h"

namespace tessaly {

class TGraficoOK;
class TLinha;

class TGraficoInf {
 public:
  explicit TGraficoInf(TGraficoOK& chart);

  // Plot background and grid-line colour (the panel's).
  BgrColor Cor() const;
  void SetCor(BgrColor colour);
  BgrColor CorExo() const;
  void SetCorExo(BgrColor colour);
  // Cell height and width in pixels; accepted only when different and > 0.
  double AlturaLinha() const;
  void SetAlturaLinha(double pixels);
  double LarguraColuna() const;
  void SetLarguraColuna(double pixels);
  // Axis titles.
  QString TextoX() const;
  void SetTextoX(const QString& text);
  QString TextoY() const;
  void SetTextoY(const QString& text);
  // The chart's view state: first record label, value at the middle line,
  // records per grid column, value units per grid row.
  double PontoInicioX() const;
  void SetPontoInicioX(double value);
  double PontoMedioY() const;
  void SetPontoMedioY(double value);
  double IncrementoX() const;
  void SetIncrementoX(double value);
  double IncrementoY() const;
  void SetIncrementoY(double value);
  // Create or free the scroll bars (navigators) and zoom sliders.
  bool NavegadorX() const;
  void SetNavegadorX(bool on);
  bool NavegadorY() const;
  void SetNavegadorY(bool on);
  bool EscalaX() const;
  void SetEscalaX(bool on);
  bool EscalaY() const;
  void SetEscalaY(bool on);
  TLinha& Linha();
  // Slider bounds; set only while the slider exists, 0 read without it.
  int MinEscalaX() const;
  void SetMinEscalaX(int value);
  int MaxEscalaX() const;
  void SetMaxEscalaX(int value);
  int MinEscalaY() const;
  void SetMinEscalaY(int value);
  int MaxEscalaY() const;
  void SetMaxEscalaY(int value);

  bool AtraeMouse = false;        // stored, not used in drawing
  BgrColor SelecaoCor = 0x0000FF;  // colour of the highlighted point (red)
  int SelecaoTamPonto = 10;       // its dot size
  int EscalaXInicial = 0;         // position of a new horizontal slider
  int EscalaYInicial = 0;         // position of a new vertical slider

 private:
  TGraficoOK& chart_;
};

}  // namespace tessaly
