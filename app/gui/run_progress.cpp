#include "app/gui/run_progress.h"

#include <QStringList>

#include "app/engine/run_control.h"
#include "app/engine/source_starts.h"
#include "app/gui/source_choice.h"

namespace velmora::gui {

QString runProgressText(const RunControl& run) {
    QStringList lines;
    for (int s : startOrder({1, 2, 3, 4, 5, 6, 7})) {
        const SourceProgress& p = run.progress(s);
        if (!p.started) continue;
        QString line = QStringLiteral("%1：第 %2 页；结果页 %3，详细页 %4，失败 %5")
                           .arg(SourceChoice::caption(s))
                           .arg(p.page)
                           .arg(p.resultPages)
                           .arg(p.detailPages)
                           .arg(p.failed);
        if (p.unfetched > 0) line += QStringLiteral("，未能取得 %1").arg(p.unfetched);
        if (!run.active(s)) line += QStringLiteral("；已结束");
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace velmora::gui
