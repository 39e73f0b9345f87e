#include "game/formdraw.h"

#include <QDateEdit>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <climits>

#include "app/guiutil.h"
#include "app/host.h"
#include "game/drawarchive.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar::gui {

namespace {

QDateTime ToQDateTime(TDateTime v) {
  int y, m, d;
  DecodeDate(v, y, m, d);
  double frac = v - static_cast<double>(static_cast<long long>(v));
  if (frac < 0) frac = -frac;
  int secs = static_cast<int>(frac * 86400.0 + 0.5);
  if (secs >= 86400) secs = 86399;
  return QDateTime(QDate(y, m, d), QTime(0, 0).addSecs(secs));
}

TDateTime FromQDateTime(const QDate& date, const QTime& time) {
  return EncodeDate(date.year(), date.month(), date.day()) + QTime(0, 0).secsTo(time) / 86400.0;
}

}  // namespace

TFormDraw::TFormDraw(QWidget* parent, IHost& host, const QString& title, const TDraw& draw, bool dateEntry,
                     std::function<bool(int)> numberTaken)
    : QDialog(parent), host_(host), draw_(draw), dateEntry_(dateEntry), numberTaken_(std::move(numberTaken)) {
  setObjectName("TFormDraw");
  setWindowTitle(Tr("Данные тиража"));
  setModal(true);

  lblTitle = new QLabel(title, this);
  lblTitle->setObjectName("lblTitle");
  QFont bold = lblTitle->font();
  bold.setBold(true);
  lblTitle->setFont(bold);

  edDrawNumber = new QSpinBox(this);
  edDrawNumber->setObjectName("edDrawNumber");
  edDrawNumber->setRange(1, kMaxDrawNumber);
  edDrawNumber->setValue(draw.Number >= 1 ? draw.Number : 1);

  edDrawData = new QLineEdit(this);
  edDrawData->setObjectName("edDrawData");
  edDrawData->setText(Q(DrawEditText(draw)));
  edDrawData->setMinimumWidth(280);

  edDrawDate = new QDateEdit(this);
  edDrawDate->setObjectName("edDrawDate");
  edDrawDate->setCalendarPopup(true);
  edDrawDate->setDisplayFormat("dd.MM.yyyy");
  edDrawTime = new QTimeEdit(this);
  edDrawTime->setObjectName("edDrawTime");
  edDrawTime->setDisplayFormat("HH:mm:ss");
  QDateTime when = QDateTime::currentDateTime();
  const std::string stored = draw.Date();
  if (!Trim(stored).empty()) {
    try {
      when = ToQDateTime(TextToDrawDate(stored));
    } catch (const std::exception&) {
      // An unreadable stored date: the dialog offers today instead of failing to open.
    }
  }
  edDrawDate->setDate(when.date());
  edDrawTime->setTime(when.time());

  auto* form = new QFormLayout;
  form->addRow(Tr("Номер тиража:"), edDrawNumber);
  auto* dataLabel = new QLabel(Tr("Выпавшие числа, разделенные точкой с запятой или запятой:"), this);
  auto* dateLabel = new QLabel(Tr("Дата тиража:"), this);
  auto* timeLabel = new QLabel(Tr("Время тиража:"), this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("btnOK");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("btnCancel");
  buttons->button(QDialogButtonBox::Cancel)->setText(Tr("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &TFormDraw::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TFormDraw::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblTitle);
  layout->addLayout(form);
  layout->addWidget(dataLabel);
  layout->addWidget(edDrawData);
  auto* dateForm = new QFormLayout;
  dateForm->addRow(dateLabel, edDrawDate);
  dateForm->addRow(timeLabel, edDrawTime);
  layout->addLayout(dateForm);
  layout->addStretch(1);
  layout->addWidget(buttons);
  // Without date entry the date controls are hidden and the dialog is lower.
  for (QWidget* w : {static_cast<QWidget*>(dateLabel), static_cast<QWidget*>(timeLabel),
                     static_cast<QWidget*>(edDrawDate), static_cast<QWidget*>(edDrawTime)})
    w->setVisible(dateEntry_);
  edDrawData->setFocus();
  edDrawData->selectAll();
  adjustSize();
}

void TFormDraw::accept() {
  TDraw d = draw_;
  if (!CheckDrawText(S(edDrawData->text()), d.Nums, d.Bonus)) {
    host_.ShowMessage(MsgKind::Error, kBadDrawText);
    edDrawData->setFocus();
    return;
  }
  d.Number = edDrawNumber->value();
  if (numberTaken_ && numberTaken_(d.Number)) {
    host_.ShowMessage(MsgKind::Error, Format("Тираж с номером %d уже есть в архиве!", {d.Number}));
    edDrawNumber->setFocus();
    edDrawNumber->selectAll();
    return;
  }
  if (dateEntry_)
    d.SetDate(Utf8Left(DrawDateToText(FromQDateTime(edDrawDate->date(), edDrawTime->time())), 11));
  draw_ = d;
  QDialog::accept();
}

}  // namespace quintar::gui
