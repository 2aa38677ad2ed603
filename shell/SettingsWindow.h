// SettingsWindow: the frame of a window that edits settings, with "&Save &&
// Close" and Cancel, and rows of numbers edited as text (their table of
// fields in the window's order). Its command is disabled while the window
// exists. Closing with "&Save && Close" asks Save(), which reads the
// controls and either refuses a value (a message naming the field, which
// gets the focus; the window stays open) or stores the settings; Cancel
// changes nothing.
#pragma once

#include <QLineEdit>
#include <QString>

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/SettingsFile.h"
#include "shell/untMother.h"

class QFormLayout;
class QHBoxLayout;
class QPushButton;

namespace tessaly {

class SettingsWindow : public TfrmMother {
  Q_OBJECT

 public:
  ~SettingsWindow() override;

  QPushButton* BitBtn1 = nullptr;  // "&Save && Close"
  QPushButton* BitBtn2 = nullptr;  // Cancel

 protected:
  // `command`: the action that opens the window.
  SettingsWindow(QWidget* parent, const QString& title, const QString& command);

  // Reads the edits and stores the settings; false, after Refuse(), when a
  // value is refused.
  virtual bool Save() = 0;

  // The row of "&Save && Close" and Cancel.
  QHBoxLayout* SaveAndCancelRow();
  // Adds a row to `form`: the caption and an edit for a number from `low`
  // to `high`, named after the caption.
  QLineEdit* AddNumberRow(QFormLayout* form, QWidget* parent, std::string_view caption, double low, double high);
  void Refuse(QLineEdit* edit, const QString& message);

  // The edit of the field captioned `caption` (fields and FEdits in the same
  // order); nullptr for another text.
  template <class Field>
  QLineEdit* EditOf(std::span<const Field> fields, std::string_view caption) const {
    for (std::size_t i = 0; i < fields.size(); ++i)
      if (fields[i].caption == caption) return FEdits[i];
    return nullptr;
  }
  template <class Settings, class Field>
  void ShowNumbers(std::span<const Field> fields, const Settings& settings) {
    for (std::size_t i = 0; i < fields.size(); ++i)
      FEdits[i]->setText(QString::fromStdString(SettingsNumberText(settings.*fields[i].member)));
  }
  // Reads every field's number into `settings`; refuses the first that is
  // none ("\"Cable out (m):\" must be a number.") and returns false.
  template <class Settings, class Field>
  bool ReadNumbers(std::span<const Field> fields, Settings& settings) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      try {
        settings.*fields[i].member = ParseSettingsNumber(FEdits[i]->text().toStdString(), fields[i].caption);
      } catch (const SettingsError&) {
        Refuse(FEdits[i], "\"" + QString::fromUtf8(fields[i].caption.data(), fields[i].caption.size()) +
                              "\" must be a number.");
        return false;
      }
    }
    return true;
  }

  void closeEvent(QCloseEvent* event) override;

  std::vector<QLineEdit*> FEdits;  // one per field, in the table's order

 private:
  void ReleaseCommand();

  QString FCommand;
  bool FCancelled = false;
  bool FCommandReleased = false;
};

}  // namespace tessaly
