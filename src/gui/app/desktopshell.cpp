#include "app/desktopshell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QUrl>

#include "app/guiutil.h"
#include "app/shell.h"
#include "game/game.h"
#include "util/format.h"
#include "util/safefile.h"

namespace quintar::gui {

void OpenLink(const std::string& text) {
  const std::string url = LinkUrl(text);
  if (!QDesktopServices::openUrl(QUrl(Q(url))))
    throw EQuintar(Format("Не удалось открыть адрес \"%s\"!", {url}));
}

void OpenHelpFile(const std::string& file, const std::string& topic) {
  QUrl url = QUrl::fromLocalFile(Q(file));
  // A compiled help file opens at a topic with "file::/topic" where its viewer understands it.
  if (IsCompiledHelp(file) && !topic.empty()) url = QUrl::fromLocalFile(Q(file + "::/" + topic));
  if (!QDesktopServices::openUrl(url)) throw EQuintar(Format("Не удалось открыть файл \"%s\"!", {file}));
}

void StartProgramAgain(const std::string& programPath, const std::string& dataDir) {
  QProcess p;
  p.setProgram(Q(programPath));
  QStringList args{"restart"};
  if (!dataDir.empty()) args << "--data-dir=" + Q(dataDir);
  p.setArguments(args);
  p.setWorkingDirectory(Q(ExtractFilePath(programPath)));
  if (!p.startDetached()) throw EQuintar(S(p.errorString()));
}

bool WaitForPreviousInstance(const std::string& programPath, const std::function<bool()>& stop) {
  const std::string name = ExtractFileName(programPath);
  if (!OtherInstanceRunning(name)) return true;
  for (int i = 0; i < 601; ++i) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 100) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      if (stop && stop()) return false;
      QThread::msleep(10);
    }
    if (!OtherInstanceRunning(name)) return true;
  }
  return false;
}

}  // namespace quintar::gui
