// TfrmFilePNav: the document window of a navigation import. A log document
// whose records are the data lines of a navigation ("Pnav") file, read with a
// navigation sample set up from the links the import dialog made. Listed,
// charted, commented and exported like any log (its export leaves out "TF
// DEPTH"); being an import, closing it asks "Save importation?".
#pragma once

#include "core/PnavImport.h"
#include "shell/untFile.h"

namespace tessaly {

class TfrmFilePNav : public TfrmFile {
  Q_OBJECT

 public:
  // import: the dialog's state once a "Dev" link exists (the hand-over).
  // Assigning FileName then loads the file under the progress message
  // "Importing data ...".
  explicit TfrmFilePNav(PnavImport import, QWidget* parent = nullptr);

  const PnavImport& Import() const { return FImport; }

 protected:
  TLoadGrid::Opener DocumentOpener() const override;

 private:
  PnavImport FImport;
};

}  // namespace tessaly
