#include "app/gui/app_setup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTranslator>

namespace velmora::gui {

QString settingsFolder(const QString& executableFolder) {
    // Writability is tried, not guessed from permission bits.
    QTemporaryFile probe(QDir(executableFolder).filePath(QStringLiteral(".velmora-XXXXXX")));
    if (!executableFolder.isEmpty() && probe.open()) return executableFolder;
    QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    return config;
}

QStringList songtiFamilies() {
    return {QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("NSimSun"),
            QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")};
}

QFont songtiFont(int pixelSize) {
    QFont font;
    font.setFamilies(songtiFamilies());
    font.setPixelSize(pixelSize);
    return font;
}

bool installChineseTexts(QCoreApplication& app) {
    QLocale chinese(QLocale::Chinese, QLocale::China);
    QLocale::setDefault(chinese);
    QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(&app);
    // "qt" gathers every module's catalogue; "qtbase" alone is what the
    // widgets need, should the gathering file be missing.
    for (const char* name : {"qt", "qtbase"}) {
        if (translator->load(chinese, QString::fromLatin1(name), QStringLiteral("_"), folder) &&
            QCoreApplication::installTranslator(translator))
            return true;
    }
    delete translator;
    return false;
}

}  // namespace velmora::gui
