// A program home for window tests: a temporary folder with a copy of the
// build's default Lib/ and the sample logs of Projects/, made the program's
// folder for the test. Message boxes are answered without showing them.
#pragma once

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/AppContext.h"
#include "app/UntTMsgdlg1.h"

namespace tessaly::testing {

inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

class TestHome {
 public:
  // answer: what every message box returns (OK unless told).
  explicit TestHome(int answer = mrOk) {
    namespace fs = std::filesystem;
    const fs::path bin(TESSALY_BIN_DIR);
    fs::copy(bin / "Lib", Path("Lib"), fs::copy_options::recursive);
    fs::copy(bin / "Projects", Path("Projects"), fs::copy_options::recursive);
    AppContext::Instance().Reset();
    AppContext::Instance().CurrentDir = Home();
    TMsgDlg::ClearCalls();
    Answer(answer);
  }
  ~TestHome() {
    TMsgDlg::SetAutoAnswer({});
    TMsgDlg::ClearCalls();
    AppContext::Instance().Reset();
  }
  TestHome(const TestHome&) = delete;
  TestHome& operator=(const TestHome&) = delete;

  static void Answer(int answer) {
    TMsgDlg::SetAutoAnswer([answer](const TMsgDlg&) { return answer; });
  }

  std::string Home() const { return dir_.path().toStdString() + "/"; }
  std::string Path(const std::string& relative) const { return Home() + relative; }
  std::string Sample(const std::string& name) const { return Path("Projects/" + name); }
  QString QSample(const std::string& name) const { return QString::fromStdString(Sample(name)); }

 private:
  QTemporaryDir dir_;
};

}  // namespace tessaly::testing
