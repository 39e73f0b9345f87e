// Page "Сценарий": the script list lvScript over the script status bar sbScript (lines, cycle, line being
// run, stakes made, free text), with the online script catalogue at its bottom.
#pragma once

#include <QAbstractTableModel>
#include <string>
#include <vector>

#include "app/mainpage.h"

class QLabel;
class QSplitter;
class QStatusBar;
class QTableView;

namespace quintar {
class Session;
}

namespace quintar::gui {

class TScriptLibraryPanel;

// The script list as a virtual list: a row count, and each row's cells formatted from the session's
// script lines when the view asks for them.
class TScriptListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TScriptListModel(Session& session, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Follows the script: the rows are rebuilt from the lines.
  void Refresh();

 private:
  const std::vector<std::string>& Cells(int row) const;

  Session& session_;
  int rows_ = 0;
  // The cells of each row once shown: reading a line's filters looks their codes up in the catalogue.
  mutable std::vector<std::vector<std::string>> cells_;
};

class TScriptPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TScriptPage(Session& session, QWidget* parent = nullptr);

  void RefreshPage(bool force) override;
  // "ScriptLibraryHeight" (the catalogue panel's height) and "ScriptLibraryFilter".
  void ReadSettings(const IniFile& ini) override;
  void WriteSettings(IniFile& ini) override;
  // Shows or hides the catalogue panel and its splitter as the session says.
  void ShowLibraryPanel();
  // The list follows the script's lines; the selection is kept where its rows still exist.
  void RefreshList();
  // A panel of the script status bar, 0-based.
  void SetPanel(int index, const QString& text);
  QString PanelText(int index) const;

  // Selected rows, ascending.
  std::vector<int> SelectedRows() const;
  int SelectedCount() const;
  // The selected line the single-line commands work on (the first one), or -1.
  int FirstSelectedRow() const;
  // Makes the row the only selected one and scrolls it into view.
  void SelectOnly(int row);
  void ClearSelection();

  QTableView* lvScript;
  QStatusBar* sbScript;
  QSplitter* splScript;  // the script list above, the catalogue panel below
  TScriptLibraryPanel* pnlOnlineScripts;
  static constexpr int kDesignedLibraryHeight = 220;

 signals:
  void SelectionChanged();
  void RowActivated(int row);  // double click on a row

 private:
  Session& session_;
  TScriptListModel* model_;
  std::vector<QLabel*> panels_;
  int libraryHeight_ = kDesignedLibraryHeight;
};

}  // namespace quintar::gui
