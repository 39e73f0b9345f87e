// The interface language of the desktop program: Russian is built in; another language is applied from its
// language module (a Qt translation file) together with Qt's own translations for that language. Also
// the help file of the current language.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMenu;
class QTranslator;

namespace quintar {
class FormSettings;
class IHost;
}  // namespace quintar

namespace quintar::gui {

class ActionRegistry;

class TLanguages {
 public:
  TLanguages(std::string programPath, IHost& host);
  ~TLanguages();

  // Chooses the language (the base language with noLanguage, else the stored "Language"), loads its
  // module and Qt's translations, finds the help file and lists the available languages. A module that
  // exists but cannot be loaded is reported and the base language is used.
  void Apply(int requested);

  int Current() const { return current_; }
  const std::vector<int>& Available() const { return available_; }
  const std::string& HelpFile() const { return helpFile_; }
  bool HelpFileExists() const;
  const std::string& ProgramPath() const { return programPath_; }

  // The language's name as the desktop shows it.
  static QString LanguageName(int lcid);

  // One radio item per available language ("Language<id>") in the menu, bound to the language change.
  // changeLanguage runs after the check that the module exists; it stores the choice and restarts.
  void FillMenu(QMenu* menu, ActionRegistry& actions, std::function<void(int)> changeLanguage);
  // Whether choosing lcid would change anything; raises with the "not found" message when its module
  // is missing.
  bool CheckChange(int lcid) const;

 private:
  void RemoveTranslators();

  std::string programPath_;
  IHost& host_;
  int current_;
  std::vector<int> available_;
  std::string helpFile_;
  std::vector<std::unique_ptr<QTranslator>> translators_;
};

}  // namespace quintar::gui
