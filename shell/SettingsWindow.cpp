#include "shell/SettingsWindow.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QPushButton>

#include "shell/AppContext.h"

namespace tessaly {

SettingsWindow::SettingsWindow(QWidget* parent, const QString& title, const QString& command)
    : TfrmMother(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      FCommand(command) {
  setWindowTitle(title);
  AppContext::Instance().SetActionsEnabled({FCommand}, false);
}

SettingsWindow::~SettingsWindow() { ReleaseCommand(); }

QHBoxLayout* SettingsWindow::SaveAndCancelRow() { return SaveAndCancelButtons(BitBtn1, BitBtn2, FCancelled); }

QLineEdit* SettingsWindow::AddNumberRow(QFormLayout* form, QWidget* parent, std::string_view caption, double low,
                                        double high) {
  const QString text = QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(text);
  edit->setAlignment(Qt::AlignRight);
  edit->setMaximumWidth(90);
  edit->setToolTip(QStringLiteral("%1 to %2").arg(QString::fromStdString(SettingsNumberText(low)),
                                                  QString::fromStdString(SettingsNumberText(high))));
  form->addRow(text, edit);
  return edit;
}

void SettingsWindow::Refuse(QLineEdit* edit, const QString& message) {
  msgMenssage->ShowOk(QStringLiteral("Warning"), message, TMsgDlgType::mtWarning);
  edit->setFocus();
  edit->selectAll();
}

void SettingsWindow::closeEvent(QCloseEvent* event) {
  if (!FCancelled && !Save()) {
    event->ignore();
    return;
  }
  ReleaseCommand();
  TfrmMother::closeEvent(event);
}

void SettingsWindow::ReleaseCommand() {
  if (FCommandReleased) return;
  FCommandReleased = true;
  AppContext::Instance().SetActionsEnabled({FCommand}, true);
}

}  // namespace tessaly
