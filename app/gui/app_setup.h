#pragma once
// Where the program keeps its files, and the fonts of the Chinese interface.
#include <QFont>
#include <QString>

class QCoreApplication;

namespace velmora::gui {

// The folder of note.ini, ad.ini, ad.gif and sites.ini: the executable's
// folder when the program may write there, else the user's configuration
// folder for the program (created when missing).
QString settingsFolder(const QString& executableFolder);

// 宋体 (SimSun) where the system has it, else the installed CJK font.
QStringList songtiFamilies();
QFont songtiFont(int pixelSize);

// Qt's own texts (standard buttons, file dialogs, the edit boxes' context
// menu) in Simplified Chinese whatever the system locale, and the Chinese
// locale for dates and numbers. Returns false when Qt's translations are not
// installed (the standard texts then stay English).
bool installChineseTexts(QCoreApplication& app);

}  // namespace velmora::gui
