// TMsgDlg: the program's message component. A window sets Botoes, Estilo,
// Caption and Mensagem and executes it; a modal TFrmMsgDlg sized to the text
// shows the message and the pressed button comes back as a modal result
// (Yes 6, No 7, OK 1, Cancel 2, Abort 3, Retry 4, Ignore 5, All 8; the close
// box gives 2). The properties keep their values between executions.
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

namespace tessaly {

enum class TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// A set of message buttons.
class TMsgDlgButtons {
 public:
  TMsgDlgButtons() = default;
  TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons) {
    for (auto b : buttons) Include(b);
  }
  void Include(TMsgDlgBtn b) { bits_ |= Bit(b); }
  bool Contains(TMsgDlgBtn b) const { return (bits_ & Bit(b)) != 0; }
  bool Empty() const { return bits_ == 0; }
  bool operator==(const TMsgDlgButtons&) const = default;

 private:
  static std::uint16_t Bit(TMsgDlgBtn b) { return static_cast<std::uint16_t>(1u << static_cast<unsigned>(b)); }
  std::uint16_t bits_ = 0;
};

// Modal results of the message window.
inline constexpr int mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6,
                     mrNo = 7, mrAll = 8;

class TMsgDlg : public QObject {
  Q_OBJECT

 public:
  explicit TMsgDlg(QObject* owner = nullptr);

  TMsgDlgButtons Botoes;
  TMsgDlgType Estilo = TMsgDlgType::mtWarning;
  QString Mensagem;
  QString Caption;
  int HelpContext = 0;
  // The button Enter presses; none: Yes, else OK.
  std::optional<TMsgDlgBtn> DefaultButton;

  // Shows the message window modally and returns the modal result of the
  // pressed button. With an automatic answer set, returns that answer without
  // showing anything.
  int Execute();

  // Sets an OK-only message of the given style and executes it.
  void ShowOk(const QString& caption, const QString& text, TMsgDlgType style);

  // Test hook: while set, Execute records the call and returns the answer.
  // An empty function restores the real window.
  using AutoAnswer = std::function<int(const TMsgDlg&)>;
  static void SetAutoAnswer(AutoAnswer answer);

  // The executions answered automatically, oldest first.
  struct Call {
    QString Caption;
    QString Mensagem;
    TMsgDlgType Estilo;
    TMsgDlgButtons Botoes;
    int Result;
    std::optional<TMsgDlgBtn> DefaultButton;
  };
  static const std::vector<Call>& Calls();
  static void ClearCalls();
};

}  // namespace tessaly
