#include "core/PnavImport.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "core/InputFile.h"
#include "core/TextHelpers.h"

namespace tessaly {

namespace {

constexpr std::string_view kInvalidFormat = "Invalid Pnav format.";
constexpr std::string_view kFillBoth = "Please fill both fields, MNEA and Fixed fields.";
constexpr std::string_view kChannelAlreadyLinked = "This NMEA field is already linked, please select other.";
constexpr std::string_view kFieldAlreadyLinked = "This Fixed Fields is already linked, please select other.";
constexpr std::string_view kSelectLinkToRemove = "Please select a link to remove";
constexpr std::string_view kNoDeviation = "No deviation selected. Please select the deviation field.";

constexpr std::array<std::string_view, 3> kFixedFields{kLinkFieldDev, kLinkFieldTowfishDepth, kLinkFieldSounder};

// Reads up to limit bytes from the start of a file; false when unreadable.
bool ReadHead(const std::string& path, std::size_t limit, std::string& bytes, bool& wholeFile) {
  const FileHandle file = OpenInputFile(path);
  if (!file) return false;
  bytes.resize(limit);
  std::size_t total = 0;
  while (total < limit) {
    const std::size_t got = std::fread(bytes.data() + total, 1, limit - total, file.get());
    if (got == 0) break;
    total += got;
  }
  if (std::ferror(file.get())) return false;
  bytes.resize(total);
  wholeFile = total < limit || std::fgetc(file.get()) == EOF;
  return true;
}

// Position after the line break at brk (CR LF counts as one break).
std::size_t AfterBreak(std::string_view text, std::size_t brk) {
  return brk + ((text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n') ? 2 : 1);
}

// A link entry split at " - " into channel item and fixed field.
std::pair<std::string_view, std::string_view> SplitLink(std::string_view entry) {
  const std::size_t sep = entry.find(kLinkSeparator);
  if (sep == std::string_view::npos) return {entry, {}};
  return {entry.substr(0, sep), entry.substr(sep + kLinkSeparator.size())};
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

const std::array<std::string_view, 3>& PnavImport::FixedFields() { return kFixedFields; }

std::string PnavImport::NewFile(const std::string& path) {
  if (ParsePnavHeader(path) != 0) return {};
  if (lastReadFailed_) return "Could not read the file " + path + ".";
  return std::string(kInvalidFormat);
}

PnavImport::ReadResult PnavImport::ReadHeaderLine(const std::string& path) {
  FHeaderLine.clear();
  std::string bytes;
  bool wholeFile = false;
  if (!ReadHead(path, 2 * kMaxLineBytes + 3, bytes, wholeFile)) return ReadResult::Unreadable;
  const std::string_view text(bytes);
  const std::size_t firstBreak = text.find_first_of("\r\n");
  if (firstBreak == std::string_view::npos) return wholeFile ? ReadResult::Ok : ReadResult::TooLong;
  if (firstBreak > kMaxLineBytes) return ReadResult::TooLong;
  const std::size_t start = AfterBreak(text, firstBreak);
  const std::size_t secondBreak = text.find_first_of("\r\n", start);
  if (secondBreak == std::string_view::npos && !wholeFile) return ReadResult::TooLong;
  const std::string_view header = text.substr(start, secondBreak == std::string_view::npos ? text.npos : secondBreak - start);
  if (header.size() > kMaxLineBytes) return ReadResult::TooLong;
  FHeaderLine = header;
  return ReadResult::Ok;
}

int PnavImport::ParsePnavHeader(const std::string& path) {
  filePath_ = path;
  channelItems_.clear();
  links_.clear();
  FDevCol = FTFDepthCol = FSounderCol = -1;
  const ReadResult read = ReadHeaderLine(path);
  lastReadFailed_ = read == ReadResult::Unreadable;
  if (read != ReadResult::Ok || !FHeaderLine.starts_with('@')) return 0;
  // Every analysis starts afresh, so a file reads the same whichever file
  // was chosen before it.
  FPlusCol = FGtCol = FPCol = -1;
  FChannelCols.fill(0);
  FTimeCol = 0;
  FPosKind = 0;
  std::int32_t shift = 0;
  std::int32_t index = 0;
  std::string_view rest = FHeaderLine;
  for (;;) {
    const std::size_t comma = rest.find(',');
    if (!AnalyseDescriptor(rest.substr(0, comma), index++, shift)) {
      channelItems_.clear();
      return 0;
    }
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  optionsEnabled_ = true;
  return -1;
}

// False for an item that takes no column at all (a width digit of 0 on a
// position or further item), which would move every later channel onto the
// column before its own.
bool PnavImport::AnalyseDescriptor(std::string_view descriptor, std::int32_t index, std::int32_t& shift) {
  if (descriptor.size() < 2) return true;
  const char kind = descriptor[1];
  const std::int32_t column = index + shift;
  const std::int32_t width = (descriptor.size() >= 4 && IsDigit(descriptor[3])) ? descriptor[3] - '0' : 1;
  if ((kind == 'p' || kind == '>') && width == 0) return false;
  if (IsDigit(kind)) {
    channelItems_.push_back(std::string("@") + kind);
    SetChannelColumn(kind - '0', column);
  } else if (kind == '+') {
    FPlusCol = column;
    FPosKind = '+';
  } else if (kind == 'p') {
    FPCol = column;
    if (FPosKind == 0) FPosKind = 'p';
    shift += width - 1;
  } else if (kind == '>') {
    FGtCol = column;
    shift += width - 1;
  } else if (kind == 't') {
    FTimeCol = column;
  }
  return true;
}

std::string PnavImport::AddLink(std::string_view channelItem, std::string_view fixedField) {
  const bool channelOffered = std::find(channelItems_.begin(), channelItems_.end(), channelItem) != channelItems_.end();
  if (!channelOffered || !FieldColumn(fixedField)) return std::string(kFillBoth);
  if (links_.size() >= channelItems_.size())
    return "The allowed number of links is " + std::to_string(channelItems_.size()) + ".";
  links_.push_back(std::string(channelItem) + std::string(kLinkSeparator) + std::string(fixedField));
  const int verdict = CheckNewLink();
  if (verdict == kLinkAccepted) return {};
  links_.pop_back();
  return std::string(verdict == kChannelLinked ? kChannelAlreadyLinked : kFieldAlreadyLinked);
}

int PnavImport::CheckNewLink() {
  const auto [channel, field] = SplitLink(links_.back());
  std::int32_t* column = FieldColumn(field);
  if (column && *column != -1) return kFieldLinked;
  for (std::size_t i = 0; i + 1 < links_.size(); ++i) {
    const auto [earlierChannel, earlierField] = SplitLink(links_[i]);
    if (earlierField == field) return kFieldLinked;
    if (earlierChannel == channel) return kChannelLinked;
  }
  if (column && channel.size() >= 2) *column = ChannelColumn(channel[1] - '0');
  return kLinkAccepted;
}

std::string PnavImport::RemoveLink(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= links_.size()) return std::string(kSelectLinkToRemove);
  if (std::int32_t* column = FieldColumn(SplitLink(links_[index]).second)) *column = -1;
  links_.erase(links_.begin() + index);
  return {};
}

bool PnavImport::HasDevLink() const {
  return std::any_of(links_.begin(), links_.end(),
                     [](const std::string& entry) { return SplitLink(entry).second == kLinkFieldDev; });
}

std::string PnavImport::CheckOk() const { return HasDevLink() ? std::string() : std::string(kNoDeviation); }

std::int32_t PnavImport::ChannelColumn(int channel) const {
  return (channel >= 0 && channel < 10) ? FChannelCols[static_cast<std::size_t>(channel)] : -1;
}

void PnavImport::SetChannelColumn(int channel, std::int32_t column) {
  if (channel >= 0 && channel < 10) FChannelCols[static_cast<std::size_t>(channel)] = column;
}

std::int32_t* PnavImport::FieldColumn(std::string_view fixedField) {
  if (fixedField == kLinkFieldDev) return &FDevCol;
  if (fixedField == kLinkFieldTowfishDepth) return &FTFDepthCol;
  if (fixedField == kLinkFieldSounder) return &FSounderCol;
  return nullptr;
}

namespace {

// The column of the mark item: the commas before the first "@+" less one;
// -1 when the header has no "@+".
std::int32_t MarkColumn(std::string_view header) {
  const std::size_t plus = header.find("@+");
  if (plus == std::string_view::npos) return -1;
  return CountCharsInSet(header.substr(0, plus + 1), ",") - 1;
}

// Adds a linked channel: the identifier takes the next column for counting,
// then reads from the linked column.
void AddLinkedField(TSample& sample, TSampleField identifier, std::int32_t column, std::int32_t& pnavColumn) {
  sample.AddField(identifier);
  pnavColumn = column;
  sample.FColumns[identifier] = column;
}

}  // namespace

std::string ApplyHandOver(TSample& sample, const PnavImport& import) {
  if (std::string refusal = import.CheckOk(); !refusal.empty()) return refusal;
  if (import.FDevCol != -1) AddLinkedField(sample, sfDev, import.FDevCol, sample.FPnav.FDevColumn);
  sample.AddField(sfNavTime, import.FTimeCol);
  sample.AddField(sfNavFix, import.FPCol);
  sample.AddField(sfNavTowPos, import.FPlusCol);
  sample.AddField(sfNavAux, import.FGtCol);
  sample.FPnav.FMode = import.FPosKind;
  if (import.FTFDepthCol != -1) AddLinkedField(sample, sfTowDepth, import.FTFDepthCol, sample.FPnav.FDepthColumn);
  if (import.FSounderCol != -1) AddLinkedField(sample, sfSounder, import.FSounderCol, sample.FPnav.FSounderColumn);
  sample.FPnav.FMarkColumn = MarkColumn(import.FHeaderLine);
  if (sample.FPnav.FMarkColumn > 0) sample.AddField(sfMark);
  sample.SetKind(skPNav);
  sample.FHeading = import.FHeaderLine;
  return {};
}

}  // namespace tessaly
