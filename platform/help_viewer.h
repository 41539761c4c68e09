#pragma once
// The help command's platform side. The help file is Velmorahelp.chm beside
// the executable; where no viewer for compiled help is installed (the usual
// case off Windows) the same help ships as HTML in the folder Velmorahelp/
// beside the executable and opens in the user's browser.
#include <functional>
#include <string>

#include "platform/shell.h"

namespace velmora::help {

inline constexpr const char* kChmFile = "Velmorahelp.chm";
inline constexpr const char* kHtmlFolder = "Velmorahelp";
inline constexpr const char* kHtmlIndex = "index.html";

enum class Kind { None, Chm, Html };

struct Document {
    Kind kind = Kind::None;
    std::string path;    // the file to show
    std::string viewer;  // the compiled-help viewer (Kind::Chm only)
};

// Finds a compiled-help viewer by name; the default looks on PATH.
using ProgramFinder = std::function<std::string(const std::string& program)>;

// The help document beside the executable and how to show it: the .chm when
// a viewer for it exists, else the HTML index, else Kind::None.
Document locate(const std::string& exeDir, const ProgramFinder& find = findProgram);

// "file://" URL of an absolute path, with the bytes a URL cannot carry escaped.
std::string fileUrl(const std::string& absolutePath);

// Shows the help. Returns false when there is no help beside the executable
// or no program could be started to show it.
bool open(const std::string& exeDir, Shell& shell, const ProgramFinder& find = findProgram);

}  // namespace velmora::help
