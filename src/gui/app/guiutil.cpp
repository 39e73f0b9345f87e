#include "app/guiutil.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QDir>
#include <QFileDialog>
#include <QStringList>

namespace quintar::gui {

QString Tr(const char* text) { return QCoreApplication::translate(kTrContext, text); }
QString Tr(const std::string& text) { return QCoreApplication::translate(kTrContext, text.c_str()); }

QString DialogFilter(std::string_view delphiFilter) {
  // Pairs of caption and mask separated by "|"; Qt shows the caption, which carries the mask in brackets.
  QStringList parts = Q(delphiFilter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString caption = Tr(S(parts[i]));
    QString mask = parts[i + 1];
    filters << (caption.contains('(') ? caption : caption + " (" + mask.replace(';', ' ') + ")");
  }
  return filters.join(";;");
}

namespace {
QString lastFolder;

QString RunFileDialog(QFileDialog& dlg, const QString& defaultName = QString()) {
  dlg.setDirectory(lastFolder.isEmpty() ? QDir::homePath() : lastFolder);
  if (!defaultName.isEmpty()) dlg.selectFile(defaultName);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return QString();
  QString file = dlg.selectedFiles().first();
  lastFolder = QFileInfo(file).absolutePath();
  return file;
}
}  // namespace

QString ChooseOpenFile(QWidget* parent, std::string_view filter, const QString& defaultSuffix) {
  QFileDialog dlg(parent);
  dlg.setObjectName("dlgOpenFile");
  dlg.setAcceptMode(QFileDialog::AcceptOpen);
  dlg.setFileMode(QFileDialog::ExistingFile);
  dlg.setNameFilter(DialogFilter(filter));
  if (!defaultSuffix.isEmpty()) dlg.setDefaultSuffix(defaultSuffix);
  return RunFileDialog(dlg);
}

QString ChooseSaveFile(QWidget* parent, std::string_view filter, const QString& defaultSuffix,
                       const QString& defaultName) {
  QFileDialog dlg(parent);
  dlg.setObjectName("dlgSaveFile");
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setFileMode(QFileDialog::AnyFile);
  dlg.setNameFilter(DialogFilter(filter));
  dlg.setDefaultSuffix(defaultSuffix);
  return RunFileDialog(dlg, defaultName);
}

QDialogButtonBox* OkCancel(QDialog* d) {
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
  box->button(QDialogButtonBox::Ok)->setObjectName("btnOK");
  box->button(QDialogButtonBox::Cancel)->setObjectName("btnCancel");
  box->button(QDialogButtonBox::Cancel)->setText(Tr("Отмена"));
  QObject::connect(box, &QDialogButtonBox::accepted, d, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, d, &QDialog::reject);
  return box;
}

}  // namespace quintar::gui
