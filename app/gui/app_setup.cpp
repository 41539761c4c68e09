#include "app/gui/app_setup.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

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

}  // namespace velmora::gui
