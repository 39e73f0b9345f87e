#include "online/formwait.h"

#include <QLabel>
#include <QVBoxLayout>

namespace quintar::gui {

namespace {
constexpr int kWaitWidth = 360;
constexpr int kWaitMinHeight = 90;
}  // namespace

TFormWait::TFormWait(QWidget* owner)
    : QFrame(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus), owner_(owner) {
  setObjectName("TFormWait");
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(2);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAutoFillBackground(true);
  lblWait = new QLabel(this);
  lblWait->setObjectName("lblWait");
  lblWait->setAlignment(Qt::AlignCenter);
  lblWait->setWordWrap(true);
  QFont f = lblWait->font();
  f.setBold(true);
  lblWait->setFont(f);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 16, 16, 16);
  layout->addWidget(lblWait);
  setFixedWidth(kWaitWidth);
}

void TFormWait::ShowText(const QString& text) {
  QString t = text;
  t.replace("\r\n", "\n");
  t.replace('\r', '\n');
  lblWait->setText(t);
  const int h = std::max(kWaitMinHeight, lblWait->heightForWidth(kWaitWidth - 36) + 36);
  resize(kWaitWidth, h);
  if (owner_) {
    const QRect r = owner_->frameGeometry();
    move(r.center() - QPoint(width() / 2, height() / 2));
  }
  if (!isVisible()) show();
  raise();
  repaint();
}

QString TFormWait::Text() const { return lblWait->text(); }

}  // namespace quintar::gui
