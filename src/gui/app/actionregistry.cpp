#include "app/actionregistry.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QWidget>

#include "app/guiutil.h"
#include "app/session.h"

namespace quintar::gui {

ActionRegistry::ActionRegistry(Session& session, QWidget* owner) : QObject(owner), session_(session), owner_(owner) {
  for (const auto& def : ActionTable())
    AddAction(def.Name, Tr(def.Caption), *def.Hint ? Tr(def.Hint) : QString(), def.Shortcut, def.Checkable,
              def.RadioGroup);
  UpdateActions();
}

QAction* ActionRegistry::Add(const std::string& name, const QString& caption, const QString& hint, bool checkable) {
  if (QAction* existing = Action(name)) return existing;
  return AddAction(name, caption, hint, "", checkable, 0);
}

QAction* ActionRegistry::AddAction(const std::string& name, const QString& caption, const QString& hint,
                                   const char* shortcut, bool checkable, int radioGroup) {
  auto* a = new QAction(caption, owner_);
  a->setObjectName(Q(name));
  a->setStatusTip(hint);
  a->setToolTip(hint.isEmpty() ? caption : hint);
  a->setCheckable(checkable);
  if (*shortcut) {
    // Two commands given the same key: the first in menu order keeps it, as a key can start only one.
    QString key = QKeySequence(shortcut).toString(QKeySequence::PortableText);
    if (!shortcuts_.count(key)) {
      shortcuts_[key] = name;
      a->setShortcut(QKeySequence(shortcut));
      a->setShortcutContext(Qt::WindowShortcut);
    }
  }
  if (radioGroup) {
    QActionGroup*& g = groups_[radioGroup];
    if (!g) {
      g = new QActionGroup(this);
      g->setExclusive(true);
    }
    g->addAction(a);
  }
  // Added to the window so that its shortcut works whether or not a menu shows it.
  owner_->addAction(a);
  entries_[name].action = a;
  order_.push_back(name);
  connect(a, &QAction::triggered, this, [this, name] { Run(name); });
  return a;
}

QAction* ActionRegistry::Action(std::string_view name) const {
  auto it = entries_.find(name);
  return it == entries_.end() ? nullptr : it->second.action;
}

void ActionRegistry::Bind(std::string_view name, std::function<bool()> enabled, std::function<void()> execute) {
  auto it = entries_.find(name);
  if (it == entries_.end()) return;
  it->second.enabled = std::move(enabled);
  it->second.execute = std::move(execute);
}

void ActionRegistry::BindChecked(std::string_view name, std::function<bool()> checked) {
  auto it = entries_.find(name);
  if (it != entries_.end()) it->second.checked = std::move(checked);
}

bool ActionRegistry::IsBound(std::string_view name) const {
  auto it = entries_.find(name);
  return it != entries_.end() && it->second.execute;
}

QAction* ActionRegistry::Alias(std::string_view name, const QString& caption) {
  auto it = entries_.find(name);
  if (it == entries_.end()) return nullptr;
  QAction* main = it->second.action;
  auto* a = new QAction(caption, owner_);
  a->setObjectName(main->objectName() + "_" + QString::number(it->second.aliases.size() + 1));
  a->setCheckable(main->isCheckable());
  a->setStatusTip(main->statusTip());
  a->setEnabled(main->isEnabled());
  a->setChecked(main->isChecked());
  std::string n(name);
  connect(a, &QAction::triggered, this, [this, n] { Run(n); });
  it->second.aliases.push_back(a);
  return a;
}

bool ActionRegistry::Allowed(const std::string& name, const Entry& e) const {
  if (!e.execute) return false;
  if (!session_.IsIdle() && name != kScriptStop) return false;
  return !e.enabled || e.enabled();
}

void ActionRegistry::UpdateActions() {
  for (const auto& name : order_) {
    Entry& e = entries_[name];
    const bool on = Allowed(name, e);
    const bool checked = e.checked ? e.checked() : e.action->isChecked();
    if (e.action->isEnabled() != on) e.action->setEnabled(on);
    if (e.action->isCheckable() && e.action->isChecked() != checked) e.action->setChecked(checked);
    for (QAction* a : e.aliases) {
      a->setEnabled(on);
      if (a->isCheckable()) a->setChecked(checked);
    }
  }
}

bool ActionRegistry::Execute(std::string_view name) {
  auto it = entries_.find(name);
  if (it == entries_.end() || !Allowed(it->first, it->second)) return false;
  Run(it->first);
  return true;
}

void ActionRegistry::Run(const std::string& name) {
  auto it = entries_.find(name);
  if (it == entries_.end()) return;
  if (!Allowed(name, it->second)) {
    UpdateActions();  // the key or menu item reflected an outdated state
    return;
  }
  try {
    it->second.execute();
  } catch (const std::exception& ex) {
    session_.ShowError(ex.what());
  }
  UpdateActions();
  emit CommandDone(Q(name));
}

}  // namespace quintar::gui
