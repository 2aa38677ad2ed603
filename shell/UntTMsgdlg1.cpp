#include "shell/UntTMsgdlg1.h"

#include "shell/UntTMsgDlg0.h"

namespace tessaly {
namespace {

TMsgDlg::AutoAnswer& AutoAnswerHook() {
  static TMsgDlg::AutoAnswer hook;
  return hook;
}

std::vector<TMsgDlg::Call>& RecordedCalls() {
  static std::vector<TMsgDlg::Call> calls;
  return calls;
}

}  // namespace

TMsgDlg::TMsgDlg(QObject* owner) : QObject(owner) {}

void TMsgDlg::ShowOk(const QString& caption, const QString& text, TMsgDlgType style) {
  Botoes = {TMsgDlgBtn::mbOK};
  Estilo = style;
  Caption = caption;
  Mensagem = text;
  Execute();
}

int TMsgDlg::Execute() {
  if (const auto& answer = AutoAnswerHook()) {
    const int result = answer(*this);
    RecordedCalls().push_back({Caption, Mensagem, Estilo, Botoes, result, DefaultButton});
    return result;
  }
  TFrmMsgDlg window(*this);
  return window.exec();
}

void TMsgDlg::SetAutoAnswer(AutoAnswer answer) { AutoAnswerHook() = std::move(answer); }

const std::vector<TMsgDlg::Call>& TMsgDlg::Calls() { return RecordedCalls(); }

void TMsgDlg::ClearCalls() { RecordedCalls().clear(); }

}  // namespace tessaly
