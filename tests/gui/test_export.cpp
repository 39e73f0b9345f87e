// The spreadsheet export of the desktop program: each export command opens the export dialog on its view,
// asks for the file and writes the same workbook that quintar-cli export writes for that view; the dialog's
// field list, its "Свойства" refusing a caption with ";", and cancelling at either step writing nothing.
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QUrl>

#include "app/actionregistry.h"
#include "app/formexportexcel.h"
#include "guitestutil.h"
#include "util/safefile.h"

using namespace quintar;
using namespace quintar::gui;
using quintar::test::AnswerBox;
using quintar::test::BoxSeen;
using quintar::test::DesktopFixture;
using quintar::test::ModalDriver;

namespace {

// Every cell of the first sheet with its type, number format, font, border and alignment, and the widths.
const char* const kDumper = R"PY(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
print(ws.title)
for k, d in sorted(ws.column_dimensions.items()): print(k, d.width, d.hidden)
for row in ws.iter_rows():
    for c in row:
        if c.value is not None or c.has_style:
            print(c.coordinate, repr(c.value), c.number_format, c.font.sz, c.font.b, c.border.left.style,
                  c.alignment.horizontal)
)PY";

QString Dump(const DesktopFixture& f, const std::string& xlsx) {
  const std::string script = f.File("dump.py"), out = xlsx + ".txt";
  test::WriteBytes(script, kDumper);
  if (std::system(("/usr/bin/python3 " + script + " '" + xlsx + "' > '" + out + "' 2>&1").c_str()) != 0) return "failed";
  return QString::fromStdString(ReadWholeFile(out));
}

bool HaveOpenpyxl() { return std::system("/usr/bin/python3 -c 'import openpyxl' >/dev/null 2>&1") == 0; }

void Shot(QWidget* w, const char* name) {
  const QByteArray dir = qgetenv("QUINTAR_SHOTS");
  if (!dir.isEmpty()) w->grab().save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
}

// Takes the file a save dialog offers by default in folder, or cancels it.
std::function<bool(QWidget*)> SaveAs(const QString& folder, QString* offered, bool cancel = false,
                                     const QString& asName = QString()) {
  return [=](QWidget* w) {
    auto* dlg = qobject_cast<QFileDialog*>(w);
    if (!dlg) return false;
    auto* name = dlg->findChild<QLineEdit*>("fileNameEdit");
    if (offered && name) *offered = name->text();
    if (cancel) {
      dlg->reject();
    } else {
      test::SelectFile(dlg, folder + "/" + (!asName.isEmpty() ? asName : name ? name->text() : QString("x.xlsx")));
      static_cast<QDialog*>(dlg)->accept();
    }
    return true;
  };
}

}  // namespace

// Records the files the desktop's handler is asked to open.
class OpenedFiles : public QObject {
  Q_OBJECT

 public slots:
  void open(const QUrl& url) { files << url.toLocalFile(); }

 public:
  QStringList files;
};

class TestExport : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallDrawDateHooks(); }

  void everyCommandWritesTheCommandLinesWorkbook() {
    if (!HaveOpenpyxl()) QSKIP("python3-openpyxl is not installed");
    DesktopFixture f;
    f.WriteArchive({10, 11, 12, 13, 14, 15});
    TDesktop& d = f.Start();
    ActionRegistry& act = d.Window->Actions();
    OpenedFiles opened;
    QDesktopServices::setUrlHandler("file", &opened, "open");
    struct UnsetHandler {
      ~UnsetHandler() { QDesktopServices::unsetUrlHandler("file"); }
    } unset;
    QString out = QString::fromStdString(f.File(""));
    out.chop(1);  // without the trailing "/"
    ModalDriver driver;
    auto pressOk = [](QWidget* w) {
      auto* dlg = qobject_cast<TFormExportExcel*>(w);
      if (!dlg) return false;
      dlg->findChild<QPushButton*>("btnOK")->click();
      return true;
    };

    // The whole combination list has more rows than a sheet: refused with the reason, no file.
    BoxSeen tooMany;
    driver.Then(pressOk).Then(SaveAs(out, nullptr)).Then(AnswerBox("Ok", &tooMany));
    QVERIFY(act.Execute("CombsXlsExport"));
    QVERIFY(driver.Done());
    QVERIFY2(tooMany.text.startsWith("Ошибка экспорта данных в Microsoft Excel!"), qPrintable(tooMany.text));
    QVERIFY2(tooMany.text.contains("1048576"), qPrintable(tooMany.text));
    QVERIFY(!FileExists(f.File("Комбинации.xlsx")));
    const std::string list = f.File("list.lcv");
    test::WriteBytes(list, "1;2;3;4;5;6;7\r\n30;2;17;8;25;11;34\r\n5;6;7;8;9;10;11\r\n");
    QVERIFY(d.Sess.CombsOpen(list));
    QApplication::processEvents();

    const struct {
      const char* action;
      const char* view;   // quintar-cli export VIEW
      const char* title;  // page caption = title = sheet name
      int fields;
      std::string listArg;  // the list command's argument for the same table
    } cases[] = {
        {"DrawsXlsExport", "draws", "Архив тиражей", 11, "--data-dir=" + f.DataDir()},
        {"CombsXlsExport", "combs", "Комбинации", 9, "--in=" + list},
        {"CardXlsExport", "card", "Карта", 37, "--data-dir=" + f.DataDir()},
    };
    for (const auto& c : cases) {
      QVERIFY2(act.Action(c.action)->isEnabled(), c.action);
      // Cancelling the dialog, then the file dialog: nothing is written and nothing is said.
      driver.Then([](QWidget* w) {
        if (!qobject_cast<TFormExportExcel*>(w)) return false;
        static_cast<QDialog*>(w)->reject();
        return true;
      });
      QVERIFY(act.Execute(c.action));
      QString offered;
      driver.Then([](QWidget* w) {
        auto* dlg = qobject_cast<TFormExportExcel*>(w);
        if (!dlg) return false;
        dlg->findChild<QPushButton*>("btnOK")->click();
        return true;
      });
      driver.Then(SaveAs(out, &offered, true));
      QVERIFY(act.Execute(c.action));
      QVERIFY(driver.Done());
      QCOMPARE(offered, QString(c.title) + ".xlsx");
      QVERIFY(!FileExists(f.File(std::string(c.title) + ".xlsx")));

      // The dialog as it opens: every column checked in its order, the page caption as title and sheet.
      QStringList captions;
      QString title, sheet;
      driver.Then([&](QWidget* w) {
        auto* dlg = qobject_cast<TFormExportExcel*>(w);
        if (!dlg) return false;
        title = dlg->edTitle->text();
        sheet = dlg->edSheetName->text();
        for (int r = 0; r < dlg->lvFields->rowCount(); ++r) {
          QTableWidgetItem* it = dlg->lvFields->item(r, 0);
          captions << it->text() + (it->checkState() == Qt::Checked ? "" : "-");
        }
        if (std::string(c.view) == "draws") {
          QTest::qWait(20);
          Shot(dlg, "export-dialog");
        }
        dlg->findChild<QPushButton*>("btnOK")->click();
        return true;
      });
      driver.Then(SaveAs(out, nullptr));
      QVERIFY(act.Execute(c.action));
      QVERIFY(driver.Done());
      QCOMPARE(title, QString(c.title));
      QCOMPARE(sheet, QString(c.title));
      QCOMPARE(captions.size(), c.fields);
      for (const QString& cap : captions) QVERIFY2(!cap.endsWith('-'), qPrintable(cap));
      const std::string file = f.File(std::string(c.title) + ".xlsx");
      QVERIFY(FileExists(file));
      QCOMPARE(opened.files.last(), QString::fromStdString(file));

      // The same view through the command line: the same sheet, cell for cell.
      const std::string cli = f.File(std::string(c.view) + "-cli.xlsx");
      QCOMPARE(test::RunCli({"--data-dir=" + f.DataDir(), "export", c.view, cli, c.listArg}), 0);
      const QString a = Dump(f, file), b = Dump(f, cli);
      QVERIFY(a.size() > 200);
      QCOMPARE(a, b);
    }

    // "Свойства": a caption with ";" is refused and the dialog stays open; the next caption is taken and
    // the unchecked field goes last at the next opening once the parameters are saved.
    BoxSeen refused;
    QStringList reopened;
    bool saveKept = false;
    driver.Then([](QWidget* w) {
      auto* dlg = qobject_cast<TFormExportExcel*>(w);
      if (!dlg) return false;
      dlg->lvFields->item(0, 0)->setCheckState(Qt::Unchecked);
      dlg->lvFields->setCurrentCell(1, 0);
      dlg->cbSaveParams->setChecked(true);
      dlg->btnProps->click();
      dlg->findChild<QPushButton*>("btnOK")->click();
      return true;
    });
    driver.Then([](QWidget* w) {
      auto* p = qobject_cast<TFormExportField*>(w);
      if (!p) return false;
      QTest::qWait(20);
      Shot(p, "export-field");
      p->edCaption->setText("а;б");
      p->findChild<QPushButton*>("btnOK")->click();
      return true;
    });
    driver.Then(AnswerBox("Ok", &refused));
    driver.Then([](QWidget* w) {
      auto* p = qobject_cast<TFormExportField*>(w);
      if (!p) return false;
      p->edCaption->setText("Первое");
      p->findChild<QPushButton*>("btnOK")->click();
      return true;
    });
    driver.Then(SaveAs(out, nullptr, false, "second.xlsx"));
    QVERIFY(act.Execute("DrawsXlsExport"));
    QVERIFY(driver.Done());
    QVERIFY(FileExists(f.File("second.xlsx")));
    QCOMPARE(refused.text, QString("Заголовок столбца не может содержать символ \";\"!"));
    driver.Then([&](QWidget* w) {
      auto* dlg = qobject_cast<TFormExportExcel*>(w);
      if (!dlg) return false;
      for (int r = 0; r < dlg->lvFields->rowCount(); ++r) {
        QTableWidgetItem* it = dlg->lvFields->item(r, 0);
        reopened << it->text() + (it->checkState() == Qt::Checked ? "" : "-");
      }
      saveKept = dlg->cbSaveParams->isChecked();
      static_cast<QDialog*>(w)->reject();
      return true;
    });
    QVERIFY(act.Execute("DrawsXlsExport"));
    QVERIFY(driver.Done());
    QVERIFY(saveKept);
    QCOMPARE(reopened.first(), QString("Первое"));
    QCOMPARE(reopened.last(), QString("Тираж-"));
    QVERIFY(driver.Unexpected.isEmpty());
    f.Stop();
  }
};

QTEST_MAIN(TestExport)
#include "test_export.moc"
