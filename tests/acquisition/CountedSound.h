// An alarm sound for tests: counted, not played.
#pragma once

#include "acquisition/AlarmSound.h"

namespace tessaly::testing {

class CountedSound : public AlarmSound {
 public:
  explicit CountedSound(int& plays) : plays_(plays) {}
  void Play() override { ++plays_; }

 private:
  int& plays_;
};

}  // namespace tessaly::testing
