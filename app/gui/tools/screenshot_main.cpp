// Renders the main window off-screen after a demo harvest and writes PNG
// pictures of its three layouts (and of the save-format dialog) for the
// documentation. Driven by environment variables, not arguments:
//   VELMORA_SCREENSHOT_DIR  where the PNG files go (required)
//   VELMORA_SITES_INI       sites.ini of running demo sites; without it the
//                           demo sites are started in-process when built in
//   VELMORA_KEYWORD         keyword to search (default 手机), province 浙江
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "app/gui/app_setup.h"
#include "app/gui/company_list_model.h"
#include "app/gui/input_boxes.h"
#include "app/gui/io_commands.h"
#include "app/gui/layout_toggle.h"
#include "app/gui/main_window.h"
#include "app/gui/save_format_dialog.h"
#include "app/gui/status_fields.h"
#ifdef VELMORA_HAVE_DEMO_SITES
#include "demo/demo_sites.h"
#endif

namespace {

using velmora::gui::MainWindow;

bool save(QWidget* widget, const QDir& dir, const QString& name) {
    QString path = dir.filePath(name);
    bool ok = widget->grab().save(path, "PNG");
    std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "wrote" : "cannot write",
                 path.toLocal8Bit().constData());
    return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    velmora::gui::installChineseTexts(app);
    QApplication::setFont(velmora::gui::songtiFont(12));
    QString outDir = qEnvironmentVariable("VELMORA_SCREENSHOT_DIR");
    if (outDir.isEmpty()) {
        std::fprintf(stderr, "set VELMORA_SCREENSHOT_DIR to the folder for the pictures\n");
        return 2;
    }
    QDir out(outDir);
    out.mkpath(QStringLiteral("."));

    QTemporaryDir settings;
    velmora::gui::WindowSetup setup;
    setup.settingsFolder = settings.path().toStdString();
    setup.helpFolder = QCoreApplication::applicationDirPath().toStdString();
#ifdef VELMORA_HAVE_DEMO_SITES
    std::unique_ptr<velmora::demo::DemoSites> sites;
#endif
    QString sitesIni = qEnvironmentVariable("VELMORA_SITES_INI");
    if (!sitesIni.isEmpty()) {
        setup.sites = velmora::SiteConfig::load(sitesIni.toStdString());
    } else {
#ifdef VELMORA_HAVE_DEMO_SITES
        sites = std::make_unique<velmora::demo::DemoSites>();
        setup.sites = sites->siteConfig();
#else
        std::fprintf(stderr, "set VELMORA_SITES_INI to the sites.ini of running demo sites\n");
        return 2;
#endif
    }

    MainWindow window(std::move(setup));
    window.show();
    const auto& c = window.commands();
    QString keyword = qEnvironmentVariable("VELMORA_KEYWORD", QStringLiteral("手机"));
    c.keywordBox->setEditText(keyword);
    c.provinceBox->setCurrentIndex(9);
    emit c.provinceBox->activated(9);

    int result = 1;
    auto finish = [&](int code) {
        result = code;
        QCoreApplication::quit();
    };
    // Each picture is taken a moment after the change before it, so that the
    // layouts have settled.
    bool ok = true;
    std::vector<std::function<void()>> steps = {
        [&] {
            // An entry with a profile and a mail address shows every box filled.
            int row = 0;
            for (size_t r = 0; r < window.list().size(); ++r) {
                if (!window.list().field(r, velmora::Column::Profile).empty() &&
                    !window.list().field(r, velmora::Column::Email).empty()) {
                    row = static_cast<int>(r);
                    break;
                }
            }
            window.listView()->selectRow(row);
            window.statusFields()->setText(0, QStringLiteral(" 开始搜索 (F8)"));
        },
        [&] { ok = save(&window, out, QStringLiteral("main-window-layout-a.png")) && ok; },
        [&] { window.toggleStrip()->button()->click(); },
        [&] { ok = save(&window, out, QStringLiteral("main-window-layout-b.png")) && ok; },
        [&] { window.toggleStrip()->button()->click(); },
        [&] { ok = save(&window, out, QStringLiteral("main-window-layout-c.png")) && ok; },
        [&] {
            window.toggleStrip()->button()->click();
            c.save->trigger();
        },
        [&] {
            QWidget* dialog = window.ioCommands()->formatDialog();
            ok = save(dialog, out, QStringLiteral("save-format-dialog.png")) && ok;
            dialog->close();
            finish(ok ? 0 : 1);
        },
    };
    std::function<void(size_t)> runStep = [&](size_t i) {
        if (i >= steps.size()) return;
        steps[i]();
        QTimer::singleShot(100, [&, i] { runStep(i + 1); });
    };
    auto shoot = [&] { runStep(0); };
    QObject::connect(&window, &MainWindow::searchStateChanged, [&](bool searching) {
        if (searching) return;
        if (window.list().size() == 0) {
            std::fprintf(stderr, "the demo harvest found no companies\n");
            finish(1);
            return;
        }
        // Let the list publish its last entries first.
        QTimer::singleShot(50, shoot);
    });
    QTimer::singleShot(0, [&] { c.search->trigger(); });
    QTimer::singleShot(180000, [&] {
        std::fprintf(stderr, "the demo harvest did not finish\n");
        finish(1);
    });
    app.exec();
    return result;
}
