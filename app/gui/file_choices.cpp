#include "app/gui/file_choices.h"

namespace velmora::gui::files {

QStringList saveFilters(bool spreadsheet) {
    if (spreadsheet) return {QStringLiteral("Microsoft Excel 工作簿 (*.xlsx)")};
    return {QStringLiteral("文本文件 (*.txt)")};
}

QString defaultSuffix(bool spreadsheet) {
    return spreadsheet ? QStringLiteral("xlsx") : QStringLiteral("txt");
}

QStringList openFilters() {
    return {QStringLiteral("Microsoft Excel 工作簿 (*.xlsx *.xls)"),
            QStringLiteral("文本文件 (*.txt)"), QStringLiteral("所有文件 (*)")};
}

QString proposedFileName(const QString& keywordBox, const QString& provinceBox, const QDate& today,
                         const QLocale& locale) {
    QString name;
    if (keywordBox.isEmpty())
        name = locale.toString(today, QLocale::ShortFormat);
    else if (!provinceBox.isEmpty() && provinceBox != QStringLiteral("(省份)"))
        name = provinceBox + QLatin1Char('-') + keywordBox;
    else
        name = keywordBox;
    for (QChar& c : name) {
        if (c.unicode() < 32 || QStringLiteral("/\\:*?\"<>|").contains(c)) c = QLatin1Char('-');
    }
    return name;
}

}  // namespace velmora::gui::files
