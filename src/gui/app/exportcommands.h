// The spreadsheet export commands of the main window's table views ("Экспорт в Microsoft Excel" and the
// like): the view's table handed to the export dialog, the file asked for, the workbook written and opened
// with the desktop's handler.
#pragma once

class QAbstractItemView;
class QWidget;

namespace quintar {
class Session;
struct TExportSource;
enum class TExportKind;
}  // namespace quintar

namespace quintar::gui {

class ActionRegistry;

// The table of a view as the export takes it: captions, widths (hidden columns 0) and alignments of its
// columns, the displayed texts of its rows, its selection.
TExportSource ExportSourceOf(const QAbstractItemView* view, TExportKind kind);

// Binds every export command whose view the window holds.
void BindExportCommands(ActionRegistry& reg, Session& s, QWidget* window);

}  // namespace quintar::gui
