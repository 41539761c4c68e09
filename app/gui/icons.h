#pragma once
// The tool bar's images and the application icon, drawn at run time so the
// program ships no image files of its own.
#include <QIcon>

namespace velmora::gui::icons {

QIcon application();
QIcon search();
QIcon stop();
QIcon open();
QIcon save();
QIcon help();

}  // namespace velmora::gui::icons
