#include "guitestutil.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "game/drawarchive.h"

namespace quintar::test {

DesktopFixture::DesktopFixture() {
  std::filesystem::create_directories(dir_.Path() + "data");
  std::filesystem::create_directories(dir_.Path() + "bin");
  // Tests never meet the start-up question about downloading new draws.
  WriteBytes(DataDir() + "Quintar_7x35.frm", "[TFormMain]\r\nDownloadDrawsOnStart=2\r\n");
}

DesktopFixture::~DesktopFixture() { Stop(); }

void DesktopFixture::WriteArchive(std::initializer_list<int> numbers) {
  TDrawArchive a;
  int k = 0;
  for (int n : numbers) {
    a.AppendDraw(MakeDraw(n, {1 + k, 2 + k, 3 + k, 4 + k, 5 + k, 6 + k, 7 + k}, 1 + k % 20, "5 Jan 2017"));
    k = (k + 1) % 28;
  }
  a.SaveToFile(DataDir() + "Quintar_7x35.ldr");
}

gui::TDesktop& DesktopFixture::Start(const QStringList& args) {
  Stop();
  gui::TStartOptions o;
  o.ProgramPath = ProgramPath();
  std::vector<std::string> a;
  for (const QString& s : args) a.push_back(s.toStdString());
  o.Cmd = CommandLine(a);
  desktop_ = std::make_unique<gui::TDesktop>(DataDir(), std::move(o));
  desktop_->Window->ShowRestored();
  if (!QTest::qWaitFor([this] { return desktop_->Window->Initialised(); }, 10000)) qFatal("no initialisation");
  return *desktop_;
}

void DesktopFixture::Stop() {
  if (!desktop_) return;
  desktop_->Window->close();
  desktop_.reset();
}

ModalDriver::ModalDriver() { QTimer::singleShot(10, this, &ModalDriver::Poll); }

ModalDriver::~ModalDriver() = default;

ModalDriver& ModalDriver::Then(std::function<bool(QWidget*)> step) {
  steps_.push_back(std::move(step));
  return *this;
}

void ModalDriver::Poll() {
  // A fresh timer each time: a step may open a modal window whose own event loop must poll again while
  // this call is still running, and a timer never fires inside its own handler.
  QTimer::singleShot(10, this, &ModalDriver::Poll);
  QWidget* m = QApplication::activeModalWidget();
  if (!m) {
    idlePolls_ = 0;
    return;
  }
  if (steps_.empty()) {
    // Nobody expected this window: give the command a moment, then cancel it so the test goes on.
    if (++idlePolls_ < 50) return;
    idlePolls_ = 0;
    QString what = m->metaObject()->className();
    if (auto* box = qobject_cast<QMessageBox*>(m)) what += ": " + box->text();
    Unexpected << what;
    if (auto* d = qobject_cast<QDialog*>(m)) d->reject();
    return;
  }
  auto step = steps_.front();
  steps_.pop_front();
  if (!step(m)) steps_.push_front(step);
}

std::function<bool(QWidget*)> AnswerBox(const QString& button, BoxSeen* seen) {
  return [button, seen](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (!box) return false;
    if (seen) {
      seen->caption = box->windowTitle();
      seen->text = box->text();
      seen->buttons.clear();
      for (QAbstractButton* b : box->buttons()) seen->buttons << b->text().remove('&');
      seen->defaultButton = box->defaultButton() ? box->defaultButton()->text().remove('&') : QString();
      switch (box->icon()) {
        case QMessageBox::Critical: seen->icon = "Critical"; break;
        case QMessageBox::Warning: seen->icon = "Warning"; break;
        case QMessageBox::Information: seen->icon = "Information"; break;
        case QMessageBox::Question: seen->icon = "Question"; break;
        default: seen->icon = "None";
      }
    }
    QMessageBox::StandardButton sb = button == "Yes"  ? QMessageBox::Yes
                                     : button == "No" ? QMessageBox::No
                                                      : QMessageBox::Ok;
    if (QAbstractButton* b = box->button(sb))
      b->click();
    else
      box->reject();
    return true;
  };
}

}  // namespace quintar::test
