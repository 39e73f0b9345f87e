#include "online/formsystem.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/desktopshell.h"
#include "app/guiutil.h"
#include "app/host.h"
#include "util/cp1251.h"
#include "util/format.h"
#include "util/safefile.h"

namespace quintar::gui {

namespace {

constexpr const char* kAllFilesFilter = "Все файлы (*.*)|*.*";

QLineEdit* Line(QWidget* parent, const char* name, const char* hint, bool displayOnly) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setToolTip(Tr(hint));
  if (displayOnly) {
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
  }
  return e;
}

}  // namespace

TFormSystem::TFormSystem(QWidget* parent, IHost& host, const tSystemData& data, bool editable)
    : QDialog(parent), host_(host), data_(data), result_(data), editable_(editable) {
  setObjectName("TFormSystem");
  setWindowTitle(Tr(kSystemDialogCaption));
  setModal(true);

  edTitle = Line(this, "edTitle", "Название системы", false);
  edDescr = new QPlainTextEdit(this);
  edDescr->setObjectName("edDescr");
  edDescr->setToolTip(Tr("Описание системы"));
  edDescr->setMaximumHeight(90);
  edAuthor = Line(this, "edAuthor", "Автор системы", false);
  edURL = Line(this, "edURL", "Ссылка на интернет-ресурс", false);
  btnURL = new QPushButton(Tr("..."), this);
  btnURL->setObjectName("btnURL");
  btnURL->setToolTip(Tr("Открыть ссылку в браузере"));
  btnURL->setAutoDefault(false);
  edCombs = new QPlainTextEdit(this);
  edCombs->setObjectName("edCombs");
  edCombs->setToolTip(Tr("Список комбинаций системы"));
  edCombs->setLineWrapMode(QPlainTextEdit::NoWrap);
  edCombs->setMinimumSize(260, 240);
  edCombs->setContextMenuPolicy(Qt::CustomContextMenu);
  edCreated = Line(this, "edCreated", "Время создания системы", true);
  edCSize = Line(this, "edCSize", "Количество комбинаций в списке", true);
  edNums = Line(this, "edNums", "Количество используемых чисел", false);
  edCLen = Line(this, "edCLen", "Длина одной комбинации", false);
  edCLen->setReadOnly(true);
  edOlap = Line(this, "edOlap", "Длина блока", false);
  edDownloads = Line(this, "edDownloads", "Количество загрузок пользователями", true);
  edLastDownload = Line(this, "edLastDownload", "Время последней загрузки", true);
  for (QLineEdit* e : {edNums, edCLen, edOlap}) e->installEventFilter(this);
  edCombs->installEventFilter(this);

  auto* url = new QHBoxLayout;
  url->addWidget(edURL, 1);
  url->addWidget(btnURL);
  auto* grid = new QGridLayout;
  int row = 0;
  auto add = [&](const char* label, QWidget* w) {
    grid->addWidget(new QLabel(Tr(label), this), row, 0);
    grid->addWidget(w, row++, 1);
  };
  add("Наименование:", edTitle);
  add("Описание:", edDescr);
  add("Автор:", edAuthor);
  grid->addWidget(new QLabel(Tr("Ссылка:"), this), row, 0);
  grid->addLayout(url, row++, 1);
  auto* side = new QGridLayout;
  int srow = 0;
  auto addSide = [&](const char* label, QWidget* w) {
    side->addWidget(new QLabel(Tr(label), this), srow, 0);
    side->addWidget(w, srow++, 1);
  };
  addSide("Создана:", edCreated);
  addSide("Комбинаций:", edCSize);
  addSide("Числа:", edNums);
  addSide("Длина:", edCLen);
  addSide("Блок:", edOlap);
  addSide("Загрузок:", edDownloads);
  addSide("Последняя:", edLastDownload);
  side->setRowStretch(srow, 1);
  auto* combs = new QVBoxLayout;
  combs->addWidget(new QLabel(Tr("Список комбинаций:"), this));
  combs->addWidget(edCombs, 1);
  auto* lower = new QHBoxLayout;
  lower->addLayout(combs, 1);
  lower->addLayout(side);

  auto* buttons = new QDialogButtonBox(this);
  btnOK = buttons->addButton(Tr("ОК"), QDialogButtonBox::AcceptRole);
  btnOK->setObjectName("btnOK");
  btnCancel = buttons->addButton(Tr("Отмена"), QDialogButtonBox::RejectRole);
  btnCancel->setObjectName("btnCancel");
  btnCancel->setToolTip(Tr("Закрыть окно"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(lower, 1);
  layout->addWidget(buttons);

  ShowFields(SystemDialogFields(data));
  combsChanged_ = false;
  connect(edCombs, &QPlainTextEdit::textChanged, this, [this] { combsChanged_ = true; });
  connect(edURL, &QLineEdit::textChanged, this, [this] { btnURL->setEnabled(!edURL->text().isEmpty()); });
  connect(btnURL, &QPushButton::clicked, this, [this] {
    try {
      OpenLink(S(edURL->text()));
    } catch (const std::exception& e) {
      host_.ShowMessage(MsgKind::Error, e.what());
    }
  });
  connect(edCombs, &QPlainTextEdit::customContextMenuRequested, this, &TFormSystem::CombsMenu);

  if (!editable_) {
    for (QLineEdit* e : {edTitle, edAuthor, edURL, edNums, edOlap}) e->setReadOnly(true);
    edDescr->setReadOnly(true);
    edCombs->setReadOnly(true);
    btnOK->hide();
    btnCancel->setDefault(true);
    btnCancel->setFocus();
  } else {
    btnOK->setDefault(true);
    edTitle->setFocus();
  }
  resize(760, 600);
}

void TFormSystem::ShowFields(const TSystemFields& f) {
  edTitle->setText(Q(f.Title));
  edDescr->setPlainText(Q(f.Descr));
  edAuthor->setText(Q(f.Author));
  edURL->setText(Q(f.Url));
  edCombs->setPlainText(Q(f.Combs));
  edCreated->setText(Q(f.Created));
  edCSize->setText(Q(f.CSize));
  edNums->setText(Q(f.Nums));
  edCLen->setText(Q(f.CLen));
  edOlap->setText(Q(f.Olap));
  edDownloads->setText(Q(f.Downloads));
  edLastDownload->setText(Q(f.LastDownload));
}

TSystemFields TFormSystem::Fields() const {
  TSystemFields f;
  f.Title = S(edTitle->text());
  f.Descr = S(edDescr->toPlainText());
  f.Author = S(edAuthor->text());
  f.Url = S(edURL->text());
  f.Combs = S(edCombs->toPlainText());
  f.Created = S(edCreated->text());
  f.CSize = S(edCSize->text());
  f.Nums = S(edNums->text());
  f.CLen = S(edCLen->text());
  f.Olap = S(edOlap->text());
  f.Downloads = S(edDownloads->text());
  f.LastDownload = S(edLastDownload->text());
  return f;
}

void TFormSystem::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  btnURL->setEnabled(!edURL->text().isEmpty());
}

void TFormSystem::NormaliseList() {
  if (!editable_) return;
  TSystemFields f = Fields();
  const std::string error = NormaliseSystemList(f);
  const QSignalBlocker block(edCombs);
  edCombs->setPlainText(Q(f.Combs));
  edNums->setText(Q(f.Nums));
  edCSize->setText(Q(f.CSize));
  combsChanged_ = false;
  if (!error.empty()) host_.ShowMessage(MsgKind::Error, error);
}

bool TFormSystem::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edCombs && event->type() == QEvent::FocusOut) {
    // A context menu of the list takes the focus for a moment: that is not leaving the list.
    auto* fe = static_cast<QFocusEvent*>(event);
    if (fe->reason() != Qt::PopupFocusReason && combsChanged_) NormaliseList();
  }
  if ((watched == edNums || watched == edCLen || watched == edOlap) && event->type() == QEvent::KeyPress) {
    auto* ke = static_cast<QKeyEvent*>(event);
    const QString t = ke->text();
    // A typed character other than a digit, Enter or Esc is dropped with a beep; editing keys still work.
    if (!t.isEmpty() && t.at(0).isPrint() && !t.at(0).isDigit()) {
      QApplication::beep();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TFormSystem::accept() {
  if (editable_ && combsChanged_) NormaliseList();
  const TSystemFields f = Fields();
  std::string message;
  const TSystemField field = CheckSystemFields(f, message);
  if (field != TSystemField::None) {
    host_.ShowMessage(MsgKind::Error, message);
    switch (field) {
      case TSystemField::Title: edTitle->setFocus(); break;
      case TSystemField::Nums: edNums->setFocus(); break;
      case TSystemField::Olap: edOlap->setFocus(); break;
      case TSystemField::Author: edAuthor->setFocus(); break;
      case TSystemField::Descr: edDescr->setFocus(); break;
      case TSystemField::Combs: edCombs->setFocus(); break;
      case TSystemField::None: break;
    }
    return;
  }
  try {
    result_ = SystemDialogResult(data_, f);
  } catch (const std::exception& e) {
    host_.ShowMessage(MsgKind::Error, e.what());
    return;
  }
  QDialog::accept();
}

void TFormSystem::CombsMenu(const QPoint& at) {
  QMenu menu(this);
  menu.setObjectName("pmCombs");
  const bool hasText = !edCombs->toPlainText().isEmpty();
  const QMimeData* clip = QApplication::clipboard()->mimeData();
  QAction* copy = menu.addAction(Tr("Копировать в буфер обмена"), this,
                                 [this] { QApplication::clipboard()->setText(edCombs->toPlainText()); });
  copy->setEnabled(edCombs->textCursor().hasSelection());
  QAction* paste = menu.addAction(Tr("Вставить из буфера обмена"), this, [this] {
    edCombs->setPlainText(QApplication::clipboard()->text());
    combsChanged_ = true;
  });
  paste->setEnabled(editable_ && clip && clip->hasText());
  menu.addAction(Tr("Выделить все"), edCombs, &QPlainTextEdit::selectAll)->setEnabled(hasText);
  menu.addSeparator();
  QAction* load = menu.addAction(Tr("Загрузить из файла"), this, [this] {
    const QString file = ChooseOpenFile(this, kAllFilesFilter);
    if (file.isEmpty()) return;
    try {
      edCombs->setPlainText(Q(Cp1251ToUtf8(ReadWholeFile(S(file)))));
      combsChanged_ = true;
    } catch (const std::exception& e) {
      host_.ShowMessage(MsgKind::Error, Format("Ошибка чтения файла \"%s\"!\r\r%s", {S(file), e.what()}));
    }
  });
  load->setEnabled(editable_);
  menu.addAction(Tr("Сохранить в файле"), this, [this] {
    const QString file = ChooseSaveFile(this, kAllFilesFilter, QString());
    if (file.isEmpty()) return;
    try {
      WriteFileAtomic(S(file), Utf8ToCp1251(S(edCombs->toPlainText())));
    } catch (const std::exception& e) {
      host_.ShowMessage(MsgKind::Error, Format("Ошибка записи в файл \"%s\"!\r\r%s", {S(file), e.what()}));
    }
  })->setEnabled(hasText);
  menu.exec(edCombs->mapToGlobal(at));
}

}  // namespace quintar::gui
