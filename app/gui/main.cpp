// Velmora: the desktop harvester of Chinese business-directory data. The
// program reads no arguments.
#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include "app/gui/app_setup.h"
#include "app/gui/icons.h"
#include "app/gui/main_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    velmora::gui::installChineseTexts(app);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setWindowIcon(velmora::gui::icons::application());
    QApplication::setFont(velmora::gui::songtiFont(12));

    QString exeFolder = QCoreApplication::applicationDirPath();
    QString folder = velmora::gui::settingsFolder(exeFolder);

    velmora::gui::WindowSetup setup;
    setup.settingsFolder = QFile::encodeName(folder).toStdString();
    setup.helpFolder = QFile::encodeName(exeFolder).toStdString();
    // sites.ini sits with the other settings; a copy beside the executable
    // serves when the settings live in the user's folder.
    QString sites = QDir(folder).filePath(QStringLiteral("sites.ini"));
    if (!QFileInfo::exists(sites)) sites = QDir(exeFolder).filePath(QStringLiteral("sites.ini"));
    setup.sites = velmora::SiteConfig::load(QFile::encodeName(sites).toStdString());

    velmora::gui::MainWindow window(std::move(setup));
    window.show();
    return app.exec();
}
