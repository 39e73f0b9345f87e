// The new-version dialog: the running and the offered version, the description of what is new, and the
// choice to install. A build that cannot install (a distribution's, or a program folder that is not
// writable) only tells: its one button closes the dialog.
#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace quintar {
struct TUpdateCheck;
}

namespace quintar::gui {

class TFormNewVersion : public QDialog {
  Q_OBJECT

 public:
  TFormNewVersion(QWidget* parent, const TUpdateCheck& found, bool canInstall);

  QLabel* lblCurrentVersion;
  QLabel* lblNewVersion;
  QLabel* lblDescription;  // the descriptor's one-line description
  QPlainTextEdit* edDescription;
  QLabel* lblDistribution = nullptr;  // only when the build cannot install
  QPushButton* btnInstall = nullptr;
  QPushButton* btnCancel = nullptr;
  QPushButton* btnClose = nullptr;
};

}  // namespace quintar::gui
