// The main window's commands. Every action of the main menu exists under its name (the QAction's object
// name) from the start; a command becomes usable when its subsystem binds the action to the core's pair
// of enabling rule and execution:
//
//   registry.Bind("CombsGen", [&] { return session.CanCombsGen(); }, [&] { ... session.CombsGen(...); });
//
// An action nobody bound stays disabled. UpdateActions() re-evaluates every rule in one place: after each
// command, on selection and state changes. While the session is busy every action but ScriptStop is
// disabled, whatever its own rule says.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/actiontable.h"

class QAction;
class QActionGroup;
class QWidget;

namespace quintar {
class Session;
}

namespace quintar::gui {

class ActionRegistry : public QObject {
  Q_OBJECT

 public:
  ActionRegistry(Session& session, QWidget* owner);

  // The action of that name, or nullptr.
  QAction* Action(std::string_view name) const;
  // Creates an action outside the main menu table (language items and the like); the texts are shown
  // as they are.
  QAction* Add(const std::string& name, const QString& caption, const QString& hint, bool checkable);
  // Binds an action to its enabling rule and its execution; the execution may raise, the failure is shown
  // in an error box.
  void Bind(std::string_view name, std::function<bool()> enabled, std::function<void()> execute);
  // The checked state of a checkable action.
  void BindChecked(std::string_view name, std::function<bool()> checked);
  bool IsBound(std::string_view name) const;
  // A second menu item for an action, with its own caption; it follows the action's state.
  QAction* Alias(std::string_view name, const QString& caption);

  // Re-evaluates every enabling rule and checked state.
  void UpdateActions();
  // Runs the command when it is enabled now; returns whether it ran.
  bool Execute(std::string_view name);

  const std::vector<std::string>& Names() const { return order_; }

 signals:
  // A command finished (also when it failed).
  void CommandDone(const QString& name);

 private:
  struct Entry {
    QAction* action = nullptr;
    std::function<bool()> enabled;
    std::function<void()> execute;
    std::function<bool()> checked;
    std::vector<QAction*> aliases;
  };
  QAction* AddAction(const std::string& name, const QString& caption, const QString& hint, const char* shortcut,
                     bool checkable, int radioGroup);
  bool Allowed(const std::string& name, const Entry& e) const;
  void Run(const std::string& name);

  Session& session_;
  QWidget* owner_;
  std::map<std::string, Entry, std::less<>> entries_;
  std::vector<std::string> order_;
  std::map<int, QActionGroup*> groups_;
  std::map<QString, std::string> shortcuts_;  // shortcut text -> action that holds it
};

}  // namespace quintar::gui
