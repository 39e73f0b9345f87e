#include "stats/formconfig.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/guiutil.h"
#include "app/host.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar::gui {

namespace {

constexpr int kSegmentCellSize = 26;  // smallest cell of the segment grid
// Cells are edited by typing into them, by F2, a double click or a click on the current cell.
constexpr QAbstractItemView::EditTriggers kEditTriggers =
    QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed |
    QAbstractItemView::AnyKeyPressed;

// Cells of the segment grid take digits only; each cell shows the number it stands for in its corner.
class SegmentDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* ed = qobject_cast<QLineEdit*>(w)) {
      ed->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), ed));
      ed->setAlignment(Qt::AlignCenter);
    }
    return w;
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    const QVariant number = index.data(Qt::UserRole);
    if (!number.isValid()) return;
    painter->save();
    QFont f = option.font;
    f.setPointSizeF(std::max(5.0, f.pointSizeF() * 0.65));
    painter->setFont(f);
    painter->setPen(option.state & QStyle::State_Selected ? option.palette.highlightedText().color()
                                                          : QColor(0x80, 0x80, 0x80));
    painter->drawText(option.rect.adjusted(2, 1, -2, -1), Qt::AlignLeft | Qt::AlignTop, number.toString());
    painter->restore();
  }
};

// The segment grid's cells are squares that share the grid's room; a wide or tall matrix scrolls rather
// than shrinking them unreadably.
class SegmentGrid : public QTableWidget {
 public:
  using QTableWidget::QTableWidget;
  void FitCells() {
    if (columnCount() <= 0 || rowCount() <= 0) return;
    const QSize room = maximumViewportSize();
    const int side = std::clamp(std::min(room.width() / columnCount(), room.height() / rowCount()), kSegmentCellSize,
                                kSegmentCellSize * 3);
    horizontalHeader()->setDefaultSectionSize(side);
    verticalHeader()->setDefaultSectionSize(side);
  }

 protected:
  void resizeEvent(QResizeEvent* e) override {
    QTableWidget::resizeEvent(e);
    FitCells();
  }
};

// The prize column takes digits and the decimal separator only.
class ProfitDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* ed = qobject_cast<QLineEdit*>(w))
      ed->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*([.,][0-9]*)?"), ed));
    return w;
  }
};

QLineEdit* NumberEdit(QWidget* parent, const char* name, const QString& pattern) {
  auto* ed = new QLineEdit(parent);
  ed->setObjectName(name);
  ed->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), ed));
  return ed;
}

}  // namespace

TFormConfig::TFormConfig(QWidget* parent, IHost& host, const TConfigData& data)
    : QDialog(parent), host_(host), editor_(data) {
  setObjectName("TFormConfig");
  setWindowTitle(Tr("Параметры системы"));
  setModal(true);

  // Matrix size and segments.
  edMatrixCol = new QSpinBox(this);
  edMatrixCol->setObjectName("edMatrixCol");
  edMatrixCol->setRange(kMinMatrixCols, kMaxMatrixCols);
  edMatrixCol->setToolTip(Tr("Количество столбцов"));
  edMatrixCol->setStatusTip(edMatrixCol->toolTip());
  edMatrixRow = new QSpinBox(this);
  edMatrixRow->setObjectName("edMatrixRow");
  edMatrixRow->setRange(1, MAX_NUMBER);
  edMatrixRow->setReadOnly(true);
  edMatrixRow->setButtonSymbols(QAbstractSpinBox::NoButtons);
  edMatrixRow->setToolTip(Tr("Количество строк"));
  edMatrixRow->setStatusTip(edMatrixRow->toolTip());
  edMatrixRow->setFocusPolicy(Qt::NoFocus);

  sgSegments = new SegmentGrid(this);
  sgSegments->setObjectName("sgSegments");
  sgSegments->setItemDelegate(new SegmentDelegate(sgSegments));
  sgSegments->horizontalHeader()->hide();
  sgSegments->verticalHeader()->hide();
  for (QHeaderView* h : {sgSegments->horizontalHeader(), sgSegments->verticalHeader()}) {
    h->setMinimumSectionSize(kSegmentCellSize);
    h->setDefaultSectionSize(kSegmentCellSize);
    h->setSectionResizeMode(QHeaderView::Fixed);
  }
  sgSegments->setSelectionMode(QAbstractItemView::SingleSelection);
  sgSegments->setEditTriggers(kEditTriggers);
  sgSegments->setMinimumSize(5 * kSegmentCellSize + 4, 5 * kSegmentCellSize + 4);
  connect(sgSegments, &QTableWidget::itemChanged, this, &TFormConfig::SegmentEdited);

  // Channels, price and the hidden extended stake.
  edChannelSize = new QSpinBox(this);
  edChannelSize->setObjectName("edChannelSize");
  edChannelSize->setRange(kMinChannelSize, kMaxChannelSize);
  edChannelSize->setToolTip(Tr("Ширина канала"));
  edChannelSize->setStatusTip(edChannelSize->toolTip());
  edCost = NumberEdit(this, "edCost", "[0-9]{0,12}([.,][0-9]{0,4})?");
  edCost->setToolTip(Tr("Стоимость одной ставки"));
  edCost->setStatusTip(edCost->toolTip());
  lblStakeMaxLen = new QLabel(Tr("Расширенная ставка:"), this);
  lblStakeMaxLen->setObjectName("lblStakeMaxLen");
  edStakeMaxLen = new QSpinBox(this);
  edStakeMaxLen->setObjectName("edStakeMaxLen");
  edStakeMaxLen->setRange(0, MAX_NUMBER);

  // Prizes.
  edProfits = new QTableWidget(0, 2, this);
  edProfits->setObjectName("edProfits");
  edProfits->setHorizontalHeaderLabels({Tr("Совпадений"), Tr("Сумма выигрыша")});
  edProfits->verticalHeader()->hide();
  edProfits->horizontalHeader()->setStretchLastSection(true);
  edProfits->verticalHeader()->setDefaultSectionSize(edProfits->fontMetrics().height() + 6);
  edProfits->setItemDelegateForColumn(1, new ProfitDelegate(edProfits));
  edProfits->setSelectionMode(QAbstractItemView::SingleSelection);
  edProfits->setEditTriggers(kEditTriggers);

  // Weight coefficients.
  const QString coef = "-?[0-9]*([.,][0-9]*)?([eE][-+]?[0-9]{0,3})?";
  edCoefCount = NumberEdit(this, "edCoefCount", coef);
  edCoefDeviation = NumberEdit(this, "edCoefDeviation", coef);
  edCoefLevel = NumberEdit(this, "edCoefLevel", coef);
  cbCoefPercents = new QCheckBox(Tr("Использовать значения в %"), this);
  cbCoefPercents->setObjectName("cbCoefPercents");
  cbCoefAbs = new QCheckBox(Tr("Использовать абсолютные значения"), this);
  cbCoefAbs->setObjectName("cbCoefAbs");

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("btnOK");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("btnCancel");
  buttons->button(QDialogButtonBox::Cancel)->setText(Tr("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &TFormConfig::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TFormConfig::reject);

  // Layout: the matrix on the left, the stakes and coefficients on the right.
  auto* matrixSize = new QHBoxLayout;
  matrixSize->addWidget(edMatrixCol);
  matrixSize->addWidget(new QLabel("x", this));
  matrixSize->addWidget(edMatrixRow);
  matrixSize->addStretch(1);
  auto* left = new QVBoxLayout;
  left->addWidget(new QLabel(Tr("Размер матрицы:"), this));
  left->addLayout(matrixSize);
  left->addWidget(new QLabel(Tr("Сегменты матрицы:"), this));
  left->addWidget(sgSegments, 1);

  auto* stakeForm = new QFormLayout;
  stakeForm->addRow(Tr("Размер канала:"), edChannelSize);
  stakeForm->addRow(Tr("Стоимость ставки:"), edCost);
  stakeForm->addRow(lblStakeMaxLen, edStakeMaxLen);
  lblStakeMaxLen->hide();
  edStakeMaxLen->hide();

  auto* gbCoefs = new QGroupBox(Tr("Коэффициенты для поля \"Вес\""), this);
  gbCoefs->setObjectName("gbCoefs");
  auto* coefForm = new QFormLayout;
  coefForm->addRow(Tr("Количество:"), edCoefCount);
  coefForm->addRow(Tr("Отклонение:"), edCoefDeviation);
  coefForm->addRow(Tr("Глубина:"), edCoefLevel);
  auto* coefLayout = new QVBoxLayout(gbCoefs);
  coefLayout->addLayout(coefForm);
  coefLayout->addWidget(cbCoefPercents);
  coefLayout->addWidget(cbCoefAbs);

  auto* right = new QVBoxLayout;
  right->addLayout(stakeForm);
  right->addWidget(new QLabel(Tr("Размеры выигрышей:"), this));
  right->addWidget(edProfits, 1);
  right->addWidget(gbCoefs);

  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 1);
  columns->addSpacing(8);
  columns->addLayout(right, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addWidget(buttons);

  // The values.
  const TConfigData& d = editor_.Data();
  edMatrixCol->setValue(d.MatrixCols);
  edMatrixRow->setValue(editor_.MatrixRows());
  FillSegments();
  connect(edMatrixCol, &QSpinBox::valueChanged, this, &TFormConfig::MatrixColsChanged);
  edChannelSize->setValue(d.ChannelSize);
  edCost->setText(Q(editor_.CostText()));
  edStakeMaxLen->setValue(d.MaxStake);
  FillProfits();
  edCoefCount->setText(Q(FloatToStr(d.Weights.Count)));
  edCoefDeviation->setText(Q(FloatToStr(d.Weights.Deviation)));
  edCoefLevel->setText(Q(FloatToStr(d.Weights.Level)));
  cbCoefPercents->setChecked(d.Weights.UsePercents);
  cbCoefAbs->setChecked(d.Weights.UseAbsValues);
  resize(sizeHint().expandedTo(QSize(620, 480)));
}

void TFormConfig::MatrixColsChanged(int cols) {
  editor_.SetMatrixCols(cols);
  edMatrixRow->setValue(editor_.MatrixRows());
  FillSegments();
}

void TFormConfig::FillSegments() {
  filling_ = true;
  const int cols = editor_.MatrixCols(), rows = editor_.MatrixRows();
  sgSegments->clear();
  sgSegments->setColumnCount(cols);
  sgSegments->setRowCount(rows);
  static_cast<SegmentGrid*>(sgSegments)->FitCells();
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      auto* item = new QTableWidgetItem;
      item->setTextAlignment(Qt::AlignCenter);
      const int n = editor_.CellNumber(r, c);
      if (n) {
        item->setText(Q(editor_.CellText(r, c)));
        item->setData(Qt::UserRole, n);
        item->setToolTip(Tr(Format("Число %d", {n})));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
      } else {
        // Past number 35: nothing to select or type.
        item->setFlags(Qt::NoItemFlags);
        item->setBackground(sgSegments->palette().window());
      }
      sgSegments->setItem(r, c, item);
    }
  }
  filling_ = false;
}

void TFormConfig::SegmentEdited(QTableWidgetItem* item) {
  if (filling_ || !item) return;
  const std::string message = editor_.SetCellText(item->row(), item->column(), S(item->text()));
  filling_ = true;
  item->setText(Q(editor_.CellText(item->row(), item->column())));
  filling_ = false;
  if (!message.empty()) host_.ShowMessage(MsgKind::Error, message);
}

void TFormConfig::FillProfits() {
  const std::vector<std::string> lines = editor_.ProfitLines();
  edProfits->setRowCount(static_cast<int>(lines.size()));
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    const std::string& line = lines[static_cast<size_t>(i)];
    const size_t eq = line.find('=');
    auto* key = new QTableWidgetItem(Q(line.substr(0, eq)));
    key->setFlags(Qt::ItemIsEnabled);
    auto* value = new QTableWidgetItem(Q(eq == std::string::npos ? "" : line.substr(eq + 1)));
    value->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
    edProfits->setItem(i, 0, key);
    edProfits->setItem(i, 1, value);
  }
}

bool TFormConfig::ReadCoef(QLineEdit* ed, double& value) {
  const std::string text = Trim(S(ed->text()));
  if (text.empty()) {
    value = 0;
    return true;
  }
  auto v = TryStrToFloat(text);
  if (!v || !(*v > -1e300 && *v < 1e300)) {
    host_.ShowMessage(MsgKind::Error, Format("Некорректное значение: %s!", {text}));
    ed->setFocus();
    ed->selectAll();
    return false;
  }
  value = *v;
  return true;
}

void TFormConfig::accept() {
  // A cell still being typed in counts: moving the current cell away commits it.
  for (QTableWidget* grid : {sgSegments, edProfits})
    if (grid->indexWidget(grid->currentIndex())) grid->setCurrentIndex(QModelIndex());

  TConfigData& d = editor_.Data();
  d.ChannelSize = edChannelSize->value();
  const std::string cost = Trim(S(edCost->text()));
  if (cost.empty()) {
    d.Cost = 0;
  } else if (!editor_.SetCostText(cost)) {
    host_.ShowMessage(MsgKind::Error, Format("Некорректное значение: %s!", {cost}));
    edCost->setFocus();
    return;
  }
  TWeightCoefs w = d.Weights;
  if (!ReadCoef(edCoefCount, w.Count) || !ReadCoef(edCoefDeviation, w.Deviation) || !ReadCoef(edCoefLevel, w.Level))
    return;
  w.UsePercents = cbCoefPercents->isChecked();
  w.UseAbsValues = cbCoefAbs->isChecked();
  d.Weights = w;

  std::vector<std::string> lines;
  for (int i = 0; i < edProfits->rowCount(); ++i) {
    const QTableWidgetItem* k = edProfits->item(i, 0);
    const QTableWidgetItem* v = edProfits->item(i, 1);
    lines.push_back(S(k ? k->text() : QString()) + "=" + S(v ? v->text() : QString()));
  }
  editor_.SetProfitLines(lines);

  const std::string error = ConfigDataError(d);
  if (!error.empty()) {
    host_.ShowMessage(MsgKind::Error, error);
    return;
  }
  QDialog::accept();
}

}  // namespace quintar::gui
