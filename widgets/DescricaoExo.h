// TDescricaoExo: an axis title of the chart. Estilo 0 draws the text turned
// by 90 degrees (reading upward) and centred in the strip's height; Estilo 1
// draws it level, centred horizontally, 8 pixels from the top.
#pragma once

#include <QString>
#include <QWidget>

namespace tessaly {

class TDescricaoExo : public QWidget {
  Q_OBJECT

 public:
  TDescricaoExo(int estilo, const QString& texto, QWidget* parent);

  int Estilo() const { return estilo_; }
  void SetEstilo(int estilo);
  const QString& Texto() const { return texto_; }
  void SetTexto(const QString& texto);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int estilo_;
  QString texto_;
};

}  // namespace tessaly
