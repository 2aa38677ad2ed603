// The navigation ("Pnav") import: reading a Pnav file's header, linking its
// auxiliary channels to the fixed fields "Dev", "Towfish Depth" and
// "Sounder", and handing the resulting columns to a navigation sample.
// Driven by the import window and by tessaly-cli's pnav command: every
// operation returns the message to show the user (empty when none).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/untTSample.h"

namespace tessaly {

inline constexpr std::string_view kLinkFieldDev = "Dev";
inline constexpr std::string_view kLinkFieldTowfishDepth = "Towfish Depth";
inline constexpr std::string_view kLinkFieldSounder = "Sounder";
inline constexpr std::string_view kLinkSeparator = " - ";

class PnavImport {
 public:
  // Results of CheckNewLink.
  static constexpr int kChannelLinked = 1;
  static constexpr int kFieldLinked = 2;
  static constexpr int kLinkAccepted = 3;

  // Choosing a file: clears channels, links and link columns, reads the
  // header. Returns "Invalid Pnav format." for a header that is missing,
  // does not begin with "@" or gives an item a width of 0, a read-failure
  // text for an unreadable file, otherwise empty.
  std::string NewFile(const std::string& path);

  // Reads the first two lines of path and analyses the second (the header).
  // -1: usable (options enabled); 0: not usable (missing, not beginning with
  // "@", a position or further item of width 0, unreadable, or a first or
  // second line longer than kMaxLineBytes).
  // Each analysis starts from the state of a fresh dialog.
  int ParsePnavHeader(const std::string& path);
  static constexpr std::size_t kMaxLineBytes = 1u << 20;

  // Links channelItem ("@0".."@9", one of ChannelItems()) to fixedField (one
  // of FixedFields()). Returns the message of a refused link, empty when the
  // link is kept.
  std::string AddLink(std::string_view channelItem, std::string_view fixedField);

  // Removes link entry index (0-based in Links()); its fixed field becomes
  // free. "Please select a link to remove" for no such entry.
  std::string RemoveLink(int index);

  // Whether a link entry has the fixed field "Dev".
  bool HasDevLink() const;

  // The OK check: empty when the import can go ahead.
  std::string CheckOk() const;

  // FChannelCols by channel number; other numbers read as -1 and are ignored.
  std::int32_t ChannelColumn(int channel) const;
  void SetChannelColumn(int channel, std::int32_t column);

  static const std::array<std::string_view, 3>& FixedFields();
  const std::vector<std::string>& ChannelItems() const { return channelItems_; }
  const std::vector<std::string>& Links() const { return links_; }
  bool OptionsEnabled() const { return optionsEnabled_; }
  const std::string& FilePath() const { return filePath_; }

  // State read by the hand-over (0-based columns; -1 means none).
  std::array<std::int32_t, 10> FChannelCols{};
  std::int32_t FDevCol = -1;
  std::int32_t FTFDepthCol = -1;
  std::int32_t FSounderCol = -1;
  std::int32_t FPlusCol = -1;
  std::int32_t FPCol = -1;
  std::int32_t FGtCol = -1;
  std::int32_t FTimeCol = 0;
  char FPosKind = 0;  // '+' or 'p'; 0 until a header names a position
  std::string FHeaderLine;

 private:
  enum class ReadResult { Ok, Unreadable, TooLong };
  ReadResult ReadHeaderLine(const std::string& path);
  bool AnalyseDescriptor(std::string_view descriptor, std::int32_t index, std::int32_t& shift);
  int CheckNewLink();
  std::int32_t* FieldColumn(std::string_view fixedField);

  std::vector<std::string> channelItems_;
  std::vector<std::string> links_;
  bool optionsEnabled_ = false;
  bool lastReadFailed_ = false;
  std::string filePath_;
};

// Configures a fresh navigation sample from a finished import, in this order:
// deviation, time, fix, towfish position, further item, towfish depth,
// sounder, mark column, SetKind(8), FHeading := header line (FDevDigits, 5,
// is set by the document that creates the sample). Returns the OK
// check's message, and configures nothing, when no "Dev" link exists.
std::string ApplyHandOver(TSample& sample, const PnavImport& import);

}  // namespace tessaly
