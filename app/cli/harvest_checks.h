#pragma once
// Checks of the harvest options that `harvest` and `batch` share.
#include <string>
#include <vector>

#include "app/engine/run_control.h"

namespace velmora::cli {

// "2,7" → {2, 7}; repeats dropped. False with a message on anything else.
bool parseSources(const std::string& text, std::vector<int>& sources, std::string& error);

// Names the sources of the list that this build does not carry.
bool checkAvailable(const std::vector<int>& sources, const SourceSet& set, std::string& error);

// The province box text for an optional --province (UTF-8); false with a
// message when it is not a province box entry.
bool provinceBoxText(const std::string& utf8Province, bool given, std::string& box,
                     std::string& error);

// The sites file to read; false (exit 2) when a file given is missing. A
// missing default file is only warned about.
bool chooseSitesFile(const std::string& given, std::string& path, std::string& error);

// The sites and sources of a run, after the checks both commands make: the
// sites file, the output folder, `parallel` (0: as the file says) and the
// sources asked for. 0, or the exit code with the message printed.
int loadRunSites(const std::string& sitesFile, const std::string& out, int parallel,
                 const std::vector<int>& sources, SiteConfig& sites, SourceSet& set);

}  // namespace velmora::cli
