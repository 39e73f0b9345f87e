#include "stats/formfilterhelp.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "app/filtersmanager.h"
#include "app/guiutil.h"

namespace quintar::gui {

TFormFilterHelp::TFormFilterHelp(QWidget* parent, const std::string& address) : QDialog(parent) {
  setObjectName("TFormFilterHelp");
  setWindowTitle(Tr(kFormFilterHelpCaption));
  setModal(true);
  resize(640, 480);

  wbHelp = new QTextBrowser(this);
  wbHelp->setObjectName("wbHelp");
  wbHelp->setOpenExternalLinks(true);
  wbHelp->setFont(QApplication::font("QMenu"));  // the desktop's menu font
  const QString text = Q(address);
  const QUrl url = text.startsWith("file:") ? QUrl(text) : QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
  wbHelp->setSource(url, QTextDocument::HtmlResource);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(wbHelp);
  layout->addWidget(buttons);
}

void ShowFilterHelp(QWidget* parent, const std::string& address) {
  if (address.empty()) return;
  TFormFilterHelp dlg(parent, address);
  dlg.exec();
}

}  // namespace quintar::gui
