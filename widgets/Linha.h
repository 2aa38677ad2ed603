// TLinha: the profile line of a chart, a transparent control filling the plot
// panel. Draws the values (one double per record, in order of arrival) as
// one polyline over the visible indices only, with optional sample dots, a
// highlighted point that lasts one paint and a small mark above each point
// whose record carries a quality flag. The values are its own (added
// one by one) or held elsewhere and shown in place (a record source's).
#pragma once

#include <QWidget>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/BgrColor.h"

namespace tessaly {

class TGraficoOK;

class TLinha : public QWidget {
  Q_OBJECT

 public:
  TLinha(TGraficoOK& chart, QWidget* parent);

  // Appends a value; amortised constant time. A value above the maximum so
  // far becomes the maximum. The horizontal scroll bar's and slider's maxima
  // become the number of values. A new or repeated peak resets the vertical
  // slider (when it exists) to 14..200 at 107 without applying that zoom.
  // Values shown from elsewhere become the line's own first (one copy).
  void AdicionaValor(double value);
  // Shows values held elsewhere, in place: they must stay valid until the
  // next MostraValores, AdicionaValor or Limpa. Values past the number shown
  // before count as appended: the same as AdicionaValor of each, with the
  // slider reset done once when they reach or pass the maximum. A source
  // that grew is shown again this way.
  void MostraValores(std::span<const double> values);
  // Shows the quality flags of the values (one byte each, QualityFlags.h)
  // as small marks above the flagged points, read in place like values held
  // elsewhere; empty for none.
  void ShowFlags(std::span<const std::uint8_t> flags);
  std::span<const std::uint8_t> Flags() const { return flags_; }
  // Removes all values; the maximum is kept.
  void Limpa();
  int QtdValores() const { return static_cast<int>(valores_.size()); }
  std::span<const double> Valores() const { return valores_; }
  double ValorMaximo() const { return valorMaximo_; }

  // A point is to be drawn highlighted by the next paint that shows it.
  bool Seleciona() const { return seleciona_; }
  void SetSeleciona(bool on) { seleciona_ = on; }
  double SelX() const { return selX_; }
  double SelY() const { return selY_; }
  void SetSel(double index, double value);

  BgrColor Cor() const { return cor_; }
  void SetCor(BgrColor colour);
  int Largura() const { return largura_; }
  void SetLargura(int width);
  bool PostosVisiveis() const { return postosVisiveis_; }
  void SetPostosVisiveis(bool on);
  int PontosTamanho() const { return pontosTamanho_; }
  void SetPontosTamanho(int size);
  BgrColor PontosCor() const { return pontosCor_; }
  void SetPontosCor(BgrColor colour);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void AfterValuesAdded(bool peak);

  TGraficoOK& chart_;
  std::vector<double> own_;            // the values added here
  std::span<const double> valores_;    // the values drawn: own_, or shown from elsewhere
  bool shownFromElsewhere_ = false;
  std::span<const std::uint8_t> flags_;  // held elsewhere
  double valorMaximo_ = 0;
  bool seleciona_ = false;
  double selX_ = 0;
  double selY_ = 0;
  BgrColor cor_ = 0xFF0000;
  int largura_ = 1;
  bool postosVisiveis_ = false;
  int pontosTamanho_ = 1;
  BgrColor pontosCor_ = 0;
};

}  // namespace tessaly
