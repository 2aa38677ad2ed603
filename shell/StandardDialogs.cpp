#include "shell/StandardDialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QRegularExpression>

namespace tessaly {

QStringList DialogFilters(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString name = parts[i];
    const qsizetype open = name.lastIndexOf('(');
    if (open > 0) name = name.left(open).trimmed();
    filters << name + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
  }
  return filters;
}

QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter) {
  QFileDialog dialog(parent, caption, folder);
  // Files of other programs may spell the extension in either case.
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
  dialog.setNameFilters(DialogFilters(filter));
  dialog.setFileMode(QFileDialog::ExistingFile);
  return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

QString SuffixOfFilter(const QString& dialogFilter) {
  static const QRegularExpression firstPattern(QStringLiteral("\\(\\*\\.([A-Za-z0-9_]+)[ )]"));
  const QRegularExpressionMatch match = firstPattern.match(dialogFilter);
  return match.hasMatch() ? match.captured(1) : QString();
}

QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& start, const QString& filter,
                        const QString& defaultSuffix) {
  QFileDialog dialog(parent, caption, start);
  dialog.setNameFilters(DialogFilters(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(defaultSuffix);
  // The format chosen in the filter list decides a bare name's extension,
  // and so the format of an export.
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, defaultSuffix](const QString& chosen) {
    const QString suffix = SuffixOfFilter(chosen);
    dialog.setDefaultSuffix(suffix.isEmpty() ? defaultSuffix : suffix);
  });
  return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

bool InputQuery(QWidget* parent, const QString& caption, const QString& prompt, QString& text) {
  bool ok = false;
  const QString answer = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, text, &ok);
  if (ok) text = answer;
  return ok;
}

}  // namespace tessaly
