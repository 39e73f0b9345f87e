// Every command of the main menu: its action name, caption, hint and shortcut, and the menu layout.
#pragma once

#include <vector>

namespace quintar::gui {

struct TActionDef {
  const char* Name;
  const char* Caption;
  const char* Hint;      // "" when none
  const char* Shortcut;  // portable key text ("Ctrl+F10"), "" when none
  bool Checkable = false;
  int RadioGroup = 0;    // actions sharing a non-zero group are radio items
};

// The actions in main menu order.
const std::vector<TActionDef>& ActionTable();

// A main menu entry: an action name, "-" for a separator, "@key" for a submenu of MenuTable's submenus,
// or "=Name|Caption" for a second menu item of the action Name shown with another caption.
struct TMenuDef {
  const char* Key;      // object name of the menu
  const char* Caption;
  std::vector<const char*> Items;
};

// The top-level menus in order, then the submenus (found by key).
const std::vector<TMenuDef>& MainMenuTable();
const std::vector<TMenuDef>& SubmenuTable();

// The submenu of interface languages, filled at start-up.
inline constexpr const char* kLanguageMenu = "miLanguage";
// The one command enabled while the program is busy.
inline constexpr const char* kScriptStop = "ScriptStop";

}  // namespace quintar::gui
