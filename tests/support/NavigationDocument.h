// A navigation file opened as a document the way the import window hands it
// over, with channel @0 linked to the deviation.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/LogDocument.h"
#include "core/PnavImport.h"

namespace tessaly::testing {

inline LoadStatus OpenDevLinkedNavigation(LogDocument& doc, const std::string& path) {
  PnavImport import;
  EXPECT_EQ(import.NewFile(path), "");
  EXPECT_EQ(import.AddLink("@0", "Dev"), "");
  std::unique_ptr<TSample> sample = LogDocument::NewNavigationSample();
  EXPECT_EQ(ApplyHandOver(*sample, import), "");
  return doc.OpenNavigation(path, std::move(sample), {});
}

}  // namespace tessaly::testing
