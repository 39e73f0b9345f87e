// A page of the main window's page controls. Each subsystem's page is its own class; the window keeps
// them in its page controls, lets them read and write their settings and asks them to refresh.
#pragma once

#include <QWidget>

namespace quintar {
class IniFile;
}

namespace quintar::gui {

class TMainPage : public QWidget {
  Q_OBJECT

 public:
  TMainPage(const char* objectName, const char* caption, QWidget* parent = nullptr);
  // The caption of the page's tab (a program text, translated when shown).
  const char* Caption() const { return caption_; }

  // Settings the page keeps in the main window's section: read at window creation, written at shutdown.
  virtual void ReadSettings(const IniFile& ini) { (void)ini; }
  virtual void WriteSettings(IniFile& ini) { (void)ini; }
  // Shows what changed in the session; force repaints even when the page's inputs did not change.
  virtual void RefreshPage(bool force) { (void)force; }

 private:
  const char* caption_;
};

}  // namespace quintar::gui
