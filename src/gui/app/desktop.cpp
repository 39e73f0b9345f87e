#include "app/desktop.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include "app/cmdline.h"
#include "app/guiutil.h"
#include "app/termsignals.h"
#include "game/game.h"

namespace quintar::gui {

TDesktop::TDesktop(const std::string& dataDir, TStartOptions options) : Sess(dataDir, Host) {
  Window = std::make_unique<TFormMain>(Sess, Host, std::move(options));
}

TDesktop::~TDesktop() { Window.reset(); }

int RunDesktop(int argc, char** argv) {
  TTermSignals::Install();
  QApplication app(argc, argv);
  QCoreApplication::setApplicationName("Quintar_7x35");
  // The installed menu entry and icon carry this name: the desktop matches the window to them.
  QGuiApplication::setDesktopFileName(QStringLiteral(QUINTAR_DESKTOP_ID));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(QUINTAR_DESKTOP_ID)));
  InstallDrawDateHooks();

  TStartOptions opts;
  opts.Cmd = CommandLine(argc, argv);
  opts.ProgramPath = CurrentProgramPath();
  if (opts.ProgramPath.empty()) opts.ProgramPath = S(QCoreApplication::applicationFilePath());
  if (auto shot = opts.Cmd.Value("screenshot")) opts.ScreenshotFile = Q(*shot);

  std::string dataDir;
  try {
    dataDir = ResolveDataFolder(opts.ProgramPath, opts.Cmd.Value("data-dir"));
  } catch (const std::exception& e) {
    ShowMessageBox(nullptr, MsgKind::Error, Tr("Ошибка запуска программы!") + "\n\n" + Q(e.what()));
    return 1;
  }
  TDesktop desktop(dataDir, std::move(opts));
  if (desktop.Window->Terminated()) return 0;
  desktop.Window->ShowRestored();
  return app.exec();
}

}  // namespace quintar::gui
