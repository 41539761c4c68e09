#pragma once
// Filters, suffixes and the proposed file name of the save and open dialogs.
#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace velmora::gui::files {

// Save dialog filter and suffix of a format (spreadsheet or text). The
// spreadsheet is written as .xlsx.
QStringList saveFilters(bool spreadsheet);
QString defaultSuffix(bool spreadsheet);

// The open dialog's three filters: spreadsheet (.xlsx and legacy .xls), text,
// all files.
QStringList openFilters();
inline constexpr int kSpreadsheetFilter = 0;
inline constexpr int kTextFilter = 1;
inline constexpr int kAllFilesFilter = 2;

// From the keyword and province box texts: "province-keyword" when a
// province is chosen, the keyword alone otherwise, today's date in the
// locale's short format when the keyword is empty: the Chinese one
// ("2026/12/6") unless told otherwise, whatever the system's locale, as the
// window is Chinese throughout. Characters a file name cannot hold ("/",
// ":" ...) become "-".
QString proposedFileName(const QString& keywordBox, const QString& provinceBox, const QDate& today,
                         const QLocale& locale = QLocale(QLocale::Chinese, QLocale::China));

}  // namespace velmora::gui::files
