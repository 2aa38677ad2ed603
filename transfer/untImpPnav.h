// TfrmImpPnav: "Pnav", the navigation import dialog. The operator picks a
// navigation file; its header tells which auxiliary channels ("NMEA Fields")
// the file holds, and the operator links channels to the record values
// "Dev", "Towfish Depth" and "Sounder" ("Fixed Fields"). OK, once "Dev" is
// linked, hands the links over to a new navigation document (TfrmFilePNav)
// and closes; Cancel closes without effect. Every rule (header analysis, link
// judging, hand-over) is PnavImport's; the dialog shows its messages through
// msgMenssage ("Warning", [OK]) and stays open after each.
//
// The dialog stays on top of the other windows; a new one is made for each
// import and frees itself when closed.
#pragma once

#include <functional>

#include "core/PnavImport.h"
#include "shell/untMother.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tessaly {

class TfrmFilePNav;

class TfrmImpPnav : public TfrmMother {
  Q_OBJECT

 public:
  explicit TfrmImpPnav(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;  // "File:"
  QLineEdit* edtFile = nullptr;
  QPushButton* SpeedButton1 = nullptr;  // chooses the file
  QGroupBox* GroupBox1 = nullptr;       // "Options"
  QComboBox* cmbAuxChannel = nullptr;   // "NMEA Fields:"
  QComboBox* cmbVariables = nullptr;    // "Fixed Fields:"
  QListWidget* lstLinks = nullptr;      // "Links"
  QPushButton* SpeedButton2 = nullptr;  // adds a link
  QPushButton* SpeedButton3 = nullptr;  // removes the selected link
  QPushButton* BitBtn1 = nullptr;       // OK
  QPushButton* BitBtn2 = nullptr;       // Cancel

  // The open dialog, given its filter in the program's form ("Pnav
  // (*.txt)|*.txt|..."); returns the chosen path or empty text. Tests
  // replace it.
  std::function<QString(QWidget* parent, const QString& filter)> ChooseFile;
  // Receives the navigation document made on OK, before its file is
  // assigned (the main window adds it to its documents). Without it the
  // document shows as a window of its own.
  std::function<void(TfrmFilePNav* document)> ShowDocument;

  // The links and columns the dialog has gathered.
  const PnavImport& Import() const { return FImport; }

  // Handlers, public so that tests can drive them like the buttons do.
  void SpeedButton1Click();
  void SpeedButton2Click();
  void SpeedButton3Click();
  void BitBtn1Click();
  void BitBtn2Click();

 private:
  void BuildLayout();
  void ShowImportState();
  void Warn(const std::string& message);

  PnavImport FImport;
};

}  // namespace tessaly
