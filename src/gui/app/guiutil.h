// Small helpers shared by the desktop program's windows: text conversion, the interface language's
// translation of the program's own texts, file dialogs.
#pragma once

#include <QColor>
#include <QString>
#include <string>
#include <string_view>

class QDialog;
class QDialogButtonBox;
class QWidget;

namespace quintar::gui {

inline QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string S(const QString& s) { return s.toStdString(); }
inline QColor RgbColor(uint32_t rgb) { return QColor(static_cast<QRgb>(0xFF000000u | rgb)); }

// The program's texts are Russian; a language module translates them in the context "Quintar".
inline constexpr const char* kTrContext = "Quintar";
QString Tr(const char* text);
QString Tr(const std::string& text);

// The "OK" / "Отмена" buttons of a dialog (btnOK, btnCancel), wired to its accept and reject.
QDialogButtonBox* OkCancel(QDialog* d);

// A Delphi-style filter "Caption (*.ext)|*.ext" in the form the file dialogs take.
QString DialogFilter(std::string_view delphiFilter);
// Modal file dialogs ("" when cancelled). The save dialog appends the default extension to a name
// without one and asks before replacing a file.
QString ChooseOpenFile(QWidget* parent, std::string_view filter, const QString& defaultSuffix = QString());
QString ChooseSaveFile(QWidget* parent, std::string_view filter, const QString& defaultSuffix,
                       const QString& defaultName = QString());

}  // namespace quintar::gui
