// The online script catalogue panel pnlOnlineScripts at the bottom of the page "Сценарий": its toolbar, the
// filter list cbOnlineScriptsFilter and the catalogue list lvOnlineScripts (initially sorted by the rating,
// best first; each row marked public or private).
#pragma once

#include <QWidget>

class QComboBox;
class QToolBar;

namespace quintar {
class Session;
}

namespace quintar::gui {

class TCatalogueList;

class TScriptLibraryPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TScriptLibraryPanel(Session& session, QWidget* parent = nullptr);

  // Follows the session's catalogue rows; the selection stays on the same scripts.
  void RefreshList();
  // The selected row of the session's catalogue (-1 when none) and its id.
  int SelectedRow() const;
  int SelectedId() const;
  void SelectOnly(int row);

  QToolBar* tbOnlineScripts;
  QComboBox* cbOnlineScriptsFilter;
  TCatalogueList* lvOnlineScripts;

 signals:
  void SelectionChanged();
  void RowActivated(int row);
  void FilterChosen(int entry);

 private:
  Session& session_;
};

}  // namespace quintar::gui
