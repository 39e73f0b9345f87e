#include "app/languages.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QTranslator>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "app/actionregistry.h"
#include "app/guiutil.h"
#include "app/host.h"
#include "app/language.h"
#include "game/game.h"
#include "util/format.h"
#include "util/safefile.h"

namespace quintar::gui {

namespace {

QString QtLocaleName(int lcid) {
  const TLocaleInfo* l = FindLocale(lcid);
  return l ? QString::fromLatin1(l->Name) : QStringLiteral("ru_RU");
}

// Why a module could not be loaded, in the words of the system when the file cannot be read.
std::string LoadErrorText(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return std::strerror(errno);
  return "Файл не является языковым модулем.";
}

}  // namespace

TLanguages::TLanguages(std::string programPath, IHost& host)
    : programPath_(std::move(programPath)), host_(host), current_(kBaseLanguage) {}

TLanguages::~TLanguages() { RemoveTranslators(); }

void TLanguages::RemoveTranslators() {
  for (auto& t : translators_) QCoreApplication::removeTranslator(t.get());
  translators_.clear();
}

void TLanguages::Apply(int requested) {
  RemoveTranslators();
  TLanguageChoice choice = ChooseLanguage(programPath_, requested);
  if (!choice.ModulePath.empty()) {
    auto module = std::make_unique<QTranslator>();
    if (module->load(Q(choice.ModulePath))) {
      QCoreApplication::installTranslator(module.get());
      translators_.push_back(std::move(module));
    } else {
      host_.ShowMessage(MsgKind::Error,
                        Format(kLanguageModuleNotLoaded, {choice.ModulePath, LoadErrorText(choice.ModulePath)}));
      choice = TLanguageChoice{};
    }
  }
  current_ = choice.Lcid;

  // Qt's own texts (standard buttons, dialogs) in the same language.
  const QLocale locale(QtLocaleName(current_));
  QLocale::setDefault(locale);
  const QString qtDir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  for (const char* name : {"qtbase", "qt"}) {
    auto t = std::make_unique<QTranslator>();
    if (t->load(locale, QString::fromLatin1(name), "_", qtDir)) {
      QCoreApplication::installTranslator(t.get());
      translators_.push_back(std::move(t));
      break;
    }
  }

  available_ = AvailableLanguages(programPath_);
  const TLocaleInfo* info = FindLocale(current_);
  helpFile_ = FindHelpFile(programPath_, info ? info->Abbrev : "RUS", HelpFileExtensions());
}

bool TLanguages::HelpFileExists() const { return FileExists(helpFile_); }

QString TLanguages::LanguageName(int lcid) {
  QString name = QLocale(QtLocaleName(lcid)).nativeLanguageName();
  if (!name.isEmpty()) name[0] = name[0].toUpper();
  return name.isEmpty() ? QString::number(lcid) : name;
}

bool TLanguages::CheckChange(int lcid) const {
  if (lcid == current_) return false;
  if (lcid != kBaseLanguage) {
    const TLocaleInfo* info = FindLocale(lcid);
    std::string module = LanguageModulePath(programPath_, info ? info->Abbrev : "");
    if (!info || !FileExists(module)) throw EQuintar(Format(kLanguageModuleNotFound, {module}));
  }
  return true;
}

void TLanguages::FillMenu(QMenu* menu, ActionRegistry& actions, std::function<void(int)> changeLanguage) {
  auto* group = new QActionGroup(menu);
  group->setExclusive(true);
  for (int lcid : available_) {
    const std::string name = "Language" + std::to_string(lcid);
    const QString caption = LanguageName(lcid);
    QAction* a = actions.Add(name, caption, caption, true);
    group->addAction(a);
    menu->addAction(a);
    actions.Bind(
        name, [] { return true; },
        [this, lcid, changeLanguage] {
          if (CheckChange(lcid)) changeLanguage(lcid);
        });
    actions.BindChecked(name, [this, lcid] { return PrimaryLanguage(lcid) == PrimaryLanguage(current_); });
  }
  actions.UpdateActions();
}

}  // namespace quintar::gui
