#include "shell/UntTMsgDlg0.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <cmath>

namespace tessaly {
namespace {

// Message texts use CR (and CR LF) as line breaks.
QString DisplayText(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

int PrimaryScreenWidth() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().width() : 1024;
}

}  // namespace

MsgDlgLayout ComputeMsgDlgLayout(int buttonCount, QSize labelNatural, int screenWidth,
                                 const std::function<int(int)>& wrappedHeight) {
  MsgDlgLayout l;
  const int panelWidth = buttonCount * kMsgButtonStep - 8;
  int labelTop = 24;
  int labelWidth = labelNatural.width();
  int labelHeight = labelNatural.height();
  const double limit = 0.6 * screenWidth;
  if (labelWidth > limit) {
    labelTop = 16;
    labelWidth = panelWidth <= limit ? static_cast<int>(std::lround(limit)) - 48 : panelWidth - 48;
    labelHeight = wrappedHeight(labelWidth);
    l.Wrapped = true;
  }
  l.Label = QRect(64, labelTop, labelWidth, labelHeight);
  const int windowWidth = panelWidth > labelWidth + 48 ? panelWidth + 32 : labelWidth + 80;
  const int panelTop = labelTop + labelHeight + (l.Wrapped ? 24 : 32);
  l.Panel = QRect(windowWidth / 2 - panelWidth / 2, panelTop, panelWidth, kMsgButtonHeight);
  l.Window = QSize(windowWidth, panelTop + kMsgButtonHeight + 28);
  l.Icon = QPoint(16, labelTop + labelHeight / 2 - kMsgIconSize / 2);
  return l;
}

TFrmMsgDlg::TFrmMsgDlg(const TMsgDlg& message, int screenWidth, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      helpContext_(message.HelpContext) {
  setWindowTitle(message.Caption);
  LabMsg = new QLabel(DisplayText(message.Mensagem), this);
  LabMsg->setObjectName("LabMsg");
  LabMsg->setTextFormat(Qt::PlainText);
  QFont bold = LabMsg->font();
  bold.setBold(true);
  LabMsg->setFont(bold);
  LabMsg->setStyleSheet("color: black;");
  ImgIcone = new QLabel(this);
  ImgIcone->setObjectName("ImgIcone");
  ImgIcone->setFixedSize(kMsgIconSize, kMsgIconSize);
  PanBotoes = new QWidget(this);
  PanBotoes->setObjectName("PanBotoes");

  btnYes = AddButton("&Yes", mrYes);
  btnNo = AddButton("&No", mrNo);
  btnOk = AddButton("&Ok", mrOk);
  btnCancel = AddButton("&Cancel", mrCancel);
  btnAbort = AddButton("&Abort", mrAbort);
  btnRetry = AddButton("&Try", mrRetry);
  btnIgnore = AddButton("&Ignore", mrIgnore);
  btnAll = AddButton("&All", mrAll);
  btnHelp = AddButton("&Help", mrNone);
  connect(btnHelp, &QPushButton::clicked, this, [this] { emit HelpRequested(helpContext_); });
  const int buttonCount = PlaceButtons(message);
  ShowIcon(message.Estilo);

  const QSize natural = LabMsg->fontMetrics().size(0, LabMsg->text());
  QLabel* label = LabMsg;
  const auto wrappedHeight = [label](int width) {
    label->setWordWrap(true);
    return label->heightForWidth(width);
  };
  Apply(ComputeMsgDlgLayout(buttonCount, natural, screenWidth > 0 ? screenWidth : PrimaryScreenWidth(),
                            wrappedHeight));
}

QPushButton* TFrmMsgDlg::AddButton(const char* caption, int modalResult) {
  auto* button = new QPushButton(QString::fromLatin1(caption), PanBotoes);
  QFont bold = button->font();
  bold.setBold(true);
  button->setFont(bold);
  button->setAutoDefault(false);
  button->resize(kMsgButtonWidth, kMsgButtonHeight);
  button->hide();
  if (modalResult != mrNone) connect(button, &QPushButton::clicked, this, [this, modalResult] { done(modalResult); });
  return button;
}

int TFrmMsgDlg::PlaceButtons(const TMsgDlg& message) {
  const std::array<std::pair<TMsgDlgBtn, QPushButton*>, 9> order{{{TMsgDlgBtn::mbYes, btnYes},
                                                                  {TMsgDlgBtn::mbNo, btnNo},
                                                                  {TMsgDlgBtn::mbOK, btnOk},
                                                                  {TMsgDlgBtn::mbCancel, btnCancel},
                                                                  {TMsgDlgBtn::mbAbort, btnAbort},
                                                                  {TMsgDlgBtn::mbRetry, btnRetry},
                                                                  {TMsgDlgBtn::mbIgnore, btnIgnore},
                                                                  {TMsgDlgBtn::mbAll, btnAll},
                                                                  {TMsgDlgBtn::mbHelp, btnHelp}}};
  int x = 0;
  for (const auto& [member, button] : order) {
    if (!message.Botoes.Contains(member)) continue;
    button->move(x, 0);
    button->show();
    x += kMsgButtonStep;
  }
  QPushButton* defaultButton = message.Botoes.Contains(TMsgDlgBtn::mbYes)  ? btnYes
                               : message.Botoes.Contains(TMsgDlgBtn::mbOK) ? btnOk
                                                                           : nullptr;
  for (const auto& [member, button] : order)
    if (message.DefaultButton == member && message.Botoes.Contains(member)) defaultButton = button;
  if (defaultButton) defaultButton->setDefault(true);
  return x / kMsgButtonStep;
}

void TFrmMsgDlg::ShowIcon(TMsgDlgType kind) {
  QStyle::StandardPixmap pixmap = QStyle::SP_MessageBoxWarning;
  switch (kind) {
    case TMsgDlgType::mtWarning: pixmap = QStyle::SP_MessageBoxWarning; break;
    case TMsgDlgType::mtError: pixmap = QStyle::SP_MessageBoxCritical; break;
    case TMsgDlgType::mtInformation: pixmap = QStyle::SP_MessageBoxInformation; break;
    case TMsgDlgType::mtConfirmation: pixmap = QStyle::SP_MessageBoxQuestion; break;
    case TMsgDlgType::mtCustom: return;
  }
  ImgIcone->setPixmap(style()->standardIcon(pixmap, nullptr, this).pixmap(kMsgIconSize, kMsgIconSize));
}

void TFrmMsgDlg::Apply(const MsgDlgLayout& layout) {
  layout_ = layout;
  LabMsg->setGeometry(layout.Label);
  PanBotoes->setGeometry(layout.Panel.x(), layout.Panel.y(), std::max(0, layout.Panel.width()),
                         layout.Panel.height());
  ImgIcone->move(layout.Icon);
  setFixedSize(layout.Window);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void TFrmMsgDlg::reject() { done(mrCancel); }

void TFrmMsgDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Escape) {
    QDialog::keyPressEvent(event);
    return;
  }
  if (btnCancel->isVisibleTo(this)) done(mrCancel);
  else if (btnNo->isVisibleTo(this)) done(mrNo);
}

}  // namespace tessaly
