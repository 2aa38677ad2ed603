// The commands of a window's menus by their captions, as the user reads
// them: "File > Import > Pnav".
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class QAction;
class QMenu;
class QMenuBar;

namespace tessaly::screenshots {

// A caption as shown: "&Save && Close" is "Save & Close", "Fit All\tHome"
// (a command with its shortcut's text) is "Fit All".
QString PlainCaption(const QString& caption);

struct MenuCommand {
  QStringList path;  // {"File", "Import", "Pnav"}
  QAction* action;   // the command, or the entry of a submenu
};

// Every fixed entry of the menus, in menu order: each submenu's own entry
// ("File > Import"), then what it holds. Entries the program adds while it
// runs (recent files, open windows) have no object name and are left out,
// as are separators.
std::vector<MenuCommand> MenuCommands(const QMenuBar& bar);

// The entry at the path (captions compared as PlainCaption shows them), or
// nullptr.
QAction* FindMenuCommand(const QMenuBar& bar, const QStringList& path);

// "File > Import > Pnav".
QString PathText(const QStringList& path);

}  // namespace tessaly::screenshots
