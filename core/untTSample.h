// TSample: the reusable, stateful parser of one survey-log line.
//
// One sample per document, logging session or navigation import. It is set up
// once for a kind of log (FDevDigits, SetHeader, SetKind, AddField) and then fed
// every data line in file order. Every field is kept as text exactly as cut
// from the line; numbers exist only inside the checks and the conversions.
//
// Parse runs in two stages so that a large file can be parsed on several
// threads while the order-dependent continuity checks stay in file order:
//   ParseDetached  - split, rearrange, convert positions and run every check
//                    that does not depend on earlier lines; fills this
//                    sample's fields and a LineVerdict. Needs no memory.
//   Resolve        - applies the continuity memory (FPrevLonDeg, FPrevLatDeg,
//                    FPrevTowDepth) to a verdict, in file order, and gives the
//                    final result and message.
// Parse(line) is exactly ParseDetached followed by Resolve on this sample.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "core/RecordNumbers.h"

namespace tessaly {

// Kinds of log. The numbering is the stored kind number.
enum TSampleKind : std::uint8_t {
  skNone = 0,
  skRTB = 1,   // RT4 Basic
  skRTC = 2,   // RT4 KV compatibility
  skKVL = 3,   // KV7100 log
  skKVS = 4,   // KV7100 data-string mode
  skKVG = 5,   // KV7100 graphic mode
  skZPX = 6,   // ZEPH 2, KV format
  skZPT = 7,   // ZEPH 2, BT format
  skPNav = 8,  // navigation import
};

// Field identifiers: which columns a line carries.
enum TSampleField : std::uint8_t {
  sfHeader = 0,
  sfDev = 1,
  sfLonDeg = 2,
  sfLonMin = 3,
  sfLonHemi = 4,
  sfLatDeg = 5,
  sfLatMin = 6,
  sfLatHemi = 7,
  sfTowDepth = 8,
  sfSounder = 9,
  sfMark = 10,      // column FPnav.FMarkColumn, written into FTfDecLat
  sfNavTime = 11,
  sfNavFix = 12,    // four columns: lat, N/S, lon, E/W
  sfNavTowPos = 13,
  sfNavAux = 14,
  sfSpare = 15,
};

class TSample;

// Navigation-import settings owned by a sample.
class TPnav {
 public:
  explicit TPnav(TSample* owner) : FOwner(owner) {}
  TSample* FOwner;
  char FMode = 0;  // '+' towfish and GPS, 'p' GPS only
  std::int32_t FMarkColumn = 0;
  std::int32_t FDevColumn = 0;
  std::int32_t FDepthColumn = 0;
  std::int32_t FSounderColumn = 0;
};

// The step of the checks at which a line stops. Steps run in this order; the
// continuity steps are the ones that need earlier lines.
enum class CheckStep : std::uint8_t {
  Rearrangement,      // the rearrangement set its own message and rejected
  Header,
  Dev,
  LonDegFormat,
  LonDegContinuity,
  LonMin,
  LonHemi,
  LatDegFormat,
  LatDegContinuity,
  LatMin,
  LatHemi,
  TowDepthFormat,
  TowDepthContinuity,
  Sounder,
  PositionInvalid,    // all checks passed but a position did not convert
  None,               // nothing failed
};

// Outcome of ParseDetached for one line: everything Resolve needs, small and
// copyable so that batches of lines can be parsed on other threads.
struct LineVerdict {
  bool emptyLine = false;
  CheckStep firstFailure = CheckStep::None;  // first order-free check that failed
  std::string message;                        // its message
  // Continuity inputs, valid when the matching format step passed.
  bool checkLonDeg = false;
  std::int32_t lonDeg = 0;
  std::string lonDegText;
  bool checkLatDeg = false;
  std::int32_t latDeg = 0;
  std::string latDegText;
  bool checkTowDepth = false;       // depth not empty and a number
  bool towDepthIsZeroText = false;  // the text is exactly "0.0"
  double towDepth = 0.0;
  std::string towDepthText;
  // A message the line leaves behind without being rejected by it (the
  // towfish part of a navigation line); a later failure replaces it.
  std::string note;
};

class TSample {
 public:
  // Takes the process's decimal separator (see LocaleDecimalSeparator).
  TSample();
  // For tests and tools that must not depend on the process locale.
  explicit TSample(char decimalSeparator);
  TSample(const TSample&) = delete;
  TSample& operator=(const TSample&) = delete;

  void SetHeader(std::string_view text);
  void SetKind(std::uint8_t kind);
  void AddField(std::uint8_t identifier, std::int32_t column = -1);

  // 0 accepted, -1 rejected (FErrorText tells why).
  int Parse(std::string_view line);
  // -1 when an order-free step failed, else 0; the final result is Resolve's.
  // Leaves FErrorText and the memory alone.
  int ParseDetached(std::string_view line, LineVerdict& verdict);
  // Result and FErrorText of a verdict; updates the memory. Call in file order.
  int Resolve(const LineVerdict& verdict);

  // Copies the set-up (not the per-line fields nor the memory) from another
  // sample, so that worker threads parse with identical settings.
  void CopySetUp(const TSample& other);

  std::string TowDepthOrZero() const;
  std::string SounderOrZero() const;

  bool HasField(std::uint8_t identifier) const { return (FFieldSet >> identifier) & 1u; }

  // Set-up.
  std::uint8_t FKind = 0;
  std::uint16_t FFieldSet = 0;
  std::array<std::int32_t, 16> FColumns{};  // slots 10 and 15 unused
  std::int32_t FNextColumn = 0;
  std::string FHeader;
  std::int32_t FDevDigits = 0;
  std::string FHeading;
  std::string FEndMarker;
  char FDecimalSeparator = '.';
  int FMapDatum = 22;  // ellipsoid of every UTM conversion (WGS 84)
  // Whether positions get their UTM northing and easting texts (the grid's
  // columns); a reader of the numbers alone turns it off. Not copied by
  // CopySetUp: it is the reader's, not the log's.
  bool FUtmMetres = true;
  TPnav FPnav{this};

  // Per-line fields.
  std::string FRawLine;
  // The numbers of the last line ParseDetached accepted: positions in
  // signed degrees, towfish depth and sounder (the deviation is FDev's).
  RecordNumbers FNumbers;
  std::string FErrorText;
  std::string FHeaderText;
  std::string FDev;
  std::string FLonDeg, FLonMin, FLonHemi;
  std::string FLatDeg, FLatMin, FLatHemi;
  std::string FTowDepth;
  std::string FSounder;
  std::string FNavTime;
  std::string FNavLat, FNavLatHemi, FNavLon, FNavLonHemi;
  std::string FNavTowPos;
  std::string FNavAux;

  // Continuity memory, carried from line to line.
  std::string FPrevLonDeg, FPrevLatDeg, FPrevTowDepth;

  // Derived positions: towfish set and GPS set.
  std::string FTfDecLat, FTfDecLon, FTfZone, FTfNorth, FTfEast;
  std::string FGpsLatDeg, FGpsLatMin, FGpsLatHemi;
  std::string FGpsLonDeg, FGpsLonMin, FGpsLonHemi;
  std::string FGpsDecLat, FGpsDecLon, FGpsZone, FGpsNorth, FGpsEast;

 private:
  enum class Rearranged : std::uint8_t { Accepted, NotConverted, Rejected };

  std::string_view Column(std::int64_t index) const;
  void SplitColumns(std::string_view line);
  void AssignFields();
  Rearranged Rearrange(std::string_view line, LineVerdict& verdict);
  Rearranged RearrangeKvl();
  Rearranged RearrangeKvs();
  Rearranged RearrangeKvg(std::string_view line);
  Rearranged RearrangeNavigation(LineVerdict& verdict);
  Rearranged NavigationGpsOnly(LineVerdict& verdict);
  Rearranged NavigationTowfishAndGps(LineVerdict& verdict);
  Rearranged TowfishFromDecimal(LineVerdict& verdict);
  bool DecimalToDegMin(std::string_view signedDecimal, std::size_t degreeWidth, char negative,
                       char positive, std::string& degrees, std::string& minutes,
                       std::string& hemisphere);
  Rearranged ConvertFix(const std::array<std::string*, 6>& fix, bool (TSample::*compute)(),
                        std::initializer_list<std::string*> derived, LineVerdict& verdict);
  bool ComputeTowfish();
  bool ComputeGps();
  void CopyTowfishToGpsAndReset();
  int RunChecks(LineVerdict& verdict);
  bool FollowDegrees(std::int32_t value, const std::string& text, std::string& previous);
  bool FollowTowDepth(const LineVerdict& verdict);
  int Reject(std::string_view message);
  void NoteNumbers(const LineVerdict& verdict);

  std::vector<std::string_view> FColumnViews;  // the columns of the line being parsed
  std::string FScratch;                         // reused work text
  LineVerdict FVerdict;                         // the verdict of Parse
};

}  // namespace tessaly
