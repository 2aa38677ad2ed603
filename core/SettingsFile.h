// Reading and writing the scrambled one-value-per-line settings files in Lib/.
//
// Every settings failure (missing or unreadable file, a value that does not
// convert, a value out of range, a file that cannot be written) is raised as
// SettingsError; readers that fill a settings record apply the values in file
// order, so the values before the failing line stay applied.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

class SettingsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The path of a settings file: home (ending with a separator) + "Lib/" + name.
std::string LibPath(std::string_view home, std::string_view name);

// The raw lines of a file; lines may end with CR LF, LF or CR. A final line
// end does not start another line. Throws SettingsError when the file cannot
// be opened or read, is not a regular file (a folder, a FIFO) or is larger
// than kMaxSettingsFileBytes (no settings file comes near it).
std::vector<std::string> ReadTextLines(const std::string& path);
inline constexpr std::size_t kMaxSettingsFileBytes = std::size_t{1} << 20;

// Writes the lines, each ended by CR LF, replacing the file. Throws
// SettingsError when the file cannot be created or written.
void WriteTextLines(const std::string& path, const std::vector<std::string>& lines);

// The decoded values of a scrambled settings file.
std::vector<std::string> ReadSettingsValues(const std::string& path);
// Writes each value scrambled on its own line.
void WriteSettingsValues(const std::string& path, const std::vector<std::string>& values);

// A decimal 32-bit integer (optional sign; blanks around it allowed); throws
// SettingsError naming what (for example "line 3 of /x/Lib/View.ega").
std::int32_t ParseSettingsInt(std::string_view text, std::string_view what);

// A decimal number written with "." whatever the locale (optional sign,
// digits, optionally "." and more digits; blanks around it allowed; no
// exponent, no infinity); throws SettingsError naming what.
double ParseSettingsNumber(std::string_view text, std::string_view what);
// The shortest text ParseSettingsNumber reads back as the same number.
std::string SettingsNumberText(double value);

// A value quoted for a message: in single quotes, cut after 40 bytes ("...").
std::string QuotedValue(std::string_view text);

// Why `value` cannot be the setting a window captions `caption`, a number
// from low to high (whole when `whole`): "\"Minimum satellites:\" must be a
// whole number.", "\"Cable out (m):\" must be from 0 to 10000."; empty when
// it can.
std::string SettingValueProblem(std::string_view caption, double value, double low, double high, bool whole);

}  // namespace tessaly
