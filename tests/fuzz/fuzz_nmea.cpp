// The GPS's byte stream: see FuzzTargets.h.
#include <string>
#include <vector>

#include "core/FixTimeline.h"
#include "core/NmeaFramer.h"
#include "core/NmeaSentence.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"

namespace tessaly::fuzz {

namespace {

struct Framed {
  std::vector<std::string> sentences;
  NmeaFramer::Counts counts;
  std::size_t pending = 0;
};

Framed FrameInChunks(std::string_view bytes, const std::vector<std::size_t>& cuts) {
  NmeaFramer framer;
  Framed out;
  std::size_t start = 0;
  const auto collect = [&out](std::string_view s) { out.sentences.emplace_back(s); };
  for (const std::size_t cut : cuts) {
    const std::size_t end = std::min(bytes.size(), std::max(start, cut));
    framer.Feed(bytes.substr(start, end - start), collect);
    start = end;
  }
  framer.Feed(bytes.substr(start), collect);
  out.counts = framer.Counted();
  out.pending = framer.Pending();
  return out;
}

bool InRange(double value, double low, double high) { return value >= low && value <= high; }

bool ValidPoint(const std::optional<GeoPosition>& p) {
  return !p || (InRange(p->latitude, -90.0, 90.0) && InRange(p->longitude, -180.0, 180.0));
}

bool ValidTime(const std::optional<MsOfDay>& t) { return !t || InRange(static_cast<double>(*t), 0, 86'401'000); }

bool ValidDate(const CivilDate& d) {
  const CivilDate back = CivilFromDays(DaysFromCivil(d.year, d.month, d.day));
  return back.year == d.year && back.month == d.month && back.day == d.day;
}

template <typename T>
bool AtLeastZero(const std::optional<T>& v) {
  return !v || *v >= 0;
}

bool ValidCourse(const std::optional<double>& course) { return !course || InRange(*course, 0.0, 360.0); }

void CheckDecoded(const DecodedSentence& d, std::string_view sentence) {
  Require(CheckNmeaChecksum(sentence) == NmeaChecksum::Ok, "a sentence without a good checksum was decoded", sentence);
  bool ok = d.talker.size() == 2;
  if (const auto* gga = std::get_if<GgaSentence>(&d.message))
    ok = ok && ValidTime(gga->time) && ValidPoint(gga->position) && InRange(gga->quality, 0, 9) &&
         AtLeastZero(gga->satellites) && AtLeastZero(gga->hdop);
  else if (const auto* rmc = std::get_if<RmcSentence>(&d.message))
    ok = ok && ValidTime(rmc->time) && ValidPoint(rmc->position) && AtLeastZero(rmc->speedKnots) &&
         ValidCourse(rmc->courseTrue) && (!rmc->date || ValidDate(*rmc->date));
  else if (const auto* vtg = std::get_if<VtgSentence>(&d.message))
    ok = ok && ValidCourse(vtg->courseTrue) && AtLeastZero(vtg->speedKnots);
  else if (const auto* hdt = std::get_if<HdtSentence>(&d.message))
    ok = ok && InRange(hdt->headingTrue, 0.0, 360.0);
  else if (const auto* zda = std::get_if<ZdaSentence>(&d.message))
    ok = ok && ValidTime(zda->time) && ValidDate(zda->date);
  Require(ok, "a decoded sentence holds a value out of its range", sentence);
}

}  // namespace

int FuzzNmea(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  std::vector<std::size_t> cuts(input.Choice(8));
  for (std::size_t& cut : cuts) cut = input.Byte();
  const std::uint8_t step = input.Byte();  // milliseconds between sentences
  const std::string_view bytes = input.Rest();

  const Framed whole = FrameInChunks(bytes, {});
  const Framed chunked = FrameInChunks(bytes, cuts);
  Require(chunked.sentences == whole.sentences && chunked.counts.garbageBytes == whole.counts.garbageBytes,
          "chunking changes the sentences", bytes);
  std::size_t lineBreaks = 0, sentenceBytes = 0;
  for (const char c : bytes) lineBreaks += c == '\r' || c == '\n';
  for (const std::string& s : whole.sentences) {
    sentenceBytes += s.size();
    Require(s.size() >= 2 && s.size() <= NmeaFramer::kMaxSentenceChars, "a sentence of a wrong length", s);
    Require(s[0] == '$' || s[0] == '!', "a sentence without its start character", s);
    for (const char c : s.substr(1))
      Require(c >= 0x20 && c <= 0x7e && c != '$' && c != '!', "a sentence holds a byte it may not", s);
  }
  Require(sentenceBytes + whole.counts.garbageBytes + lineBreaks + whole.pending == bytes.size(),
          "bytes were lost or counted twice", bytes);

  FixTimeline timeline;
  std::int64_t received = 0;
  for (const std::string& s : whole.sentences) {
    received += step * kNsPerMs;
    const auto decoded = DecodeNmea(s);
    if (!decoded) continue;
    CheckDecoded(*decoded, s);
    timeline.Add(received, *decoded);
  }
  for (std::int64_t t = -3 * kNsPerSecond; t <= received + 3 * kNsPerSecond; t += kNsPerSecond / 4) {
    const AntennaEstimate estimate = timeline.AntennaAt(t);
    const bool positioned = estimate.state == AntennaState::Interpolated || estimate.state == AntennaState::Extrapolated;
    Require(positioned == estimate.position.has_value() && ValidPoint(estimate.position),
            "an antenna position out of range or against its state", bytes);
  }
  return 0;
}

}  // namespace tessaly::fuzz
