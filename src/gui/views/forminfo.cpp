#include "views/forminfo.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/guiutil.h"
#include "app/session.h"

namespace quintar::gui {

namespace {
constexpr int kCardCellWidth = 24;
}

TFormInfo::TFormInfo(QWidget* parent, const TDetails& details, int cols, int channelSize)
    : QDialog(parent), details_(details), channelSize_(channelSize) {
  setObjectName("TFormInfo");
  setWindowTitle(Tr(kDetailsCaption));
  setWindowFlags((windowFlags() | Qt::Tool) & ~Qt::WindowContextHelpButtonHint);

  lvProps = new QTableWidget(static_cast<int>(details_.Props.size()), 2, this);
  lvProps->setObjectName("lvProps");
  lvProps->setHorizontalHeaderLabels({Tr("Свойство"), Tr("Значение")});
  lvProps->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvProps->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvProps->setSelectionMode(QAbstractItemView::SingleSelection);
  lvProps->setShowGrid(true);
  lvProps->setSortingEnabled(false);
  lvProps->setWordWrap(false);
  lvProps->verticalHeader()->hide();
  lvProps->verticalHeader()->setDefaultSectionSize(lvProps->fontMetrics().height() + 4);
  lvProps->horizontalHeader()->resizeSection(0, 235);
  lvProps->horizontalHeader()->resizeSection(1, 120);
  lvProps->horizontalHeader()->setSectionsClickable(false);
  for (int r = 0; r < static_cast<int>(details_.Props.size()); ++r) {
    const TDetailsProp& p = details_.Props[static_cast<size_t>(r)];
    lvProps->setItem(r, 0, new QTableWidgetItem(Q(p.Caption)));
    auto* value = new QTableWidgetItem(Q(p.Value));
    value->setTextAlignment(Qt::AlignCenter);
    lvProps->setItem(r, 1, value);
  }
  // The captions are read whole: the first column is widened to its longest text.
  lvProps->resizeColumnToContents(0);
  lvProps->horizontalHeader()->resizeSection(0, std::max(235, lvProps->horizontalHeader()->sectionSize(0) + 8));
  lvProps->setMinimumWidth(lvProps->horizontalHeader()->length() + lvProps->verticalScrollBar()->sizeHint().width() +
                           2 * lvProps->frameWidth());

  auto* label = new QLabel(Tr(kDetailsColsLabel), this);
  seCols = new QSpinBox(this);
  seCols->setObjectName("seCols");
  seCols->setRange(kDetailsColsMin, kDetailsColsMax);
  seCols->setValue(std::clamp(cols, kDetailsColsMin, kDetailsColsMax));
  label->setBuddy(seCols);

  sgCard = new QTableWidget(this);
  sgCard->setObjectName("sgCard");
  sgCard->horizontalHeader()->hide();
  sgCard->verticalHeader()->hide();
  sgCard->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgCard->setSelectionMode(QAbstractItemView::NoSelection);
  sgCard->setFocusPolicy(Qt::NoFocus);
  sgCard->horizontalHeader()->setDefaultSectionSize(kCardCellWidth);
  sgCard->horizontalHeader()->setMinimumSectionSize(kCardCellWidth);
  sgCard->verticalHeader()->setDefaultSectionSize(kCardCellWidth);
  sgCard->verticalHeader()->setMinimumSectionSize(kCardCellWidth);
  sgCard->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  sgCard->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  connect(seCols, &QSpinBox::valueChanged, this, [this] { BuildCard(); });

  auto* right = new QVBoxLayout;
  auto* colsRow = new QHBoxLayout;
  colsRow->addWidget(label);
  colsRow->addWidget(seCols);
  colsRow->addStretch(1);
  right->addLayout(colsRow);
  right->addWidget(sgCard, 0, Qt::AlignLeft);
  right->addStretch(1);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(lvProps, 1);
  layout->addLayout(right);
  BuildCard();
  resize(std::max(760, sizeHint().width()), 560);
}

void TFormInfo::BuildCard() {
  const TDetailsCard card{seCols->value(), details_.Comb};
  sgCard->clear();
  sgCard->setColumnCount(card.Cols);
  sgCard->setRowCount(card.RowCount());
  for (int r = 0; r < card.RowCount(); ++r)
    for (int c = 0; c < card.Cols; ++c) {
      auto* item = new QTableWidgetItem(Q(card.Cell(r, c)));
      item->setTextAlignment(Qt::AlignCenter);
      if (auto rgb = card.CellColor(r, c, channelSize_)) {
        item->setBackground(RgbColor(*rgb));
        item->setForeground(Qt::black);
      }
      sgCard->setItem(r, c, item);
    }
  for (int c = 0; c < card.Cols; ++c) sgCard->horizontalHeader()->resizeSection(c, kCardCellWidth);
  for (int r = 0; r < card.RowCount(); ++r) sgCard->verticalHeader()->resizeSection(r, kCardCellWidth);
  const int frame = 2 * sgCard->frameWidth();
  sgCard->setFixedSize(sgCard->horizontalHeader()->length() + frame, sgCard->verticalHeader()->length() + frame);
}

void ShowDetailsWindow(QWidget* parent, Session& s, const TDetailsInput& in) {
  const auto details = s.Views.ShowDetails(in);
  if (!details) return;
  TFormInfo dlg(parent, *details, s.Views.DetailsCols(), s.ChannelSize());
  if (parent) dlg.move(parent->geometry().center() - dlg.rect().center());
  dlg.exec();
}

}  // namespace quintar::gui
