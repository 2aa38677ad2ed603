#include "widgets/InfGrafico.h"

#include <QSlider>

#include "widgets/GraficoOk.h"

namespace tessaly {

namespace {

int Minimum(const QSlider* slider) { return slider ? slider->minimum() : 0; }
int Maximum(const QSlider* slider) { return slider ? slider->maximum() : 0; }

}  // namespace

TGraficoInf::TGraficoInf(TGraficoOK& chart) : chart_(chart) {}

BgrColor TGraficoInf::Cor() const { return chart_.Painel().Cor(); }
void TGraficoInf::SetCor(BgrColor colour) { chart_.Painel().SetCor(colour); }
BgrColor TGraficoInf::CorExo() const { return chart_.Painel().CorExo(); }
void TGraficoInf::SetCorExo(BgrColor colour) { chart_.Painel().SetCorExo(colour); }

double TGraficoInf::AlturaLinha() const { return chart_.Painel().AlturaCelula(); }
void TGraficoInf::SetAlturaLinha(double pixels) { chart_.Painel().SetAlturaCelula(pixels); }
double TGraficoInf::LarguraColuna() const { return chart_.Painel().LarguraCelula(); }
void TGraficoInf::SetLarguraColuna(double pixels) { chart_.Painel().SetLarguraCelula(pixels); }

QString TGraficoInf::TextoX() const { return chart_.DescricaoX().Texto(); }
void TGraficoInf::SetTextoX(const QString& text) { chart_.DescricaoX().SetTexto(text); }
QString TGraficoInf::TextoY() const { return chart_.DescricaoY().Texto(); }
void TGraficoInf::SetTextoY(const QString& text) { chart_.DescricaoY().SetTexto(text); }

double TGraficoInf::PontoInicioX() const { return chart_.pontoInicioX_; }
void TGraficoInf::SetPontoInicioX(double value) {
  if (value == chart_.pontoInicioX_) return;
  chart_.pontoInicioX_ = value;
  chart_.RefreshRecordLabels();
}

double TGraficoInf::PontoMedioY() const { return chart_.pontoMedioY_; }
void TGraficoInf::SetPontoMedioY(double value) {
  if (value == chart_.pontoMedioY_) return;
  chart_.pontoMedioY_ = value;
  chart_.RefreshValueLabels();
}

// Increments divide the cell sizes: only positive ones are taken.
double TGraficoInf::IncrementoX() const { return chart_.incrementoX_; }
void TGraficoInf::SetIncrementoX(double value) {
  if (!(value > 0) || value == chart_.incrementoX_) return;
  chart_.incrementoX_ = value;
  chart_.RefreshRecordLabels();
}

double TGraficoInf::IncrementoY() const { return chart_.incrementoY_; }
void TGraficoInf::SetIncrementoY(double value) {
  if (!(value > 0) || value == chart_.incrementoY_) return;
  chart_.incrementoY_ = value;
  chart_.RefreshValueLabels();
}

bool TGraficoInf::NavegadorX() const { return chart_.navegadorX_ != nullptr; }
void TGraficoInf::SetNavegadorX(bool on) { chart_.SetNavegadorX(on); }
bool TGraficoInf::NavegadorY() const { return chart_.navegadorY_ != nullptr; }
void TGraficoInf::SetNavegadorY(bool on) { chart_.SetNavegadorY(on); }
bool TGraficoInf::EscalaX() const { return chart_.escalaX_ != nullptr; }
void TGraficoInf::SetEscalaX(bool on) { chart_.SetEscalaX(on); }
bool TGraficoInf::EscalaY() const { return chart_.escalaY_ != nullptr; }
void TGraficoInf::SetEscalaY(bool on) { chart_.SetEscalaY(on); }

TLinha& TGraficoInf::Linha() { return chart_.Painel().Linha(); }

int TGraficoInf::MinEscalaX() const { return Minimum(chart_.escalaX_); }
void TGraficoInf::SetMinEscalaX(int value) {
  if (chart_.escalaX_) chart_.escalaX_->setMinimum(value);
}
int TGraficoInf::MaxEscalaX() const { return Maximum(chart_.escalaX_); }
void TGraficoInf::SetMaxEscalaX(int value) {
  if (chart_.escalaX_) chart_.escalaX_->setMaximum(value);
}
int TGraficoInf::MinEscalaY() const { return Minimum(chart_.escalaY_); }
void TGraficoInf::SetMinEscalaY(int value) {
  if (chart_.escalaY_) chart_.escalaY_->setMinimum(value);
}
int TGraficoInf::MaxEscalaY() const { return Maximum(chart_.escalaY_); }
void TGraficoInf::SetMaxEscalaY(int value) {
  if (chart_.escalaY_) chart_.escalaY_->setMaximum(value);
}

}  // namespace tessaly
