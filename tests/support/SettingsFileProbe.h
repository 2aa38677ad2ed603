// Settings files in tests: one file of a temporary home, its values written
// line by line and the error its reader gives; and the fault a settings
// check finds when one value of the defaults is changed.
#pragma once

#include <string>
#include <vector>

#include "core/SettingsFile.h"
#include "support/TempHome.h"

namespace tessaly::testing {

template <class Settings>
class SettingsFileProbe {
 public:
  using Reader = void (*)(const std::string& path, Settings& settings);

  // `name`: the file's name in Lib/ ("Alarms.ega"); `read`: its reader.
  SettingsFileProbe(std::string name, Reader read) : name_(std::move(name)), read_(read) {}

  std::string Path() const { return home_.Lib(name_); }
  void WriteValues(const std::vector<std::string>& values) const { WriteSettingsValues(Path(), values); }
  // The reader's SettingsError; empty when the file reads.
  std::string ReadError() const {
    Settings settings;
    try {
      read_(Path(), settings);
    } catch (const SettingsError& error) {
      return error.what();
    }
    return {};
  }

 private:
  TempHome home_;
  std::string name_;
  Reader read_;
};

// What `find` says of the default settings with `member` set to `value`.
template <class Settings, class Find>
auto FaultWithOneValue(double Settings::*member, double value, Find find) {
  Settings settings;
  settings.*member = value;
  return find(settings);
}

}  // namespace tessaly::testing
