// The desktop program as one object: the Qt host, the session over the data folder and the main window.
// main() runs RunDesktop; tests build a TDesktop on a temporary data folder.
#pragma once

#include <memory>
#include <string>

#include "app/mainwindow.h"
#include "app/qthost.h"
#include "app/session.h"

namespace quintar::gui {

class TDesktop {
 public:
  TDesktop(const std::string& dataDir, TStartOptions options);
  ~TDesktop();
  TDesktop(const TDesktop&) = delete;
  TDesktop& operator=(const TDesktop&) = delete;

  QtHost Host;
  Session Sess;
  std::unique_ptr<TFormMain> Window;
};

// The desktop program: "--data-dir=DIR" chooses the data folder, "--screenshot=FILE" saves a picture of
// the window once it is ready and closes it; the other switches are the program's own ("restart", ...).
int RunDesktop(int argc, char** argv);

}  // namespace quintar::gui
