// The navigation header analysis and link judging: see FuzzTargets.h.
#include <algorithm>
#include <array>
#include <fstream>
#include <string>
#include <vector>

#include "core/LogDocument.h"
#include "core/PnavImport.h"
#include "core/RawText.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzSamples.h"
#include "fuzz/FuzzTargets.h"
#include "fuzz/RecordRules.h"

namespace tessaly::fuzz {

namespace {

// What the header rules give for a header line.
struct HeaderFacts {
  std::vector<std::string> channels;
  std::array<std::int32_t, 10> channelCols{};
  std::int32_t plus = -1, p = -1, gt = -1, time = 0;
  char kind = 0;
  bool zeroWidth = false;  // a position or further item of width 0: no usable header
};

HeaderFacts Analyse(std::string_view header) {
  HeaderFacts facts;
  std::int32_t shift = 0, index = 0;
  for (std::size_t start = 0;; ++index) {
    const std::size_t comma = header.find(',', start);
    const std::string_view d = header.substr(start, comma == std::string_view::npos ? header.npos : comma - start);
    const std::int32_t column = index + shift;
    const std::int32_t width = d.size() >= 4 && d[3] >= '0' && d[3] <= '9' ? d[3] - '0' : 1;
    const char kind = d.size() >= 2 ? d[1] : '\0';
    if (kind >= '0' && kind <= '9') {
      facts.channels.push_back(std::string("@") + kind);
      facts.channelCols[static_cast<std::size_t>(kind - '0')] = column;
    } else if (kind == '+') {
      facts.plus = column;
      facts.kind = '+';
    } else if ((kind == 'p' || kind == '>') && width == 0) {
      facts.zeroWidth = true;
    } else if (kind == 'p') {
      facts.p = column;
      if (facts.kind == 0) facts.kind = 'p';
      shift += width - 1;
    } else if (kind == '>') {
      facts.gt = column;
      shift += width - 1;
    } else if (kind == 't') {
      facts.time = column;
    }
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return facts;
}

// The second line of the file, as the import reads it.
std::string SecondLine(std::string_view bytes) {
  RawText raw;
  raw.Assign(bytes);
  return std::string(raw.Line(1));
}

void CheckHeader(const PnavImport& import, std::string_view bytes) {
  const HeaderFacts facts = Analyse(import.FHeaderLine);
  Require(import.FHeaderLine == SecondLine(bytes), "the header is not the file's second line", import.FHeaderLine);
  Require(import.ChannelItems() == facts.channels, "other channels offered than the header names");
  for (int channel = 0; channel < 10; ++channel)
    Require(import.ChannelColumn(channel) == facts.channelCols[static_cast<std::size_t>(channel)],
            "a channel column differs from the header rules", import.FHeaderLine);
  Require(import.FPlusCol == facts.plus && import.FPCol == facts.p && import.FGtCol == facts.gt &&
              import.FTimeCol == facts.time && import.FPosKind == facts.kind,
          "a position or time column differs from the header rules", import.FHeaderLine);
}

const std::array<std::string_view, 4> kLinkMessages{
    "Please fill both fields, MNEA and Fixed fields.",
    "This NMEA field is already linked, please select other.",
    "This Fixed Fields is already linked, please select other.",
    "Please select a link to remove",
};

void CheckLinks(const PnavImport& import) {
  const auto& links = import.Links();
  Require(links.size() <= std::min<std::size_t>(import.ChannelItems().size(), 3), "more links than allowed");
  std::array<std::int32_t, 3> expected{-1, -1, -1};
  std::vector<std::string> channels;
  for (const std::string& link : links) {
    const std::size_t sep = link.find(" - ");
    const std::string channel = link.substr(0, sep), field = link.substr(sep + 3);
    const auto& fields = PnavImport::FixedFields();
    const auto at = static_cast<std::size_t>(std::find(fields.begin(), fields.end(), field) - fields.begin());
    if (!Require(at < 3 && expected[at] == -1, "a fixed field is linked twice or unknown", link)) return;
    Require(std::find(channels.begin(), channels.end(), channel) == channels.end(), "a channel is linked twice", link);
    channels.push_back(channel);
    expected[at] = import.ChannelColumn(channel[1] - '0');
  }
  Require(import.FDevCol == expected[0] && import.FTFDepthCol == expected[1] && import.FSounderCol == expected[2],
          "the link columns differ from the links");
  Require(import.HasDevLink() == (expected[0] != -1), "HasDevLink differs from the links");
}

// Link operations from the input: add a channel (offered or not) to a field,
// or remove an entry.
void ApplyOperations(PnavImport& import, std::string_view operations) {
  for (const char op : operations) {
    const auto code = static_cast<unsigned char>(op);
    std::string message;
    if (code >= 0xE0) {
      message = import.RemoveLink(code % 4);
    } else {
      const std::string channel = std::string("@") + static_cast<char>('0' + code % 10);
      message = import.AddLink(channel, PnavImport::FixedFields()[(code / 10) % 3]);
    }
    const bool known = message.empty() || message.starts_with("The allowed number of links is ") ||
                       std::find(kLinkMessages.begin(), kLinkMessages.end(), message) != kLinkMessages.end();
    Require(known, "unknown link message", message);
    CheckLinks(import);
  }
}

void ParseDataLines(const PnavImport& import, std::string_view bytes) {
  auto sample = LogDocument::NewNavigationSample();
  if (!Require(ApplyHandOver(*sample, import).empty(), "the hand-over refused a Dev link")) return;
  Require(sample->FKind == skPNav && sample->FHeading == import.FHeaderLine && sample->FPnav.FMode == import.FPosKind,
          "the hand-over set the sample up wrongly");
  RawText raw;
  raw.Assign(bytes);
  for (std::size_t i = 2; i < raw.LineCount(); ++i) {
    const std::string_view line = raw.Line(i);
    if (line.empty()) continue;
    if (sample->Parse(line) == 0) {
      const std::string broken = BrokenRecordRule(*sample);
      Require(broken.empty(), "accepted navigation record breaks a format rule", broken + " in " + std::string(line));
    } else {
      Require(IsRejectionMessage(*sample, sample->FErrorText), "unknown rejection message", sample->FErrorText);
    }
  }
}

}  // namespace

int FuzzPnavHeader(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::string_view operations = input.Take(input.Byte() % 16);
  const std::string_view bytes = input.Rest();
  const std::string path = ScratchFolder() + "navigation.txt";
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;

  PnavImport import;
  const std::string message = import.NewFile(path);
  const std::string header = SecondLine(bytes);
  const bool usable = header.starts_with('@') && !Analyse(header).zeroWidth;
  Require(message == (usable ? "" : "Invalid Pnav format."), "the header verdict is wrong", header);
  Require(import.OptionsEnabled() == usable, "the options state differs from the verdict");
  if (!usable) return 0;
  CheckHeader(import, bytes);
  ApplyOperations(import, operations);
  if (import.HasDevLink()) ParseDataLines(import, bytes);
  return 0;
}

}  // namespace tessaly::fuzz
