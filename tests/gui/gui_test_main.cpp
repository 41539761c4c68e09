// The GUI tests run in one QApplication, off-screen unless a platform is set.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/gui/app_setup.h"

namespace {

QtMessageHandler standardHandler = nullptr;

// The off-screen platform warns about window hints it cannot honour; that
// says nothing about the program.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
    if (standardHandler) standardHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    standardHandler = qInstallMessageHandler(quietHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // As the program does: Qt's own texts in Chinese.
    velmora::gui::installChineseTexts(app);
    QApplication::setFont(velmora::gui::songtiFont(12));
    return RUN_ALL_TESTS();
}
