// A temporary program home (with Lib/) that AppContext points at during a
// test; restores the previous home and context afterwards.
#pragma once

#include <QTemporaryDir>

#include <filesystem>
#include <string>

#include "app/AppContext.h"
#include "app/UntTMsgdlg1.h"

namespace tessaly::testing {

class TempHome {
 public:
  TempHome() : previous_(AppContext::Instance().CurrentDir) {
    std::filesystem::create_directories(Lib(""));
    AppContext::Instance().Reset();
    AppContext::Instance().CurrentDir = Home();
    TMsgDlg::ClearCalls();
    TMsgDlg::SetAutoAnswer([](const TMsgDlg&) { return 1; });
  }
  ~TempHome() {
    TMsgDlg::SetAutoAnswer(nullptr);
    TMsgDlg::ClearCalls();
    AppContext::Instance().Reset();
    AppContext::Instance().CurrentDir = previous_;
  }
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;

  std::string Home() const { return dir_.path().toStdString() + "/"; }
  std::string Lib(const std::string& name) const { return Home() + "Lib/" + name; }

 private:
  QTemporaryDir dir_;
  std::string previous_;
};

}  // namespace tessaly::testing
