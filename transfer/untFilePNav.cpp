#include "transfer/untFilePNav.h"

namespace tessaly {

TfrmFilePNav::TfrmFilePNav(PnavImport import, QWidget* parent) : TfrmFile(parent), FImport(std::move(import)) {
  SetNavigationKind(true);
  SetImported(true);
}

// Each load configures a fresh sample from the hand-over; the document's
// navigation load shows "Importing data ..." from the start of the parse.
TLoadGrid::Opener TfrmFilePNav::DocumentOpener() const {
  return [import = FImport, path = FileName()](LogDocument& document, const LoadOptions& options) {
    std::unique_ptr<TSample> sample = LogDocument::NewNavigationSample();
    ApplyHandOver(*sample, import);
    document.OpenNavigation(path, std::move(sample), options);
  };
}

}  // namespace tessaly
