#include "tools/sim/GpsFaults.h"

#include <vector>

#include "core/NmeaSentence.h"

namespace tessaly::sim {
namespace {

std::string Sentence(const std::vector<std::string>& fields) {
  std::string body;
  for (std::size_t i = 0; i < fields.size(); ++i) body += (i ? "," : "") + fields[i];
  return "$" + body + "*" + NmeaChecksumText(body);
}

void Set(std::vector<std::string>& fields, std::size_t index, char value) {
  if (index < fields.size()) fields[index] = std::string(1, value);
}

}  // namespace

std::string InvalidatedSentence(std::string_view sentence) {
  const std::size_t star = sentence.rfind('*');
  if (sentence.size() < 7 || sentence[0] != '$' || star == std::string_view::npos) return std::string(sentence);
  const std::vector<std::string_view> views = SplitNmeaFields(sentence.substr(1, star - 1));
  std::vector<std::string> fields(views.begin(), views.end());
  const std::string_view type = std::string_view(fields[0]).substr(fields[0].size() >= 3 ? fields[0].size() - 3 : 0);
  if (type == "GGA") {
    Set(fields, 6, '0');
  } else if (type == "RMC") {
    Set(fields, 2, 'V');
    Set(fields, 12, 'N');
  } else if (type == "VTG") {
    Set(fields, 9, 'N');
  }
  return Sentence(fields);
}

std::string BadChecksumSentence(std::string_view sentence) {
  std::string bad(sentence);
  if (!bad.empty()) bad.back() = bad.back() == '0' ? '1' : '0';
  return bad;
}

bool GpsFaults::Chance(double probability) {
  if (probability <= 0.0) return false;
  return std::uniform_real_distribution<double>(0.0, 1.0)(random_) < probability;
}

}  // namespace tessaly::sim
