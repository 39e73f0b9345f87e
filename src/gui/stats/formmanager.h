// The favourite statistics manager dialog: the tree of the catalogue's methods with their ticks and
// names, the option boxes and the dialog's commands, all over the core model TFiltersManager.
#pragma once

#include <QDialog>
#include <map>
#include <string>

#include "app/filtersmanager.h"

class QAction;
class QCheckBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace quintar {
class Session;
}

namespace quintar::gui {

class TFormManager : public QDialog {
  Q_OBJECT

 public:
  TFormManager(QWidget* parent, Session& session);

  TFiltersManager& Model() { return model_; }
  // The dialog's command of that name ("CheckNone", "Rename", ...), or nullptr.
  QAction* Command(const std::string& name) const;
  // The tree item of a node.
  QTreeWidgetItem* Item(TFiltersManager::TNode n) const;

  void accept() override;
  void reject() override;

  QTreeWidget* tvFilters;
  QLabel* lblCount;
  QCheckBox* cbSortOnName;
  QCheckBox* cbShowGroupName;
  QCheckBox* cbShowFlags;

 private:
  void Fill();
  void UpdateCommands();
  void SyncSelection();
  void AddCommand(const std::string& name, const char* caption, bool (TFiltersManager::*rule)() const,
                  std::function<void()> run);
  static TFiltersManager::TNode NodeOf(const QTreeWidgetItem* item);

  Session& s_;
  TFiltersManager model_;
  bool filling_ = false;
  struct Cmd {
    QAction* action;
    bool (TFiltersManager::*rule)() const;
  };
  std::map<std::string, Cmd> commands_;
};

// FiltersManager: opens the dialog; OK stores what it shows.
void RunFiltersManager(QWidget* parent, Session& session);

}  // namespace quintar::gui
