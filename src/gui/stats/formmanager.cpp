#include "stats/formmanager.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/guiutil.h"
#include "app/session.h"
#include "stats/formfilterhelp.h"

namespace quintar::gui {

namespace {

constexpr int kNodeRole = Qt::UserRole + 1;

}  // namespace

TFormManager::TFormManager(QWidget* parent, Session& session) : QDialog(parent), s_(session), model_(session) {
  setObjectName("TFormManager");
  setWindowTitle(Tr(kFormManagerCaption));
  setModal(true);
  resize(640, 560);

  tvFilters = new QTreeWidget(this);
  tvFilters->setObjectName("tvFilters");
  tvFilters->setHeaderHidden(true);
  tvFilters->setContextMenuPolicy(Qt::ActionsContextMenu);
  lblCount = new QLabel(this);
  lblCount->setObjectName("lblCount");
  cbSortOnName = new QCheckBox(Tr("Сортировать по наименованию"), this);
  cbSortOnName->setObjectName("cbSortOnName");
  cbShowGroupName = new QCheckBox(Tr("Показывать группу"), this);
  cbShowGroupName->setObjectName("cbShowGroupName");
  cbShowFlags = new QCheckBox(Tr("Показывать признаки"), this);
  cbShowFlags->setObjectName("cbShowFlags");
  cbSortOnName->setChecked(model_.SortOnName);
  cbShowGroupName->setChecked(model_.ShowGroupName);
  cbShowFlags->setChecked(model_.ShowFlags);

  auto* tools = new QHBoxLayout;
  auto addTool = [&](QAction* a) {
    auto* b = new QToolButton(this);
    b->setDefaultAction(a);
    tools->addWidget(b);
  };
  AddCommand("CheckNone", "Сбросить все", &TFiltersManager::CanCheckNone, [this] { model_.CheckNone(); });
  AddCommand("CheckAll", "Выбрать все", &TFiltersManager::CanCheckAll, [this] { model_.CheckAll(); });
  AddCommand("GroupNone", "Сбросить группу", &TFiltersManager::CanGroupNone, [this] { model_.GroupNone(); });
  AddCommand("GroupAll", "Выбрать группу", &TFiltersManager::CanGroupAll, [this] { model_.GroupAll(); });
  AddCommand("Rename", "Переименовать", &TFiltersManager::CanRename, [this] {
    bool ok = false;
    const QString text = QInputDialog::getText(this, Tr(kRenameTitle), Tr(kRenamePrompt), QLineEdit::Normal,
                                               Q(model_.RenameText()), &ok);
    if (ok) model_.Rename(S(text));
  });
  AddCommand("ResetName", "Вернуть", &TFiltersManager::CanResetName, [this] { model_.ResetName(); });
  AddCommand("Info", "Описание", &TFiltersManager::CanInfo, [this] { ShowFilterHelp(this, model_.Info()); });
  AddCommand("NamesImport", "Импорт названий", &TFiltersManager::CanNamesImport, [this] {
    const QString file = ChooseOpenFile(this, kStatNamesFilter);
    if (!file.isEmpty()) model_.NamesImport(S(file));
  });
  AddCommand("NamesExport", "Экспорт названий", &TFiltersManager::CanNamesExport, [this] {
    const QString file = ChooseSaveFile(this, kStatNamesFilter, kStatNamesExt);
    if (!file.isEmpty()) model_.NamesExport(S(file));
  });
  for (const char* name : {"CheckNone", "CheckAll", "GroupNone", "GroupAll", "Rename", "ResetName", "Info",
                           "NamesImport", "NamesExport"}) {
    addTool(Command(name));
    tvFilters->addAction(Command(name));
  }
  tools->addStretch();

  auto* options = new QHBoxLayout;
  options->addWidget(cbSortOnName);
  options->addWidget(cbShowGroupName);
  options->addWidget(cbShowFlags);
  options->addStretch();
  options->addWidget(lblCount);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(tools);
  layout->addWidget(tvFilters);
  layout->addLayout(options);
  layout->addWidget(buttons);

  // A click on a method node flips its tick (a double click starts with a click, so it flips it once).
  connect(tvFilters, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
    const TFiltersManager::TNode n = NodeOf(item);
    if (!model_.IsEntry(n)) return;
    model_.Toggle(n);
    item->setCheckState(0, model_.Entry(n).Checked ? Qt::Checked : Qt::Unchecked);
  });
  connect(tvFilters, &QTreeWidget::currentItemChanged, this, [this] { SyncSelection(); });

  Fill();
}

void TFormManager::AddCommand(const std::string& name, const char* caption, bool (TFiltersManager::*rule)() const,
                              std::function<void()> run) {
  auto* a = new QAction(Tr(caption), this);
  a->setObjectName(Q(name));
  connect(a, &QAction::triggered, this, [this, rule, run] {
    if (!(model_.*rule)()) return;
    run();
    Fill();
  });
  commands_[name] = {a, rule};
}

QAction* TFormManager::Command(const std::string& name) const {
  auto it = commands_.find(name);
  return it == commands_.end() ? nullptr : it->second.action;
}

TFiltersManager::TNode TFormManager::NodeOf(const QTreeWidgetItem* item) {
  if (!item) return {};
  const QPoint p = item->data(0, kNodeRole).toPoint();
  return {p.x(), p.y()};
}

QTreeWidgetItem* TFormManager::Item(TFiltersManager::TNode n) const {
  if (!model_.IsNode(n)) return nullptr;
  QTreeWidgetItem* group = tvFilters->topLevelItem(n.Group);
  if (!group || n.Entry < 0) return group;
  return group->child(n.Entry);
}

// Rebuilds the tree from the model, keeping the expanded groups and the selected node.
void TFormManager::Fill() {
  filling_ = true;
  const TFiltersManager::TNode selected = model_.Selected;
  std::vector<bool> expanded;
  for (int i = 0; i < tvFilters->topLevelItemCount(); ++i) expanded.push_back(tvFilters->topLevelItem(i)->isExpanded());
  tvFilters->clear();
  const auto& groups = model_.Groups();
  for (size_t g = 0; g < groups.size(); ++g) {
    auto* group = new QTreeWidgetItem(tvFilters, QStringList{Q(groups[g].Caption)});
    group->setData(0, kNodeRole, QPoint(static_cast<int>(g), -1));
    group->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    for (size_t e = 0; e < groups[g].Entries.size(); ++e) {
      const auto& entry = groups[g].Entries[e];
      auto* item = new QTreeWidgetItem(group, QStringList{Q(entry.Text)});
      item->setData(0, kNodeRole, QPoint(static_cast<int>(g), static_cast<int>(e)));
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      item->setCheckState(0, entry.Checked ? Qt::Checked : Qt::Unchecked);
    }
    group->setExpanded(g < expanded.size() ? expanded[g] : false);
  }
  lblCount->setText(Q(model_.CountText()));
  model_.Selected = selected;
  if (QTreeWidgetItem* item = Item(selected)) tvFilters->setCurrentItem(item);
  filling_ = false;
  UpdateCommands();
}

void TFormManager::SyncSelection() {
  if (filling_) return;
  model_.Selected = NodeOf(tvFilters->currentItem());
  UpdateCommands();
}

void TFormManager::UpdateCommands() {
  for (auto& [name, cmd] : commands_) cmd.action->setEnabled((model_.*cmd.rule)());
}

void TFormManager::accept() {
  model_.SortOnName = cbSortOnName->isChecked();
  model_.ShowGroupName = cbShowGroupName->isChecked();
  model_.ShowFlags = cbShowFlags->isChecked();
  QDialog::accept();
  model_.Confirm();
}

void TFormManager::reject() {
  model_.Cancel();
  QDialog::reject();
}

void RunFiltersManager(QWidget* parent, Session& session) {
  TFormManager dlg(parent, session);
  dlg.exec();
}

}  // namespace quintar::gui
