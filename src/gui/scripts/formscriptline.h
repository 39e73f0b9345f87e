// The line editor ("Элемент сценария"): the starting list with its draws count, what becomes of the
// result, the two stake switches, the seven filter fields (typed by hand or edited in the filter editor
// through their "..." buttons or a double click) and the comment.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "combs/filterrecs.h"
#include "scripts/scriptline.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QToolButton;

namespace quintar::gui {

class TFormScriptLine : public QDialog {
  Q_OBJECT

 public:
  // editFilter edits one filter field's text in the filter editor: it returns the new text, or nothing
  // when the editor was cancelled.
  using TFilterFieldEditor = std::function<bool(std::string& text)>;

  TFormScriptLine(QWidget* parent, const QString& caption, int32_t defaultDraws, const std::string& line,
                  TFilterFieldEditor editFilter);

  // The line the dialog built on an accepted OK.
  const std::string& Line() const { return line_; }
  // Opens the filter editor for filter field i (0-based).
  void EditFilter(int i);

  void accept() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  QComboBox* cbStartCombs;
  QSpinBox* edDrawsCount;
  QComboBox* cbResultCombs;
  QCheckBox* cbClearStakes;
  QCheckBox* cbNewOnly;
  std::array<QLineEdit*, kStepFilters> edFilters{};
  std::array<QToolButton*, kStepFilters> btnFilters{};
  QLineEdit* edComment;

 private:
  TFilterFieldEditor editFilter_;
  std::string line_;
};

}  // namespace quintar::gui
