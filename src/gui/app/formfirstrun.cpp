#include "app/formfirstrun.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/guiutil.h"
#include "app/shell.h"

namespace quintar::gui {

TFormFirstRun::TFormFirstRun(QWidget* parent, bool helpFileExists, std::function<void()> openHelp,
                             std::function<void(const std::string&)> openLink)
    : QDialog(parent) {
  setObjectName("TFormFirstRun");
  setWindowTitle(Tr("Справочная информация"));
  auto* layout = new QVBoxLayout(this);

  auto* lblHelp = new QLabel(
      Tr("Если Вы запускаете программу в первый раз, рекомендуем Вам ознакомится со справочной инфомацией:"), this);
  lblHelp->setWordWrap(true);
  layout->addWidget(lblHelp);
  btnOpenHelpFile = new QPushButton(Tr("Открыть файл встроенной справочной системы"), this);
  btnOpenHelpFile->setObjectName("btnOpenHelpFile");
  btnOpenHelpFile->setEnabled(helpFileExists);
  connect(btnOpenHelpFile, &QPushButton::clicked, this, [openHelp] { openHelp(); });
  layout->addWidget(btnOpenHelpFile);

  auto* lblLinks = new QLabel(Tr("Полезные ресурсы, включая видеоруководства и новости проекта:"), this);
  lblLinks->setWordWrap(true);
  layout->addWidget(lblLinks);
  const TMakerLinks& links = MakerLinks();
  const struct {
    const char* name;
    const char* caption;
    const std::string* url;
  } buttons[] = {
      {"btnOnlineManuals", "Статьи на сайте автора - для начинающих и не только", &links.Articles},
      {"btnBlog", "Блог", &links.Blog},
      {"btnYoutube", "Канал на YouTube", &links.VideoBlog},
      {"btnVK", "Группа в соцсети \"В Контакте\"", &links.VK},
      {"btnOK", "Группа в соцсети \"Однокласники\"", &links.OK},
      {"btnTelegram", "Канал в Telegram - новости проекта", &links.Telegram},
  };
  for (const auto& b : buttons) {
    auto* btn = new QPushButton(Tr(b.caption), this);
    btn->setObjectName(b.name);
    btn->setEnabled(!b.url->empty());
    const std::string url = *b.url;
    connect(btn, &QPushButton::clicked, this, [openLink, url] { openLink(url); });
    layout->addWidget(btn);
  }

  cbDisable = new QCheckBox(Tr("Больше не показывать данный диалог"), this);
  cbDisable->setObjectName("cbDisable");
  layout->addWidget(cbDisable);
  auto* btnClose = new QPushButton(Tr("Закрыть"), this);
  btnClose->setObjectName("btnClose");
  btnClose->setToolTip(Tr("Закрыть окно"));
  btnClose->setDefault(true);
  connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(btnClose, 0, Qt::AlignRight);
}

}  // namespace quintar::gui
