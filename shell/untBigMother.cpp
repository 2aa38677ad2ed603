#include "shell/untBigMother.h"

#include <QGuiApplication>
#include <QLocale>
#include <QScreen>

#include "core/RecentFiles.h"
#include "core/SettingsFile.h"
#include "core/SettingsLine.h"
#include "core/TextReplace.h"
#include "shell/AppContext.h"

namespace tessaly {

TfrmBigMother::TfrmBigMother(QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags),
      CurrentDir(AppContext::Instance().CurrentDir),
      DecSeparator(QLocale().decimalPoint()) {
  resize(783, 390);
}

std::string TfrmBigMother::LibFile(std::string_view name) const { return LibPath(CurrentDir, name); }

std::string TfrmBigMother::EncodeLine(std::string_view value) { return tessaly::EncodeLine(value); }

std::string TfrmBigMother::DecodeLine(std::string_view line) { return tessaly::DecodeLine(line); }

void TfrmBigMother::AddRecentFile(const std::string& path) const {
  tessaly::AddRecentFile(LibFile("Files.ega"), path);
  if (const auto& hook = AppContext::Instance().OnRecentFileAdded) hook(path);
}

void TfrmBigMother::RemoveRecentFile(const std::string& path) const {
  tessaly::RemoveRecentFile(LibFile("Files.ega"), path);
  if (const auto& hook = AppContext::Instance().OnRecentFileRemoved) hook(path);
}

QString TfrmBigMother::ReplaceAllText(const QString& text, const QString& oldText, const QString& newText) {
  return QString::fromStdString(
      tessaly::ReplaceAllText(text.toStdString(), oldText.toStdString(), newText.toStdString()));
}

void TfrmBigMother::CentreOnMainWindow() {
  const QWidget* main = AppContext::Instance().MainWindow;
  QRect area;
  if (main && main != this) area = main->frameGeometry();
  else if (const QScreen* screen = QGuiApplication::primaryScreen()) area = screen->availableGeometry();
  if (area.isValid()) move(area.center() - rect().center());
}

}  // namespace tessaly
