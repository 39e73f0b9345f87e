#include "app/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <ctime>

#include "app/actionregistry.h"
#include "app/desktopshell.h"
#include "app/exportcommands.h"
#include "app/formfirstrun.h"
#include "app/guiutil.h"
#include "app/language.h"
#include "app/languages.h"
#include "app/qthost.h"
#include "app/session.h"
#include "app/shell.h"
#include "app/startup.h"
#include "app/termsignals.h"
#include "app/updatecommands.h"
#include "app/windowlayout.h"
#include "combs/combscommands.h"
#include "combs/combspage.h"
#include "combs/graphcommands.h"
#include "combs/ratingcommands.h"
#include "combs/ratingspage.h"
#include "combs/stakecommands.h"
#include "combs/stakespage.h"
#include "combs/tablecommands.h"
#include "combs/tablespage.h"
#include "stats/filtercommands.h"
#include "game/drawcommands.h"
#include "scripts/runcommands.h"
#include "game/drawspage.h"
#include "online/downloadcommands.h"
#include "online/formcatalogue.h"
#include "online/systemscommands.h"
#include "online/systemspage.h"
#include "scripts/scriptcommands.h"
#include "scripts/scriptlibrarycommands.h"
#include "scripts/scriptlibrarypanel.h"
#include "util/inifile.h"
#include "scripts/scriptpage.h"
#include "stats/drawsstatpage.h"
#include "stats/statcommands.h"
#include "util/format.h"
#include "util/safefile.h"
#include "views/cardpage.h"
#include "views/graphspage.h"
#include "views/layoutpage.h"
#include "views/viewcommands.h"

namespace quintar::gui {

const char* const kMainCaption = "Анализ статистики лотереи \"7 из 35\"";

std::string ProgramVersion() { return ProgramVersionText(); }

namespace {

// The list views and the grid whose column layout the main window keeps, in the order it stores them.
const char* const kLayoutViews[] = {"lvDraws",  "lvCombs",  "lvFilters", "lvDrawsStat",     "lvRatings",
                                    "lvTables", "lvSystems", "lvScript", "lvOnlineScripts", "sgStakes"};

// Panel widths of the status bar; the last one, the status text, takes the rest.
const int kPanelWidths[7] = {150, 180, 130, 150, 120, 125, 50};

// A status bar panel of its designed width that gives way in a window too narrow for every panel, so that
// panels clip their texts instead of lying over each other.
class TStatusPanel : public QLabel {
 public:
  TStatusPanel(int width, QWidget* parent) : QLabel(parent), width_(width) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  }
  QSize sizeHint() const override { return {width_, QLabel::sizeHint().height()}; }
  QSize minimumSizeHint() const override { return {std::min(width_, 40), QLabel::minimumSizeHint().height()}; }

 private:
  int width_;
};

// The window font: the desktop's own when it has Cyrillic letters, else a font that has them.
void ApplyCyrillicFont() {
  QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  if (!QFontDatabase::writingSystems(f.family()).contains(QFontDatabase::Cyrillic)) {
    QStringList candidates{"DejaVu Sans", "Liberation Sans", "Noto Sans", "FreeSans"};
    candidates << QFontDatabase::families(QFontDatabase::Cyrillic);
    for (const QString& family : candidates) {
      if (QFontDatabase::writingSystems(family).contains(QFontDatabase::Cyrillic)) {
        f.setFamily(family);
        break;
      }
    }
  }
  QApplication::setFont(f);
}

}  // namespace

TFormMain::TFormMain(Session& session, QtHost& host, TStartOptions options, QWidget* parent)
    : QMainWindow(parent), s_(session), host_(host), opts_(std::move(options)) {
  setObjectName("TFormMain");
  setWindowTitle(Tr(kMainCaption));
  host_.dialogParent = [this] { return static_cast<QWidget*>(this); };
  host_.setPanel = [this](int i, const QString& t) { SetPanelText(i, t); };
  host_.busyChanged = [this](bool busy) { OnBusyChanged(busy); };
  host_.changed = [this](Change what) { OnChanged(what); };
  auto* termSignals = new TTermSignals(this);
  connect(termSignals, &TTermSignals::TerminateRequested, this, &TFormMain::OnTerminateSignal);

  // Updates go into the folder of the program file.
  s_.SelfUpdate.ProgramDir = ExtractFilePath(opts_.ProgramPath);
  startup_ = std::make_unique<TStartup>(s_, opts_.Cmd, StartupHooks());
  if (!startup_->FormCreate() && startup_->EndRequested()) terminated_ = true;
}

TStartupHooks TFormMain::StartupHooks() {
  TStartupHooks h;
  h.SetWindowFont = [] { ApplyCyrillicFont(); };
  const std::string program = ExtractFileName(opts_.ProgramPath);
  h.OtherInstanceRunning = [program] { return OtherInstanceRunning(program); };
  h.Wait = [](int ms) {
    // A termination request ends the wait at once: the remaining tries only look at the processes.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms && !TTermSignals::Requested()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      QThread::msleep(10);
    }
  };
  h.ChooseLanguage = [this](int lcid) {
    languages_ = std::make_unique<TLanguages>(opts_.ProgramPath, host_);
    languages_->Apply(lcid);
    setWindowTitle(Tr(kMainCaption));
    // The catalogue requests name the interface language.
    s_.ScriptLibrary.Language = languages_->Current();
    s_.Systems.Language = languages_->Current();
  };
  h.SetUpViews = [this] {
    BuildWindow();
    BuildStatusBar();
    actions_ = new ActionRegistry(s_, this);
    BuildMenu();
    BindCommands();
    // The systems page and its commands show only when the systems catalogue starts.
    pcMain->setTabVisible(pcMain->indexOf(Page("tsSystems")), false);
    if (QMenu* m = findChild<QMenu*>("mnSystems")) m->menuAction()->setVisible(false);
    for (const char* name : {"SystemStakeAll", "SystemStakeFilter"})
      if (QAction* a = actions_->Action(name)) a->setVisible(false);
    const struct {
      const char* key;
      const char* page;
    } tabs[] = {{"TabGraphs", "tsGraphs"}, {"TabCard", "tsCard"}, {"TabLayout", "tsLayout"}, {"TabTables", "tsTables"}};
    s_.Tables.ReadTabKey();
    for (const auto& t : tabs)
      pcMain->setTabVisible(pcMain->indexOf(Page(t.page)), std::string(t.key) == kTablesTabKey
                                                               ? s_.Tables.TabShown()
                                                               : s_.Frm.ReadFormBool(kMainForm, t.key, true));
  };
  h.StartServices = [this] {
    // The systems menu comes with the systems catalogue; the page and the stake commands as the user left
    // them. Without an address of the service nothing is asked: the lists stay empty.
    systemsStarted_ = true;
    s_.Systems.ReadKeys();
    ShowSystems();
    if (s_.Systems.Enabled) s_.Systems.Refresh(-1, true);
    if (s_.ScriptLibrary.PanelShown) s_.ScriptLibrary.Refresh(-1, true);
  };
  h.ReadWindowSettings = [this] { ReadWindowSettings(); };
  h.StartTimer = [this] {
    actions_->UpdateActions();
    tmrInit->start();
  };
  h.LoadTables = [this] { s_.Tables.Load(); };
  h.ReleaseTables = [this] { s_.Tables.Release(); };
  h.AppendVersion = [this] { setWindowTitle(Tr(kMainCaption) + Tr(" версия ") + Q(ProgramVersion())); };
  h.ShowFirstRun = [this] {
    // A termination request that came during the initialisation is not followed by a new dialog.
    if (!TTermSignals::Requested()) ShowFirstRun();
  };
  h.UpdateCheck = [this] { return s_.SelfUpdate.StartupCheck(languages_ ? languages_->Current() : kBaseLanguage); };
  h.RestartProgram = [this] { RestartProgram(); };
  h.EndProgram = [this] {
    // A copy that could not have the stakes file leaves the window settings to the copy that has it.
    if (!s_.StakesOpen()) settingsSaved_ = true;
    QTimer::singleShot(0, this, [this] { close(); });
  };
  h.ScriptStop = [this] {
    if (actions_) actions_->Execute(kScriptStop);
  };
  h.SaveWindowPlacement = [this](IniFile& ini) { SaveWindowPlacement(ini, kMainForm, this); };
  h.WriteShutdownKeys = [this](IniFile& ini) {
    ini.WriteInteger(kMainForm, "LeftPanelWidth", pcLists->width());
    for (TMainPage* p : pages_) p->WriteSettings(ini);
  };
  h.SaveListLayouts = [this](IniFile& ini) {
    for (const char* name : kLayoutViews)
      if (auto* v = findChild<QAbstractItemView*>(name)) SaveListLayout(ini, kMainForm, v);
  };
  return h;
}

TFormMain::~TFormMain() {
  host_.dialogParent = nullptr;
  host_.setPanel = nullptr;
  host_.busyChanged = nullptr;
  host_.changed = nullptr;
  host_.progressBegin = nullptr;
  host_.progressStep = nullptr;
  host_.progressEnd = nullptr;
  host_.showWait = nullptr;
  host_.hideWait = nullptr;
  s_.Archive.Clear();
}

void TFormMain::BuildWindow() {
  // The designed size, centred on the screen (smaller on a small screen).
  QSize size(1280, 800);
  if (QScreen* sc = QGuiApplication::primaryScreen()) {
    const QRect avail = sc->availableGeometry();
    size = size.boundedTo(avail.size() - QSize(40, 60));
    resize(size);
    move(avail.center() - QPoint(width() / 2, height() / 2));
  } else {
    resize(size);
  }

  drawsPage_ = new TDrawsPage(s_);
  pages_ = {drawsPage_, new TCombsPage(s_)};
  pcLists = new QTabWidget;
  pcLists->setObjectName("pcLists");
  for (TMainPage* p : pages_) pcLists->addTab(p, Tr(p->Caption()));

  pcMain = new QTabWidget;
  pcMain->setObjectName("pcMain");
  const std::vector<TMainPage*> mainPages = {new TDrawsStatPage(s_), new TGraphsPage(s_), new TCardPage(s_),
                                             new TLayoutPage(s_),    new TStakesPage(s_), new TRatingsPage(s_),
                                             new TTablesPage(s_),    new TSystemsPage(s_), new TScriptPage(s_)};
  for (TMainPage* p : mainPages) {
    pcMain->addTab(p, Tr(p->Caption()));
    pages_.push_back(p);
  }

  splitter = new QSplitter(Qt::Horizontal, this);
  splitter->setObjectName("Splitter");
  splitter->addWidget(pcLists);
  splitter->addWidget(pcMain);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setChildrenCollapsible(false);
  setCentralWidget(splitter);

  tmrInit = new QTimer(this);
  tmrInit->setObjectName("tmrInit");
  tmrInit->setSingleShot(true);
  tmrInit->setInterval(100);
  connect(tmrInit, &QTimer::timeout, this, &TFormMain::InitTimer);
}

void TFormMain::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName("StatusBar");
  for (int i = 0; i < 7; ++i) {
    QLabel* l = i < 6 ? new TStatusPanel(kPanelWidths[i], bar) : new QLabel(bar);
    l->setObjectName(QString("StatusPanel%1").arg(i + 1));
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setContentsMargins(3, 0, 3, 0);
    if (i == 6) l->setMinimumWidth(kPanelWidths[i]);
    if (i == 2) l->setAlignment(Qt::AlignCenter);
    bar->addWidget(l, i == 6 ? 1 : 0);
    panels_.push_back(l);
  }
  progress_ = new QProgressBar(bar);
  progress_->setObjectName("StatusProgress");
  progress_->setMaximumWidth(200);
  progress_->hide();
  bar->addPermanentWidget(progress_);
  host_.progressBegin = [this](int max) {
    progress_->setRange(0, std::max(0, max));
    progress_->setValue(0);
    progress_->show();
  };
  host_.progressStep = [this](int pos) { progress_->setValue(pos); };
  host_.progressEnd = [this] { progress_->hide(); };
}

void TFormMain::BuildMenu() {
  std::function<void(QMenu*, const std::vector<const char*>&)> fill = [&](QMenu* menu,
                                                                          const std::vector<const char*>& items) {
    for (const char* item : items) {
      const std::string it = item;
      if (it == "-") {
        menu->addSeparator();
      } else if (it[0] == '@') {
        for (const auto& sub : SubmenuTable()) {
          if (it.substr(1) != sub.Key) continue;
          QMenu* m = menu->addMenu(Tr(sub.Caption));
          m->setObjectName(sub.Key);
          if (it.substr(1) == kLanguageMenu)
            languages_->FillMenu(m, *actions_, [this](int lcid) {
              s_.Frm.WriteFormInt(kMainForm, "Language", lcid);
              RestartProgram();
            });
          else
            fill(m, sub.Items);
        }
      } else if (it[0] == '=') {
        const size_t bar = it.find('|');
        menu->addAction(actions_->Alias(it.substr(1, bar - 1), Tr(it.substr(bar + 1))));
      } else if (QAction* a = actions_->Action(it)) {
        menu->addAction(a);
      }
    }
  };
  for (const auto& def : MainMenuTable()) {
    QMenu* m = menuBar()->addMenu(Tr(def.Caption));
    m->setObjectName(def.Key);
    fill(m, def.Items);
  }

  // The draw list's own menu.
  QTableView* lv = drawsPage_->lvDraws;
  lv->setContextMenuPolicy(Qt::ActionsContextMenu);
  for (const char* name : {"DrawsInfo", "-", "DrawsAdd", "DrawsEdit", "DrawsDel", "-", "DrawsImport", "DrawsExport",
                           "DrawsXlsExport", "-", "DrawsSorted", "ViewColorDraws"}) {
    if (std::string(name) == "-") {
      auto* sep = new QAction(lv);
      sep->setSeparator(true);
      lv->addAction(sep);
    } else if (QAction* a = actions_->Action(name)) {
      lv->addAction(a);
    }
  }
}

void TFormMain::BindCommands() {
  BindDrawCommands(*actions_, s_, host_, *drawsPage_, this);
  BindFilterCommands(*actions_, s_, this);  // before the statistics page puts its pop-up actions in place
  BindStatCommands(*actions_, s_, host_, this);
  if (auto* script = qobject_cast<TScriptPage*>(Page("tsScript"))) BindScriptCommands(*actions_, s_, host_, *script, this);
  if (auto* ratings = static_cast<TRatingsPage*>(Page("tsRatings"))) {
    BindRatingCommands(*actions_, s_, *ratings, this, [this] {
      if (TMainPage* script = Page("tsScript")) pcMain->setCurrentWidget(script);
    });
    BindGraphCommands(*actions_, s_, *ratings, this);
  }
  if (auto* stakes = static_cast<TStakesPage*>(Page("tsStakes"))) BindStakeCommands(*actions_, s_, host_, *stakes, this);
  if (auto* combs = qobject_cast<TCombsPage*>(Page("tsCombs"))) BindCombsCommands(*actions_, s_, *combs, this);
  if (auto* tables = qobject_cast<TTablesPage*>(Page("tsTables")))
    BindTableCommands(*actions_, s_, host_, *tables, this, [this, tables](bool shown) {
      pcMain->setTabVisible(pcMain->indexOf(tables), shown);
      if (shown) pcMain->setCurrentWidget(tables);
    });
  BindDownloadCommands(*actions_, s_, host_, this);
  if (auto* statPage = qobject_cast<TDrawsStatPage*>(Page("tsDrawsStat"))) statPage->BindCommands(*actions_);
  BindScriptRunCommands(*actions_, s_, this);
  TViewPages views;
  views.Tabs = pcMain;
  views.Graphs = qobject_cast<TGraphsPage*>(Page("tsGraphs"));
  views.Card = qobject_cast<TCardPage*>(Page("tsCard"));
  views.Layout = qobject_cast<TLayoutPage*>(Page("tsLayout"));
  views.Draws = drawsPage_;
  views.Combs = qobject_cast<TCombsPage*>(Page("tsCombs"));
  BindViewCommands(*actions_, s_, views, this);
  // The analysis pages compute what they show when they come to the front.
  connect(pcMain, &QTabWidget::currentChanged, this, [this] {
    if (initialised_ && s_.IsIdle()) s_.RefreshViews(false);
  });
  if (auto* script = qobject_cast<TScriptPage*>(Page("tsScript")))
    BindScriptLibraryCommands(*actions_, s_, *script, this, [this] { return languages_->Available(); });
  if (auto* systems = qobject_cast<TSystemsPage*>(Page("tsSystems")))
    BindSystemsCommands(*actions_, s_, host_, *systems, this);
  BindExportCommands(*actions_, s_, this);
  actions_->Bind("EditCatalogue", [this] { return s_.IsIdle(); }, [this] { EditCatalogue(); });
  BindUpdateCommands(
      *actions_, s_, this, [this] { return languages_ ? languages_->Current() : kBaseLanguage; },
      [this] { RestartProgram(); });

  actions_->Bind("ExitProgram", nullptr, [this] { close(); });
  actions_->Bind(
      "GetHelp", [this] { return languages_->HelpFileExists(); },
      [this] { OpenHelpFile(languages_->HelpFile()); });
  actions_->Bind("About", nullptr, [this] { ShowAbout(); });

  const TMakerLinks& links = MakerLinks();
  const struct {
    const char* name;
    const std::string* url;
  } urls[] = {{"urlMainSite", &links.MainSite}, {"urlBlog", &links.Blog},         {"urlYT", &links.VideoBlog},
              {"urlAuthText", &links.Articles}, {"urlVK", &links.VK},             {"urlOK", &links.OK},
              {"urlAuthSite", &links.AuthorSite}, {"urlTG", &links.Telegram}};
  for (const auto& u : urls) {
    const std::string* url = u.url;
    actions_->Bind(u.name, [url] { return !url->empty(); }, [url] { OpenLink(*url); });
  }
}

TMainPage* TFormMain::Page(const char* objectName) const {
  for (TMainPage* p : pages_)
    if (p->objectName() == QLatin1String(objectName)) return p;
  return nullptr;
}

void TFormMain::ReadWindowSettings() {
  IniFile ini = s_.Frm.Open();
  showState_ = RestoreWindowPlacement(ini, kMainForm, this);
  leftPanelWidth_ = ini.ReadInteger(kMainForm, "LeftPanelWidth", kDesignedLeftWidth);
  s_.ReadFormKeys();
  for (TMainPage* p : pages_) p->ReadSettings(ini);
  for (const char* name : kLayoutViews)
    if (auto* v = findChild<QAbstractItemView*>(name)) RestoreListLayout(ini, kMainForm, v);
  // The card's draw number column is as wide as the draw list's.
  if (auto* card = qobject_cast<TCardPage*>(Page("tsCard"))) card->SetNumberColumnWidth(drawsPage_->lvDraws->columnWidth(0));
  drawsPage_->RefreshList(true);
}

void TFormMain::ShowRestored() {
  switch (showState_) {
    case TShowState::Maximized:
      showMaximized();
      break;
    case TShowState::Minimized:
      show();
      showMinimized();
      break;
    default:
      show();
  }
}

void TFormMain::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (shown_ || !splitter) return;
  shown_ = true;
  const int rest = std::max(1, splitter->width() - leftPanelWidth_ - splitter->handleWidth());
  splitter->setSizes({std::max(1, leftPanelWidth_), rest});
}

void TFormMain::InitTimer() {
  tmrInit->stop();
  startup_->InitTimer();
  initialised_ = true;
  if (actions_) actions_->UpdateActions();
  emit InitDone();
  if (!opts_.ScreenshotFile.isEmpty()) {
    // --screenshot-page="Комбинации,Ставки": the pages of either page control the picture shows.
    if (auto pages = opts_.Cmd.Value("screenshot-page")) {
      for (const QString& name : Q(*pages).split(',', Qt::SkipEmptyParts)) {
        for (QTabWidget* pc : {pcLists, pcMain}) {
          for (int i = 0; pc && i < pc->count(); ++i)
            if (pc->tabText(i) == name.trimmed()) pc->setCurrentIndex(i);
        }
      }
    }
    QTimer::singleShot(700, this, &TFormMain::TakeScreenshot);
  }
}

void TFormMain::ShowFirstRun() {
  TFormFirstRun dlg(
      this, languages_->HelpFileExists(), [this] { OpenHelpFile(languages_->HelpFile()); },
      [](const std::string& url) { OpenLink(url); });
  dlg.exec();
  if (dlg.cbDisable->isChecked()) s_.Frm.WriteFormBool(kMainForm, "FirstRun", false);
}

void TFormMain::ShowAbout() {
  const QString text =
      QString("<p><b>Quintar 7x35</b></p><p>%1<br>%2 %3</p><p>%4</p><p>Qt %5</p>")
          .arg(Tr(kMainCaption).toHtmlEscaped(), Tr("Версия"), Q(ProgramVersion()),
               Tr("Архив тиражей, статистика, комбинации, фильтры, ставки и сценарии для лотереи "
                  "7 из 35 с бонусным числом от 1 до 20.")
                   .toHtmlEscaped(),
               QString::fromLatin1(qVersion()));
  QMessageBox::about(this, Tr("О программе"), text);
}

void TFormMain::RestartProgram() {
  StartProgramAgain(opts_.ProgramPath, s_.DataDir());
  close();
}

void TFormMain::ShowSystems() {
  const bool shown = systemsStarted_ && s_.Systems.Enabled;
  if (QMenu* m = findChild<QMenu*>("mnSystems")) m->menuAction()->setVisible(systemsStarted_);
  if (TMainPage* page = Page("tsSystems")) pcMain->setTabVisible(pcMain->indexOf(page), shown);
  for (const char* name : {"SystemStakeAll", "SystemStakeFilter"})
    if (QAction* a = actions_->Action(name)) a->setVisible(shown);
}

void TFormMain::EditCatalogue() {
  TFormCatalogue dlg(this, s_.Online.Catalogue);
  if (dlg.exec() != QDialog::Accepted) return;
  BusyScope busy(s_);
  StatusScope status(s_, "Сохранение файла конфигурации...");
  const TCatalogueSettings settings = dlg.Result();
  try {
    IniFile ini(s_.FilePath(".ini"));
    settings.WriteTo(ini);
    ini.UpdateFile();
    s_.Online.Catalogue = settings;
  } catch (const std::exception& e) {
    s_.ShowFailure(kConfigWriteError, e);
  }
}

void TFormMain::SetPanelText(int index, const QString& text) {
  if (index >= 0 && index < static_cast<int>(panels_.size())) panels_[static_cast<size_t>(index)]->setText(text);
}

void TFormMain::OnChanged(Change what) {
  switch (what) {
    case Change::DrawsList:
    case Change::DrawsListForce:
      if (drawsPage_) drawsPage_->RefreshList(what == Change::DrawsListForce);
      break;
    case Change::Views:
      for (TMainPage* p : pages_) p->RefreshPage(false);
      break;
    case Change::Script:
      if (TMainPage* p = Page("tsScript")) p->RefreshPage(true);
      break;
    case Change::ScriptLibrary:
      if (auto* script = qobject_cast<TScriptPage*>(Page("tsScript"))) {
        script->ShowLibraryPanel();
        script->pnlOnlineScripts->RefreshList();
      }
      break;
    case Change::Systems:
      if (actions_) ShowSystems();
      if (auto* systems = qobject_cast<TSystemsPage*>(Page("tsSystems"))) systems->RefreshList();
      break;
    case Change::Ratings:
      if (TMainPage* p = Page("tsRatings")) p->RefreshPage(true);
      break;
    case Change::Tables:
      if (TMainPage* p = Page("tsTables")) p->RefreshPage(false);
      break;
    case Change::Stakes:
      if (TMainPage* p = Page("tsStakes")) p->RefreshPage(false);
      break;
    case Change::CombsList:
      if (auto* combs = qobject_cast<TCombsPage*>(Page("tsCombs"))) combs->RefreshList();
      break;
    case Change::FilterLog:
      if (auto* combs = qobject_cast<TCombsPage*>(Page("tsCombs"))) combs->RefreshFilters();
      break;
    case Change::Settings:
      // The channel size may have changed: the list's colours follow it.
      if (auto* combs = qobject_cast<TCombsPage*>(Page("tsCombs"))) combs->RepaintList();
      break;
    default:
      break;
  }
  if (actions_) actions_->UpdateActions();
}

void TFormMain::OnBusyChanged(bool busy) {
  if (drawsPage_) drawsPage_->edDrawsOffset->setEnabled(!busy);
  if (actions_) actions_->UpdateActions();
}

bool TFormMain::event(QEvent* e) {
  if (e->type() == QEvent::StatusTip) {
    // Hints go to the status text while no long operation shows its own.
    if (s_.IsIdle()) SetPanelText(6, static_cast<QStatusTipEvent*>(e)->tip());
    return true;
  }
  return QMainWindow::event(e);
}

void TFormMain::closeEvent(QCloseEvent* e) {
  // A running script is asked to stop; it unwinds at its next check while the program ends.
  startup_->FormCloseQuery();
  const bool save = !settingsSaved_ && !terminated_ && shown_;
  settingsSaved_ = true;
  startup_->FormDestroy(save);
  e->accept();
}

void TFormMain::OnTerminateSignal() {
  // Open menus, dialogs and message boxes are cancelled so that their commands unwind, then the window
  // closes the normal way.
  if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w == this || !w->isVisible() || !w->isModal()) continue;
    if (auto* d = qobject_cast<QDialog*>(w))
      d->reject();
    else
      w->close();
  }
  QTimer::singleShot(0, this, [this] { close(); });
}

void TFormMain::TakeScreenshot() {
  QPixmap shot;
  if (QGuiApplication::platformName() != QLatin1String("offscreen") && screen())
    shot = screen()->grabWindow(winId());
  if (shot.isNull()) shot = grab();
  if (!shot.save(opts_.ScreenshotFile, "PNG"))
    std::fprintf(stderr, "Не удалось сохранить снимок окна в файл %s\n", S(opts_.ScreenshotFile).c_str());
  close();
}

}  // namespace quintar::gui
