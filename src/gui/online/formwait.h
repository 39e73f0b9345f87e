// The wait panel: a small borderless panel centred over the main window with one text, shown while the
// draws are downloaded ("\r" in the text breaks lines).
#pragma once

#include <QFrame>

class QLabel;

namespace quintar::gui {

class TFormWait : public QFrame {
  Q_OBJECT

 public:
  explicit TFormWait(QWidget* owner);

  // Shows the panel with the text, centred over its owner, and paints it at once.
  void ShowText(const QString& text);
  QString Text() const;

  QLabel* lblWait;

 private:
  QWidget* owner_;
};

}  // namespace quintar::gui
