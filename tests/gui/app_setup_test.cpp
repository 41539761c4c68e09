// Where the settings live, and the fonts of the Chinese interface.
#include <QDir>
#include <QFontDatabase>
#include <QStandardPaths>

#include "app/gui/app_setup.h"
#include "gui_fixture.h"

namespace velmora::testing {
namespace {

TEST(SettingsFolder, IsTheExecutablesFolderWhenItIsWritable) {
    TempDir dir;
    QString folder = QString::fromStdString(dir.path().string());
    EXPECT_EQ(gui::settingsFolder(folder), folder);
    // The probe leaves nothing behind.
    EXPECT_TRUE(
        QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty());
}

TEST(SettingsFolder, FallsBackToTheUsersConfigurationFolder) {
    QStandardPaths::setTestModeEnabled(true);
    TempDir dir;
    QString unwritable = QString::fromStdString((dir.path() / "missing" / "bin").string());
    QString folder = gui::settingsFolder(unwritable);
    EXPECT_NE(folder, unwritable);
    EXPECT_EQ(folder, QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    EXPECT_TRUE(QDir(folder).exists());
    QStandardPaths::setTestModeEnabled(false);
}

TEST(Fonts, SongtiComesFirstWithAnInstalledCjkFallback) {
    QFont font = gui::songtiFont(15);
    EXPECT_EQ(font.pixelSize(), 15);
    QStringList families = font.families();
    ASSERT_GE(families.size(), 2);
    EXPECT_EQ(families[0], QStringLiteral("SimSun"));
    bool installed = false;
    for (const QString& family : families)
        installed = installed || QFontDatabase::hasFamily(family);
    EXPECT_TRUE(installed);
}

}  // namespace
}  // namespace velmora::testing
