#include "tools/screenshots/MenuCommands.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace tessaly::screenshots {

namespace {

void AddCommands(const QList<QAction*>& actions, const QStringList& parent, std::vector<MenuCommand>& commands) {
  for (QAction* action : actions) {
    if (action->isSeparator()) continue;
    QMenu* submenu = action->menu();
    if (!submenu && action->objectName().isEmpty()) continue;  // a recent file or an open window
    const QStringList path = parent + QStringList{PlainCaption(action->text())};
    commands.push_back({path, action});
    if (submenu) AddCommands(submenu->actions(), path, commands);
  }
}

}  // namespace

// What follows a tab is the shortcut's text, shown apart.
QString PlainCaption(const QString& caption) {
  QString plain;
  const qsizetype end = caption.contains('\t') ? caption.indexOf('\t') : caption.size();
  for (qsizetype i = 0; i < end; ++i) {
    if (caption[i] != '&') {
      plain += caption[i];
    } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
      plain += '&';
      ++i;
    }
  }
  return plain;
}

std::vector<MenuCommand> MenuCommands(const QMenuBar& bar) {
  std::vector<MenuCommand> commands;
  AddCommands(bar.actions(), {}, commands);
  return commands;
}

QAction* FindMenuCommand(const QMenuBar& bar, const QStringList& path) {
  QList<QAction*> entries = bar.actions();
  QAction* found = nullptr;
  for (const QString& caption : path) {
    found = nullptr;
    for (QAction* action : entries)
      if (!action->isSeparator() && PlainCaption(action->text()) == caption) {
        found = action;
        break;
      }
    if (!found) return nullptr;
    entries = found->menu() ? found->menu()->actions() : QList<QAction*>();
  }
  return found;
}

QString PathText(const QStringList& path) { return path.join(QStringLiteral(" > ")); }

}  // namespace tessaly::screenshots
