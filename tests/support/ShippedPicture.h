// The picture the program ships in Lib/ (splash window and about box), for
// the tests of the windows that show it.
#pragma once

#include <filesystem>
#include <string>

#include "support/TempHome.h"

namespace tessaly::testing {

inline const std::string kShippedPicture = std::string(TESSALY_SOURCE_DIR) + "/Lib/Brenthal.jpg";

// Puts the shipped picture into the home's Lib/.
inline void CopyShippedPicture(const TempHome& home) {
  std::filesystem::copy_file(kShippedPicture, home.Lib("Brenthal.jpg"));
}

}  // namespace tessaly::testing
