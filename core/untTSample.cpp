#include "core/untTSample.h"

#include "core/Positions.h"
#include "core/TextHelpers.h"

namespace tessaly {

namespace {

constexpr std::string_view kEmptyLine = "Empty Line";
constexpr std::string_view kBadHeader = "Unrecognized Header";
constexpr std::string_view kDevLength = "Deviation Field missing or wrong length - expected length of: ";
constexpr std::string_view kDevSign = "Missing sign on Deviation Field";
constexpr std::string_view kDevNumber = "Deviation is non-numeric";
constexpr std::string_view kBadTowDepth = "Invalid Towfish Depth value";
constexpr std::string_view kBadSounder = "Invalid Sounder value";
constexpr std::string_view kBadPosition = "Invalid Position value";

// The messages of one coordinate's checks.
struct CoordinateMessages {
  std::string_view degreeLength, degreeNumber, degreeJump;
  std::string_view minuteLength, minutePoint, minuteNumber;
  std::string_view hemisphereLength, hemisphereLetter;
  char positive, negative;
};

constexpr CoordinateMessages kLongitude{
    "Longitude Degrees larger than 3 digits",
    "Longitude Degrees is non-numeric",
    "Longitude Degrees is worng",
    "Longitude Minutes Field different than 6 digits - expecting MM.mmm",
    "Missing \".\" in Longitude Minutes Field",
    "Longitude Minutes is non-numeric",
    "Longitude E/W Field is larger than 1 digit",
    "Invalid Longitude E/W Field - expecting \"E\" or \"W\"",
    'E',
    'W'};

constexpr CoordinateMessages kLatitude{
    "Latitude Degrees larger than 3 digits",
    "Latitude Degrees is non-numeric",
    "Latitude Degrees is worng",
    "Latitude Minutes Field different than 6 digits - expecting MM.mmm",
    "Missing \".\" in Latitude Minutes Field",
    "Latitude Minutes is non-numeric",
    "Latitude N/S Field is larger than 1 digit",
    "Invalid Latitude N/S Field - expecting \"N\" or \"S\"",
    'N',
    'S'};

// Characters first..first+count-1 (1-based), shorter or empty past the end.
std::string_view Chars(std::string_view text, std::size_t first, std::size_t count) {
  return first - 1 < text.size() ? text.substr(first - 1, count) : std::string_view{};
}

// field := Chars(text, first, count). Kept out of line: inlined, GCC 12 warns
// about overlapping copies that cannot happen (-Wrestrict).
[[gnu::noinline]] void AssignChars(std::string& field, std::string_view text, std::size_t first, std::size_t count) {
  if (first - 1 >= text.size()) {
    field.clear();
    return;
  }
  const std::size_t available = text.size() - (first - 1);
  field.assign(text.data() + (first - 1), count < available ? count : available);
}

// Minutes of an NMEA coordinate: the two digits after the degrees, ".", then
// the part after the first ".".
void FixMinutes(std::string_view coordinate, std::size_t degreeDigits, std::string& minutes) {
  const auto point = coordinate.find('.');
  minutes.assign(Chars(coordinate.substr(0, point), degreeDigits + 1, 2));
  minutes += '.';
  if (point != std::string_view::npos) minutes.append(coordinate.substr(point + 1));
}

// The part of a signed decimal coordinate after its first ".".
std::string_view FractionOf(std::string_view coordinate) {
  const auto point = coordinate.find('.');
  return point == std::string_view::npos ? std::string_view{} : coordinate.substr(point + 1);
}

// "0." followed by the fraction is a decimal number.
bool HasNumericFraction(std::string_view coordinate) { return IsInteger(FractionOf(coordinate)); }

void Clear(std::initializer_list<std::string*> texts) {
  for (std::string* text : texts) text->clear();
}

int Fail(LineVerdict& verdict, CheckStep step, std::string_view message) {
  verdict.firstFailure = step;
  verdict.message.assign(message);
  return -1;
}

void ResetVerdict(LineVerdict& verdict) {
  verdict.emptyLine = false;
  verdict.firstFailure = CheckStep::None;
  verdict.message.clear();
  verdict.checkLonDeg = false;
  verdict.checkLatDeg = false;
  verdict.checkTowDepth = false;
  verdict.towDepthIsZeroText = false;
  verdict.note.clear();
}

bool CheckDegrees(const std::string& degrees, std::size_t length, const CoordinateMessages& text,
                  std::string_view& message, std::int32_t& value) {
  if (degrees.size() != length) message = text.degreeLength;
  else if (!ParseInteger(degrees, value)) message = text.degreeNumber;
  else return true;
  return false;
}

bool CheckMinutes(std::string_view minutes, const CoordinateMessages& text, std::string_view& message) {
  if (minutes.size() < 6 || minutes.size() > 8) message = text.minuteLength;
  else if (minutes[2] != '.' && minutes[2] != ',') message = text.minutePoint;
  else if (!IsInteger(minutes.substr(0, 2)) && !IsInteger(minutes.substr(3))) message = text.minuteNumber;
  else return true;
  return false;
}

bool CheckHemisphere(std::string_view hemisphere, const CoordinateMessages& text,
                     std::string_view& message) {
  if (hemisphere.size() != 1) message = text.hemisphereLength;
  else if (hemisphere[0] != text.positive && hemisphere[0] != text.negative) message = text.hemisphereLetter;
  else return true;
  return false;
}

// The field filled by the split for each identifier (none for 10, 12, 15).
using FieldMember = std::string TSample::*;
constexpr FieldMember kFieldOf[16] = {
    &TSample::FHeaderText, &TSample::FDev,      &TSample::FLonDeg,  &TSample::FLonMin,
    &TSample::FLonHemi,    &TSample::FLatDeg,   &TSample::FLatMin,  &TSample::FLatHemi,
    &TSample::FTowDepth,   &TSample::FSounder,  nullptr,            &TSample::FNavTime,
    nullptr,               &TSample::FNavTowPos, &TSample::FNavAux, nullptr};

// Fields every rearrangement of a kind writes, which the split need not cut.
std::uint16_t RewrittenByRearrangement(std::uint8_t kind) {
  constexpr std::uint16_t kPositionDepthSounder = 0x3FC;  // identifiers 2 to 9
  constexpr std::uint16_t kDevAndPosition = 0xFE;         // identifiers 1 to 7
  switch (kind) {
    case skKVL:
    case skKVS: return kPositionDepthSounder;
    case skKVG: return kDevAndPosition;
    default: return 0;
  }
}

}  // namespace

TSample::TSample() : TSample(LocaleDecimalSeparator()) {}

TSample::TSample(char decimalSeparator) : FDecimalSeparator(decimalSeparator) {}

void TSample::SetHeader(std::string_view text) { FHeader.assign(text); }

void TSample::SetKind(std::uint8_t kind) {
  FKind = kind;
  FHeading.clear();
  FNextColumn = 0;
  switch (kind) {
    case skRTB:
    case skZPX:
    case skZPT:
      AddField(sfHeader);
      AddField(sfDev);
      break;
    case skRTC:
      for (std::uint8_t id = sfHeader; id <= sfSounder; ++id) AddField(id);
      break;
    case skKVL:
      for (const std::uint8_t id : {sfHeader, sfDev, sfLatDeg, sfLatMin, sfLatHemi, sfLonDeg, sfLonMin,
                                    sfLonHemi, sfTowDepth})
        AddField(id);
      AddField(sfSounder, 7);
      break;
    case skKVS:
      for (std::uint8_t id = sfDev; id <= sfTowDepth; ++id) AddField(id);
      AddField(sfSounder, 3);
      FHeading = "Dev    lat        long";
      FEndMarker = "** End of data set **";
      break;
    case skKVG:
      for (std::uint8_t id = sfLonDeg; id <= sfLatHemi; ++id) AddField(id);
      AddField(sfDev);
      FHeading = "Dev";
      FEndMarker = "** End of data set **";
      break;
    default:
      break;
  }
}

void TSample::AddField(std::uint8_t identifier, std::int32_t column) {
  if (identifier > sfSpare) return;
  FFieldSet = static_cast<std::uint16_t>(FFieldSet | (1u << identifier));
  if (column == -1) column = FNextColumn++;
  if (identifier != sfMark && identifier != sfSpare) FColumns[identifier] = column;
}

void TSample::CopySetUp(const TSample& other) {
  FKind = other.FKind;
  FFieldSet = other.FFieldSet;
  FColumns = other.FColumns;
  FNextColumn = other.FNextColumn;
  FHeader = other.FHeader;
  FDevDigits = other.FDevDigits;
  FHeading = other.FHeading;
  FEndMarker = other.FEndMarker;
  FDecimalSeparator = other.FDecimalSeparator;
  FMapDatum = other.FMapDatum;
  FPnav.FMode = other.FPnav.FMode;
  FPnav.FMarkColumn = other.FPnav.FMarkColumn;
  FPnav.FDevColumn = other.FPnav.FDevColumn;
  FPnav.FDepthColumn = other.FPnav.FDepthColumn;
  FPnav.FSounderColumn = other.FPnav.FSounderColumn;
}

std::string TSample::TowDepthOrZero() const { return FTowDepth.empty() ? "0" : FTowDepth; }

std::string TSample::SounderOrZero() const { return FSounder.empty() ? "0" : FSounder; }

int TSample::Parse(std::string_view line) {
  ParseDetached(line, FVerdict);
  return Resolve(FVerdict);
}

// ---- Split ----------------------------------------------------------------

void TSample::SplitColumns(std::string_view line) {
  FColumnViews.clear();
  std::size_t start = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] != ',') continue;
    FColumnViews.push_back(line.substr(start, i - start));
    start = i + 1;
  }
  FColumnViews.push_back(line.substr(start));
}

std::string_view TSample::Column(std::int64_t index) const {
  const auto at = static_cast<std::size_t>(index < 0 ? 0 : index);
  return at < FColumnViews.size() ? FColumnViews[at] : std::string_view{};
}

void TSample::AssignFields() {
  const auto cut = static_cast<std::uint16_t>(FFieldSet & ~RewrittenByRearrangement(FKind));
  for (std::uint8_t id = 0; id <= sfSpare; ++id) {
    if (((cut >> id) & 1u) == 0) continue;
    if (kFieldOf[id] != nullptr) {
      (this->*kFieldOf[id]).assign(Column(FColumns[id]));
    } else if (id == sfNavFix) {
      FNavLat.assign(Column(FColumns[id]));
      const std::int64_t first = FColumns[id];
      FNavLatHemi.assign(Column(first + 1));
      FNavLon.assign(Column(first + 2));
      FNavLonHemi.assign(Column(first + 3));
    } else if (id == sfMark) {
      FTfDecLat.assign(Column(FPnav.FMarkColumn));
    }
  }
}

// ---- Rearrangements -------------------------------------------------------

TSample::Rearranged TSample::Rearrange(std::string_view line, LineVerdict& verdict) {
  switch (FKind) {
    case skKVL: return RearrangeKvl();
    case skKVS: return RearrangeKvs();
    case skKVG: return RearrangeKvg(line);
    case skPNav: return RearrangeNavigation(verdict);
    default: return Rearranged::Accepted;
  }
}

bool TSample::ComputeTowfish() {
  return ComputePositions({FLatDeg, FLatMin, FLatHemi, FLonDeg, FLonMin, FLonHemi}, FDecimalSeparator,
                          FMapDatum, {FTfDecLat, FTfDecLon, FTfZone, FTfNorth, FTfEast, FNumbers.towfish}, FUtmMetres);
}

bool TSample::ComputeGps() {
  return ComputePositions({FGpsLatDeg, FGpsLatMin, FGpsLatHemi, FGpsLonDeg, FGpsLonMin, FGpsLonHemi},
                          FDecimalSeparator, FMapDatum,
                          {FGpsDecLat, FGpsDecLon, FGpsZone, FGpsNorth, FGpsEast, FNumbers.gps}, FUtmMetres);
}

// KVL: the towfish position comes as two NMEA coordinates, cut here into
// degrees and minutes; the header and deviation are cut by the split.
//
//            1         2         3         4
//   1234567890123456789012345678901234567890123456
//   $KVMGD,-00010,4417.968,N,06318.000,W,54.7,76.5
//
//   column  characters  text     field
//   0        1- 6       $KVMGD   FHeaderText (split)
//   1        8-13       -00010   FDev (split)
//   2       15-16       44       FLatDeg
//           17-22       17.968   FLatMin
//   3       24          N        FLatHemi
//   4       26-28       063      FLonDeg
//           29-34       18.000   FLonMin
//   5       36          W        FLonHemi
//   6       38-41       54.7     FTowDepth
//   7       43-46       76.5     FSounder
TSample::Rearranged TSample::RearrangeKvl() {
  const std::string_view latitude = Column(2), longitude = Column(4);
  AssignChars(FLatDeg, latitude, 1, 2);
  AssignChars(FLatMin, latitude, 3, 6);
  FLatHemi.assign(Column(3));
  AssignChars(FLonDeg, longitude, 1, 3);
  AssignChars(FLonMin, longitude, 4, 6);
  FLonHemi.assign(Column(5));
  FTowDepth.assign(Column(6));
  FSounder.assign(Column(7));
  return ComputeTowfish() ? Rearranged::Accepted : Rearranged::NotConverted;
}

// KVS (the data-string dump): the towfish position is one text in column
// 1, laid out by character position; the deviation is cut by the split.
//
//   -00010,44 17.968N 063 18.000W,54.7,76.5
//
//   column 1, as cut:
//            1         2
//   1234567890123456789012
//   44 17.968N 063 18.000W
//
//   column  characters  text     field
//   0                   -00010   FDev (split)
//   1        1- 2       44       FLatDeg
//            4- 9       17.968   FLatMin
//           10          N        FLatHemi
//           12-14       063      FLonDeg
//           16-21       18.000   FLonMin
//           22          W        FLonHemi
//   2                   54.7     FTowDepth
//   3                   76.5     FSounder
TSample::Rearranged TSample::RearrangeKvs() {
  const std::string_view position = Column(1);
  AssignChars(FLatDeg, position, 1, 2);
  AssignChars(FLatMin, position, 4, 6);
  AssignChars(FLatHemi, position, 10, 1);
  AssignChars(FLonDeg, position, 12, 3);
  AssignChars(FLonMin, position, 16, 6);
  AssignChars(FLonHemi, position, 22, 1);
  FTowDepth.assign(Column(2));
  FSounder.assign(Column(3));
  return ComputeTowfish() ? Rearranged::Accepted : Rearranged::NotConverted;
}

// KVG (the graphic dump) in either of its two forms. A line with a fifth
// column is the comma form:
//
//            1         2
//   12345678901234567890123456789
//   44,17.968N,063,18.000W,-00010
//
//   column  characters  text     field
//   0                   44       FLatDeg
//   1        1- 6       17.968   FLatMin
//            7          N        FLatHemi
//   2                   063      FLonDeg
//   3        1- 6       18.000   FLonMin
//            7          W        FLonHemi
//   4                   -00010   FDev
//
// Otherwise the fixed form: a 50-character bar graph of the deviation, then
// the deviation and the position by character position of the line.
//
//            1         2         3         4         5         6         7
//   1234567890123456789012345678901234567890123456789012345678901234567890123456789
//                            *                        -00010 44 17.968N 063 18.000W
//
//   characters  text     field
//    1-50                (the bar graph)
//   51-56       -00010   FDev
//   58-59       44       FLatDeg
//   61-66       17.968   FLatMin
//   67          N        FLatHemi
//   69-71       063      FLonDeg
//   73-78       18.000   FLonMin
//   79          W        FLonHemi
TSample::Rearranged TSample::RearrangeKvg(std::string_view line) {
  if (!Column(4).empty()) {
    FLatDeg.assign(Column(0));
    AssignChars(FLatMin, Column(1), 1, 6);
    AssignChars(FLatHemi, Column(1), 7, 1);
    FLonDeg.assign(Column(2));
    AssignChars(FLonMin, Column(3), 1, 6);
    AssignChars(FLonHemi, Column(3), 7, 1);
    FDev.assign(Column(4));
  } else {
    AssignChars(FDev, line, 51, 6);
    AssignChars(FLatDeg, line, 58, 2);
    AssignChars(FLatMin, line, 61, 6);
    AssignChars(FLatHemi, line, 67, 1);
    AssignChars(FLonDeg, line, 69, 3);
    AssignChars(FLonMin, line, 73, 6);
    AssignChars(FLonHemi, line, 79, 1);
  }
  return ComputeTowfish() ? Rearranged::Accepted : Rearranged::NotConverted;
}

TSample::Rearranged TSample::RearrangeNavigation(LineVerdict& verdict) {
  if (FPnav.FMode == 'p') return NavigationGpsOnly(verdict);
  if (FPnav.FMode == '+') return NavigationTowfishAndGps(verdict);
  return Rearranged::Accepted;
}

// The GPS fix is converted as the towfish set, moved to the GPS set, and the
// towfish set shows zeros. The columns are those the import linked; with the
// header "@t,@p:4,@>:2,@0,@1,@2" and channels 0 to 2 linked to the
// deviation, towfish depth and sounder:
//
//            1         2         3         4         5         6
//   123456789012345678901234567890123456789012345678901234567890123
//   08:00:00.00,4418.0000,N,06318.0003,W,000.0,4.5,-00010,54.7,76.5
//
//   column  text         field
//   0       08:00:00.00  FNavTime (split)
//   1-4                  the fix (sfNavFix), read by ConvertFix
//   5-6     000.0,4.5    course and speed (sfNavAux, FNavAux holds column 5)
//   7       -00010       FDev (split)
//   8       54.7         FTowDepth (split)
//   9       76.5         FSounder (split)
TSample::Rearranged TSample::NavigationGpsOnly(LineVerdict& verdict) {
  const Rearranged result =
      ConvertFix({&FLatDeg, &FLatMin, &FLatHemi, &FLonDeg, &FLonMin, &FLonHemi},
                 &TSample::ComputeTowfish, {&FTfDecLat, &FTfDecLon, &FTfZone, &FTfNorth, &FTfEast},
                 verdict);
  CopyTowfishToGpsAndReset();
  return result;
}

void TSample::CopyTowfishToGpsAndReset() {
  FGpsLatDeg = FLatDeg;
  FGpsLatMin = FLatMin;
  FGpsLatHemi = FLatHemi;
  FGpsLonDeg = FLonDeg;
  FGpsLonMin = FLonMin;
  FGpsLonHemi = FLonHemi;
  FGpsDecLat = FTfDecLat;
  FGpsDecLon = FTfDecLon;
  FGpsZone = FTfZone;
  FGpsNorth = FTfNorth;
  FGpsEast = FTfEast;
  FNumbers.gps = FNumbers.towfish;
  FNumbers.towfish = {};
  for (std::string* zero : {&FLatDeg, &FLatMin, &FLonDeg, &FLonMin, &FTfDecLat, &FTfDecLon, &FTfNorth, &FTfEast})
    zero->assign(1, '0');
  Clear({&FLatHemi, &FLonHemi, &FTfZone});
}

// Towfish position from the signed decimal degrees, then the GPS fix. A
// towfish position that is not numeric leaves its message without rejecting
// the line; one that does not convert ends the conversion. With the header
// "@t,@p:4,@>:2,@+,@0,@1,@2" the towfish position is column 7 and the
// channels follow it:
//
//            1         2         3         4         5         6         7         8
//   12345678901234567890123456789012345678901234567890123456789012345678901234567890123456789
//   08:00:00.00,4418.0000,N,06318.0003,W,000.0,4.5,TF:44.2994600:-63.3000052,-00010,54.7,76.5
//
//   column  text                       field
//   0       08:00:00.00                FNavTime (split)
//   1-4                                the fix, read by ConvertFix
//   5-6     000.0,4.5                  course and speed (FNavAux holds column 5)
//   7       TF:44.2994600:-63.3000052  FNavTowPos, read by TowfishFromDecimal
//   8       -00010                     FDev (split)
//   9       54.7                       FTowDepth (split)
//   10      76.5                       FSounder (split)
TSample::Rearranged TSample::NavigationTowfishAndGps(LineVerdict& verdict) {
  if (TowfishFromDecimal(verdict) == Rearranged::NotConverted) {
    Clear({&FGpsLatDeg, &FGpsLatMin, &FGpsLatHemi, &FGpsLonDeg, &FGpsLonMin, &FGpsLonHemi, &FGpsDecLat,
           &FGpsDecLon, &FGpsZone, &FGpsNorth, &FGpsEast});
    return Rearranged::NotConverted;
  }
  return ConvertFix({&FGpsLatDeg, &FGpsLatMin, &FGpsLatHemi, &FGpsLonDeg, &FGpsLonMin, &FGpsLonHemi},
                    &TSample::ComputeGps, {&FGpsDecLat, &FGpsDecLon, &FGpsZone, &FGpsNorth, &FGpsEast},
                    verdict);
}

// Reads the NMEA fix into six degree/minute/hemisphere texts. Minutes that are
// no numbers (longitude checked first) reject the line with their message
// and empty the derived texts; otherwise `compute` converts the position.
// The fix is four columns from its first one; of the line above:
//
//   column  characters  text        field
//   1        1- 2       4418.0000   degrees: 44
//            3- 4, 6-   (FNavLat)   minutes: the two digits, ".", the part
//                                   after the point: 18.0000
//   2                   N           hemisphere (FNavLatHemi)
//   3        1- 3       06318.0003  degrees: 063
//            4- 5, 7-   (FNavLon)   minutes: 18.0003
//   4                   W           hemisphere (FNavLonHemi)
TSample::Rearranged TSample::ConvertFix(const std::array<std::string*, 6>& fix, bool (TSample::*compute)(),
                                        std::initializer_list<std::string*> derived, LineVerdict& verdict) {
  AssignChars(*fix[0], FNavLat, 1, 2);
  FixMinutes(FNavLat, 2, *fix[1]);
  *fix[2] = FNavLatHemi;
  AssignChars(*fix[3], FNavLon, 1, 3);
  FixMinutes(FNavLon, 3, *fix[4]);
  *fix[5] = FNavLonHemi;
  std::string_view message;
  if (!IsNumber(*fix[4])) message = kLongitude.degreeNumber;
  else if (!IsNumber(*fix[1])) message = kLatitude.degreeNumber;
  else return (this->*compute)() ? Rearranged::Accepted : Rearranged::NotConverted;
  verdict.note.assign(message);
  Clear(derived);
  return Rearranged::Rejected;
}

// The towfish position of a navigation line: label, latitude and longitude
// in signed decimal degrees, separated by ":". Each becomes degrees (padded
// with zeros to 2 or 3 digits), minutes with three decimals and the
// hemisphere of its sign:
//
//   TF:44.2994600:-63.3000052
//
//   field  text         FLatDeg/FLonDeg  FLatMin/FLonMin  hemisphere
//   1      44.2994600   44               17.968           N
//   2      -63.3000052  063              18.000           W
TSample::Rearranged TSample::TowfishFromDecimal(LineVerdict& verdict) {
  const std::string_view latitude = FieldAt(1, ':', FNavTowPos);
  const std::string_view longitude = FieldAt(2, ':', FNavTowPos);
  Rearranged result = Rearranged::Accepted;
  std::string_view message;
  if (!HasNumericFraction(latitude)) message = kLatitude.degreeNumber;
  else if (!DecimalToDegMin(latitude, 2, 'S', 'N', FLatDeg, FLatMin, FLatHemi)) result = Rearranged::NotConverted;
  else if (!HasNumericFraction(longitude)) message = kLongitude.degreeNumber;
  else if (!DecimalToDegMin(longitude, 3, 'W', 'E', FLonDeg, FLonMin, FLonHemi) || !ComputeTowfish())
    result = Rearranged::NotConverted;
  if (message.empty() && result == Rearranged::Accepted) return result;
  verdict.note.assign(message);
  Clear({&FLatDeg, &FLatMin, &FLatHemi, &FLonDeg, &FLonMin, &FLonHemi, &FTfDecLat, &FTfDecLon, &FTfZone,
         &FTfNorth, &FTfEast});
  return result;
}

// Degrees, minutes ("MM.mmm" with the separator) and hemisphere of a signed
// decimal coordinate; false when its fraction does not convert.
bool TSample::DecimalToDegMin(std::string_view signedDecimal, std::size_t degreeWidth, char negative,
                              char positive, std::string& degrees, std::string& minutes,
                              std::string& hemisphere) {
  std::string_view whole = signedDecimal.substr(0, signedDecimal.find('.'));
  FScratch.assign("0.");
  FScratch.append(FractionOf(signedDecimal));
  double value = 0.0;
  if (!ReadNumber(FScratch, FDecimalSeparator, value)) return false;

  hemisphere.assign(1, !whole.empty() && whole[0] == '-' ? negative : positive);
  if (!whole.empty() && (whole[0] == '-' || whole[0] == '+')) whole.remove_prefix(1);
  degrees.assign(whole.size() < degreeWidth ? degreeWidth - whole.size() : 0, '0');
  degrees.append(whole);

  FormatFixed(value * 60.0, 3, FDecimalSeparator, minutes);
  const auto wholeMinutes = minutes.find(FDecimalSeparator);
  if (wholeMinutes < 2) minutes.insert(0, 2 - wholeMinutes, '0');
  return true;
}

// ---- Checks ---------------------------------------------------------------

int TSample::ParseDetached(std::string_view line, LineVerdict& verdict) {
  ResetVerdict(verdict);
  FRawLine.assign(line);
  FNumbers = {};
  if (line.empty()) {
    verdict.emptyLine = true;
    return Fail(verdict, CheckStep::Rearrangement, kEmptyLine);
  }
  SplitColumns(line);
  AssignFields();
  const Rearranged rearranged = Rearrange(line, verdict);
  bool positionInvalid = false;
  if (HasField(sfHeader)) {
    if (FHeaderText.empty() || FHeaderText != FHeader) return Fail(verdict, CheckStep::Header, kBadHeader);
  } else if (rearranged == Rearranged::Rejected) {
    verdict.message.swap(verdict.note);
    verdict.firstFailure = CheckStep::Rearrangement;
    return -1;
  } else {
    positionInvalid = rearranged == Rearranged::NotConverted;
  }
  if (RunChecks(verdict) != 0) return -1;
  if (positionInvalid) return Fail(verdict, CheckStep::PositionInvalid, kBadPosition);
  NoteNumbers(verdict);
  return 0;
}

// The numbers of an accepted line. A position counts where its texts were
// derived (a zone was filled) and it lies on the Earth; the RT4 KV
// compatible record carries only degrees and minutes, read here. Depth and
// sounder are their texts' numbers; an empty depth, which the checks turn
// into the text "0" for the grid, is no depth.
void TSample::NoteNumbers(const LineVerdict& verdict) {
  if (FTfZone.empty()) FNumbers.towfish = {};
  if (FGpsZone.empty()) FNumbers.gps = {};
  if (FKind == skRTC) {
    std::string decLat, decLon;
    if (!PositionDegrees({FLatDeg, FLatMin, FLatHemi, FLonDeg, FLonMin, FLonHemi}, FDecimalSeparator, decLat, decLon,
                         FNumbers.towfish.latitude, FNumbers.towfish.longitude))
      FNumbers.towfish = {};
  }
  for (GeoPosition* position : {&FNumbers.towfish, &FNumbers.gps})
    if (!position->OnEarth()) *position = {};
  double value = 0.0;
  if (verdict.checkTowDepth) FNumbers.towDepth = static_cast<float>(verdict.towDepth);
  if (!FSounder.empty() && ReadNumber(FSounder, FDecimalSeparator, value)) FNumbers.sounder = static_cast<float>(value);
}

int TSample::RunChecks(LineVerdict& verdict) {
  std::string_view message;
  if (HasField(sfDev)) {
    if (FDev.empty() || FDev.size() != static_cast<std::size_t>(FDevDigits) + 1) {
      FScratch.assign(kDevLength);
      FScratch.append(std::to_string(FDevDigits));
      return Fail(verdict, CheckStep::Dev, FScratch);
    }
    if (FDev[0] != '-' && FDev[0] != '+') return Fail(verdict, CheckStep::Dev, kDevSign);
    if (!IsInteger(std::string_view(FDev).substr(1))) return Fail(verdict, CheckStep::Dev, kDevNumber);
  }
  if (HasField(sfLonDeg)) {
    if (!CheckDegrees(FLonDeg, 3, kLongitude, message, verdict.lonDeg))
      return Fail(verdict, CheckStep::LonDegFormat, message);
    verdict.checkLonDeg = true;
    verdict.lonDegText = FLonDeg;
  }
  if (HasField(sfLonMin) && !CheckMinutes(FLonMin, kLongitude, message))
    return Fail(verdict, CheckStep::LonMin, message);
  if (HasField(sfLonHemi) && !CheckHemisphere(FLonHemi, kLongitude, message))
    return Fail(verdict, CheckStep::LonHemi, message);
  if (HasField(sfLatDeg)) {
    if (!CheckDegrees(FLatDeg, 2, kLatitude, message, verdict.latDeg))
      return Fail(verdict, CheckStep::LatDegFormat, message);
    verdict.checkLatDeg = true;
    verdict.latDegText = FLatDeg;
  }
  if (HasField(sfLatMin) && !CheckMinutes(FLatMin, kLatitude, message))
    return Fail(verdict, CheckStep::LatMin, message);
  if (HasField(sfLatHemi) && !CheckHemisphere(FLatHemi, kLatitude, message))
    return Fail(verdict, CheckStep::LatHemi, message);
  if (HasField(sfTowDepth)) {
    if (FTowDepth.empty()) {
      FTowDepth.assign(1, '0');
    } else {
      // A text such as "1.-5" passes the number test but is no number.
      if (!IsNumber(FTowDepth) || !ReadNumber(FTowDepth, FDecimalSeparator, verdict.towDepth))
        return Fail(verdict, CheckStep::TowDepthFormat, kBadTowDepth);
      verdict.checkTowDepth = true;
      verdict.towDepthIsZeroText = FTowDepth == "0.0";
      verdict.towDepthText = FTowDepth;
    }
  }
  if (HasField(sfSounder) && FKind != skKVS && !FSounder.empty() && !IsNumber(FSounder))
    return Fail(verdict, CheckStep::Sounder, kBadSounder);
  return 0;
}

// ---- Continuity -----------------------------------------------------------

int TSample::Resolve(const LineVerdict& verdict) {
  if (!verdict.note.empty()) FErrorText = verdict.note;
  const auto reaches = [&](CheckStep step) { return verdict.firstFailure > step; };
  if (reaches(CheckStep::LonDegContinuity) && verdict.checkLonDeg &&
      !FollowDegrees(verdict.lonDeg, verdict.lonDegText, FPrevLonDeg))
    return Reject(kLongitude.degreeJump);
  if (reaches(CheckStep::LatDegContinuity) && verdict.checkLatDeg &&
      !FollowDegrees(verdict.latDeg, verdict.latDegText, FPrevLatDeg))
    return Reject(kLatitude.degreeJump);
  if (reaches(CheckStep::TowDepthContinuity) && verdict.checkTowDepth && !FollowTowDepth(verdict))
    return Reject(kBadTowDepth);
  if (verdict.firstFailure != CheckStep::None) return Reject(verdict.message);
  return 0;
}

// Degrees may differ by at most one from the last accepted ones.
bool TSample::FollowDegrees(std::int32_t value, const std::string& text, std::string& previous) {
  std::int32_t last = 0;
  if (!previous.empty() && ParseInteger(previous, last)) {
    const std::int64_t difference = static_cast<std::int64_t>(last) - value;
    if (difference > 1 || difference < -1) return false;
  }
  previous = text;
  return true;
}

// Depth may differ by at most 5 m from the last accepted one; "0.0" always
// passes and becomes the remembered depth.
bool TSample::FollowTowDepth(const LineVerdict& verdict) {
  double last = 0.0;
  if (!FPrevTowDepth.empty() && !verdict.towDepthIsZeroText &&
      ReadNumber(FPrevTowDepth, FDecimalSeparator, last)) {
    const double difference = last - verdict.towDepth;
    if (difference > 5.0 || difference < -5.0) return false;
  }
  FPrevTowDepth = verdict.towDepthText;
  return true;
}

int TSample::Reject(std::string_view message) {
  FErrorText.assign(message);
  return -1;
}

}  // namespace tessaly
