// Helpers of the desktop program's tests: a desktop over a temporary data folder, and a driver that
// answers modal dialogs and message boxes as they appear inside a command.
#pragma once

#include <QFileDialog>
#include <QLineEdit>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "app/desktop.h"
#include "testutil.h"

class QWidget;

namespace quintar::test {

// A desktop program on its own folders: the program file's folder "bin/" and the data folder "data/".
class DesktopFixture {
 public:
  DesktopFixture();
  ~DesktopFixture();
  std::string DataDir() const { return dir_.Path() + "data/"; }
  std::string ProgramPath() const { return dir_.Path() + "bin/Quintar_7x35"; }
  std::string File(const std::string& name) const { return dir_.File(name); }

  // Writes an archive file of draws numbered as given (numbers 1..7 shifted per draw).
  void WriteArchive(std::initializer_list<int> numbers);
  // Creates the desktop, shows the window and waits for the one-shot initialisation.
  gui::TDesktop& Start(const QStringList& args = {});
  // Closes the window the normal way (settings are written) and destroys the desktop.
  void Stop();
  gui::TDesktop& D() { return *desktop_; }

 private:
  TempDir dir_;
  std::unique_ptr<gui::TDesktop> desktop_;
};

// Deals with modal windows as they come: each step gets the active modal widget and returns true when it
// handled it (false leaves the widget for the next poll). Steps may open further modal windows; the next
// steps handle those. A modal window that no step is left for is rejected and noted in Unexpected.
class ModalDriver : public QObject {
  Q_OBJECT

 public:
  ModalDriver();
  ~ModalDriver() override;
  ModalDriver& Then(std::function<bool(QWidget*)> step);
  bool Done() const { return steps_.empty(); }
  QStringList Unexpected;

 private:
  void Poll();
  std::deque<std::function<bool(QWidget*)>> steps_;
  int idlePolls_ = 0;
};

// The text, caption and default button of a message box (for checks after the command).
struct BoxSeen {
  QString caption, text, defaultButton, icon;
  QStringList buttons;
};
// A step that records the message box it meets and presses the button with that standard role
// ("Yes", "No", "Ok").
std::function<bool(QWidget*)> AnswerBox(const QString& button, BoxSeen* seen = nullptr);

// Chooses a file in a widget file dialog. The dialog sometimes drops a selection of a file it showed last;
// the name typed into its name field then does it.
inline void SelectFile(QFileDialog* dlg, const QString& path) {
  dlg->selectFile(path);
  if (dlg->selectedFiles().isEmpty() || dlg->selectedFiles().first() != path)
    if (auto* name = dlg->findChild<QLineEdit*>("fileNameEdit")) name->setText(path);
}

}  // namespace quintar::test
