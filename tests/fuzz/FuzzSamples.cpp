#include "fuzz/FuzzSamples.h"

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <utility>
#include <vector>

#include "core/LogDocument.h"
#include "core/LogKind.h"
#include "core/PnavImport.h"
#include "fuzz/FuzzCheck.h"

namespace tessaly::fuzz {

namespace {

struct NavigationSetUp {
  std::string_view header;
  std::vector<std::pair<std::string_view, std::string_view>> links;
};

const std::array<NavigationSetUp, 8> kNavigation{{
    {"@t,@p:4,@>:2,@+,@0,@1,@2", {{"@0", "Dev"}, {"@1", "Towfish Depth"}, {"@2", "Sounder"}}},
    {"@t,@p:4,@>:2,@0,@1,@2", {{"@0", "Dev"}, {"@1", "Towfish Depth"}, {"@2", "Sounder"}}},
    {"@t,@+,@p,@0", {{"@0", "Dev"}}},
    {"@0,@p:4", {{"@0", "Dev"}}},
    {"@+,@t,@3,@0,@p:4,@>", {{"@3", "Dev"}, {"@0", "Sounder"}}},
    {"@0,@1", {{"@0", "Dev"}, {"@1", "Towfish Depth"}}},
    {"@p:4,@+,@9", {{"@9", "Dev"}}},
    {"@t,@>,@+,@p:3,@1,@0", {{"@1", "Dev"}, {"@0", "Towfish Depth"}}},
}};

constexpr std::size_t kLogKinds = 7;

class Scratch {
 public:
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessaly-fuzz-XXXXXX").string();
    Require(::mkdtemp(pattern.data()) != nullptr, "cannot make a scratch folder", pattern);
    path_ = pattern + "/";
  }
  ~Scratch() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// The navigation samples, made once through the import.
const std::vector<std::unique_ptr<TSample>>& NavigationSamples() {
  static const auto samples = [] {
    std::vector<std::unique_ptr<TSample>> made;
    const std::string path = ScratchFolder() + "header.txt";
    for (const NavigationSetUp& setUp : kNavigation) {
      std::ofstream(path, std::ios::binary | std::ios::trunc) << "Navigation\r\n" << setUp.header << "\r\n";
      PnavImport import;
      Require(import.NewFile(path).empty(), "a navigation header is refused", setUp.header);
      for (const auto& [channel, field] : setUp.links)
        Require(import.AddLink(channel, field).empty(), "a navigation link is refused", setUp.header);
      auto sample = LogDocument::NewNavigationSample();
      Require(ApplyHandOver(*sample, import).empty(), "the hand-over is refused", setUp.header);
      made.push_back(std::move(sample));
    }
    std::filesystem::remove(path);
    return made;
  }();
  return samples;
}

}  // namespace

const std::string& ScratchFolder() {
  static const Scratch scratch;
  return scratch.Path();
}

std::size_t SetUpCount() { return kLogKinds + kNavigation.size(); }

std::unique_ptr<TSample> MakeSetUp(std::size_t choice, char separator, int mapDatum) {
  choice %= SetUpCount();
  auto sample = std::make_unique<TSample>(separator);
  if (choice < kLogKinds) {
    SetUpSample(*sample, LogKinds()[choice]);
  } else {
    sample->CopySetUp(*NavigationSamples()[choice - kLogKinds]);
    sample->FDecimalSeparator = separator;
  }
  sample->FMapDatum = mapDatum;
  return sample;
}

std::string SetUpHeader(std::size_t choice) {
  choice %= SetUpCount();
  return choice < kLogKinds ? std::string() : std::string(kNavigation[choice - kLogKinds].header);
}

}  // namespace tessaly::fuzz
