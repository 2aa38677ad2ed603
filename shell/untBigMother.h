// TfrmBigMother: base of every window of the program. Gives the program's
// folder, the locale's decimal separator and the shared services of the
// settings store: line scrambling, the recent-files list and replace-all.
#pragma once

#include <QString>
#include <QWidget>

#include <string>
#include <string_view>

namespace tessaly {

class TfrmBigMother : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmBigMother(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::Window);

  // The program's folder, ending with a separator (AppContext::CurrentDir).
  std::string CurrentDir;
  // The locale's decimal separator as a one-character text.
  QString DecSeparator;

  // CurrentDir + "Lib/" + name.
  std::string LibFile(std::string_view name) const;

  static std::string EncodeLine(std::string_view value);
  static std::string DecodeLine(std::string_view line);

  // Rewrite Lib/Files.ega (newest first, at most 8) and tell the main window
  // through AppContext. Throw SettingsError when the file cannot be written.
  void AddRecentFile(const std::string& path) const;
  void RemoveRecentFile(const std::string& path) const;

  static QString ReplaceAllText(const QString& text, const QString& oldText, const QString& newText);

  // Moves the window to the centre of the main window (of the screen when
  // there is no main window).
  void CentreOnMainWindow();
};

}  // namespace tessaly
