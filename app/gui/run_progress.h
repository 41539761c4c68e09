#pragma once
// The tooltip of the run status and entry count fields: per source started
// in the current (or last) run, the result and detail pages it has fetched,
// how many steps failed, and which result page it is on.
#include <QString>

namespace velmora {
class RunControl;
}

namespace velmora::gui {

// Empty before the first run.
QString runProgressText(const RunControl& run);

}  // namespace velmora::gui
