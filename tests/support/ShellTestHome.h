// A program home for the tests of windows: a TempHome made the program's
// folder (AppContext::CurrentDir) with a fresh AppContext, every message box
// answered without showing it. The previous folder and context come back
// when the test ends.
#pragma once

#include <QString>

#include <string>

#include "shell/AppContext.h"
#include "shell/UntTMsgdlg1.h"
#include "support/TempHome.h"

namespace tessaly::testing {

class ShellTestHome : public TempHome {
 public:
  // answer: what every message box returns (OK unless told).
  explicit ShellTestHome(Content content = Content::EmptyLib, int answer = mrOk)
      : TempHome(content), previous_(AppContext::Instance().CurrentDir) {
    AppContext::Instance().Reset();
    AppContext::Instance().CurrentDir = Home();
    TMsgDlg::ClearCalls();
    Answer(answer);
  }
  ~ShellTestHome() {
    TMsgDlg::SetAutoAnswer(nullptr);
    TMsgDlg::ClearCalls();
    AppContext::Instance().Reset();
    AppContext::Instance().CurrentDir = previous_;
  }

  // From now on every message box returns `answer`.
  static void Answer(int answer) {
    TMsgDlg::SetAutoAnswer([answer](const TMsgDlg&) { return answer; });
  }

  QString QSample(const std::string& name) const { return QString::fromStdString(Sample(name)); }

 private:
  std::string previous_;
};

}  // namespace tessaly::testing
