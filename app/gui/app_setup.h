#pragma once
// Where the program keeps its files, and the fonts of the Chinese interface.
#include <QFont>
#include <QString>

namespace velmora::gui {

// The folder of note.ini, ad.ini, ad.gif and sites.ini: the executable's
// folder when the program may write there, else the user's configuration
// folder for the program (created when missing).
QString settingsFolder(const QString& executableFolder);

// 宋体 (SimSun) where the system has it, else the installed CJK font.
QStringList songtiFamilies();
QFont songtiFont(int pixelSize);

}  // namespace velmora::gui
