// The program's standard dialogs: open and save dialogs, whose filters are
// written the program's way ("Name (*.a, *.b)|*.a;*.b|Other|*.c": names and
// patterns alternate), and the one-line input box.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace tessaly {

// The filters as the file dialog takes them: each name with its patterns,
// blank-separated, in the parentheses at its end ("Name (*.a *.b)").
QStringList DialogFilters(const QString& filter);

// An existing file chosen in folder; empty text when dismissed.
QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter);

// The extension a dialog filter's first pattern names ("xyz" of
// "Geosoft XYZ (*.xyz)"); empty when it names none ("*", "*.*").
QString SuffixOfFilter(const QString& dialogFilter);

// A file name to write, starting at `start` (a folder, or a folder and a
// name); a name typed without an extension gets that of the filter chosen
// (defaultSuffix while the first is), and choosing an existing file asks
// before it is written over. Empty text when dismissed.
QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& start, const QString& filter,
                        const QString& defaultSuffix);

// The one-line input box: caption, prompt and the text to edit; false, the
// text unchanged, when cancelled.
bool InputQuery(QWidget* parent, const QString& caption, const QString& prompt, QString& text);

}  // namespace tessaly
