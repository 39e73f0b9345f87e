// The commands of the analysis views: the page switches of the menu "Вид", the colour switches, the
// repeats analysis, the sum distribution and the details of a draw or a combination.
#pragma once

class QTabWidget;
class QWidget;

namespace quintar {
class Session;
}

namespace quintar::gui {

class ActionRegistry;
class TCardPage;
class TCombsPage;
class TDrawsPage;
class TGraphsPage;
class TLayoutPage;

struct TViewPages {
  QTabWidget* Tabs = nullptr;  // pcMain
  TGraphsPage* Graphs = nullptr;
  TCardPage* Card = nullptr;
  TLayoutPage* Layout = nullptr;
  TDrawsPage* Draws = nullptr;
  TCombsPage* Combs = nullptr;
};

void BindViewCommands(ActionRegistry& actions, Session& s, const TViewPages& pages, QWidget* window);

}  // namespace quintar::gui
