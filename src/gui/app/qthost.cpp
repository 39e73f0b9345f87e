#include "app/qthost.h"

#include <QDesktopServices>
#include <QUrl>

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QPushButton>

#include "app/guiutil.h"

namespace quintar::gui {

namespace {

QString BoxText(const QString& text) {
  QString t = text;
  t.replace("\r\n", "\n");
  t.replace('\r', '\n');
  return t;
}

QMessageBox::Icon IconOf(MsgKind kind) {
  switch (kind) {
    case MsgKind::Error: return QMessageBox::Critical;
    case MsgKind::Information: return QMessageBox::Information;
    case MsgKind::Attention:
    case MsgKind::Warning: return QMessageBox::Warning;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

void ShowMessageBox(QWidget* parent, MsgKind kind, const QString& text) {
  QMessageBox box(IconOf(kind), Tr(MsgCaption(kind)), BoxText(text), QMessageBox::Ok, parent);
  box.setObjectName("MessageBox");
  box.setDefaultButton(QMessageBox::Ok);
  box.exec();
}

bool AskBox(QWidget* parent, AskKind kind, const QString& text) {
  const bool retry = kind == AskKind::Retry;  // a failed operation asks whether to try again
  const char* caption = retry ? MsgCaption(MsgKind::Error) : kind == AskKind::Delete ? kDeleteCaption : kConfirmCaption;
  QMessageBox box(retry ? QMessageBox::Critical : QMessageBox::Question, Tr(caption), BoxText(text),
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.setObjectName("MessageBox");
  box.setDefaultButton(kind == AskKind::ConfirmYes || retry ? QMessageBox::Yes : QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

QWidget* QtHost::Parent() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return dialogParent ? dialogParent() : nullptr;
}

void QtHost::ShowStatus(const std::string& text) {
  if (setPanel) setPanel(6, Tr(text));
  ProcessEvents();
}

void QtHost::SetPanel(int index, const std::string& text) {
  if (setPanel) setPanel(index, Tr(text));
}

void QtHost::SetScriptPanel(int index, const std::string& text) {
  if (setScriptPanel) setScriptPanel(index, Tr(text));
}

void QtHost::BusyChanged(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  else
    QApplication::restoreOverrideCursor();
  if (busyChanged) busyChanged(busy);
}

void QtHost::ShowMessage(MsgKind kind, const std::string& text) { ShowMessageBox(Parent(), kind, Tr(text)); }

bool QtHost::Ask(AskKind kind, const std::string& text) { return AskBox(Parent(), kind, Tr(text)); }

void QtHost::ShowWait(const std::string& text) {
  if (showWait) showWait(Tr(text));
  ProcessEvents();
}

void QtHost::HideWait() {
  if (hideWait) hideWait();
}

void QtHost::ProgressBegin(int max) {
  if (progressBegin) progressBegin(max);
  ProcessEvents();
}

void QtHost::ProgressStep(int pos) {
  if (progressStep) progressStep(pos);
  ProcessEvents();
}

void QtHost::ProgressEnd() {
  if (progressEnd) progressEnd();
}

void QtHost::ProcessEvents() { QCoreApplication::processEvents(); }

void QtHost::Changed(Change what) {
  if (changed) changed(what);
}

void QtHost::OpenDocument(const std::string& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace quintar::gui
