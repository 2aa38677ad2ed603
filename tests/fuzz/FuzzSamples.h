// The record parsers a fuzz input can choose: one per log kind, set up as a
// document sets it up, and navigation parsers made by the import itself from
// a few headers and links (both modes, with and without a mark column, and
// one without any position).
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "core/untTSample.h"

namespace tessaly::fuzz {

std::size_t SetUpCount();

// A fresh sample of set-up `choice` (taken modulo SetUpCount()) with the
// given decimal separator and map datum.
std::unique_ptr<TSample> MakeSetUp(std::size_t choice, char separator, int mapDatum);

// The navigation header of a navigation set-up, empty for a log kind.
std::string SetUpHeader(std::size_t choice);

// A folder for the files a target writes, made once per process and removed
// at its end.
const std::string& ScratchFolder();

}  // namespace tessaly::fuzz
