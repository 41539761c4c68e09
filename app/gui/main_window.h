#pragma once
// The main window: tool bar and menus, the company list, the detail and
// profile panels with their layout toggle, and the status bar; it owns the
// run control, the company list, the settings and the small services.
#include <QMainWindow>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "app/engine/company_list.h"
#include "app/engine/run_control.h"
#include "app/engine/settings_store.h"
#include "app/gui/command_bar.h"
#include "app/gui/company_list_view.h"
#include "app/gui/qt_executor.h"
#include "platform/http_client.h"
#include "platform/shell.h"
#include "platform/site_config.h"

class QTableView;
class QVBoxLayout;

namespace velmora::gui {

class AboutBox;
class Banner;
class CompanyListModel;
class DetailPanel;
class DialogService;
class IoCommands;
class LayoutSwitcher;
class NetworkCheck;
class ProfilePanel;
class StatusFields;
class ToggleStrip;
class WindowJournal;

struct WindowSetup {
    std::string settingsFolder;  // note.ini, ad.ini, ad.gif
    std::string helpFolder;      // Velmorahelp.chm or Velmorahelp/ (the executable's folder)
    SiteConfig sites;
    // The sources of a run; the default is the build's own set.
    std::function<SourceSet(const SiteConfig&)> makeSources;
    HttpClientFactory sourceClients;  // default: libcurl per source
    std::function<std::unique_ptr<HttpClient>(const HttpOptions&)> bannerClient;
    DialogService* dialogs = nullptr;  // default: the real dialogs
    Shell* shell = nullptr;            // default: the desktop's opener
    std::chrono::milliseconds probeTimeout{5000};
};

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr int kWidth = 715;
    static constexpr int kHeight = 506;

    explicit MainWindow(WindowSetup setup, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Commands (also reached through the menus, tool bar and keys).
    void searchCommand();
    void stopCommand();
    void clearKeywordsCommand();
    void helpCommand();
    void aboutCommand();

    CompanyList& list() { return list_; }
    RunControl& run() { return *run_; }
    QtExecutor& executor() { return executor_; }
    SettingsStore& settings() { return settings_; }
    const Commands& commands() const { return commands_; }
    StatusFields* statusFields() const { return status_; }
    QTableView* listView() const { return listView_; }
    CompanyListModel* model() const { return model_; }
    DetailPanel* detailPanel() const { return detail_; }
    ProfilePanel* profilePanel() const { return profile_; }
    ToggleStrip* toggleStrip() const { return strip_; }
    LayoutSwitcher* layoutSwitcher() const { return switcher_; }
    IoCommands* ioCommands() const { return io_.get(); }
    Banner* banner() const { return banner_.get(); }
    NetworkCheck* networkCheck() const { return network_.get(); }
    AboutBox* aboutBox() const { return about_; }

  signals:
    void runStatusShown(const QString& text);
    void searchStateChanged(bool searching);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

  private:
    class RunBridge;
    void buildCentralArea();
    void connectCommands();
    void loadSettings();
    void searchStartHook(const std::string& keywordBox, const std::string& provinceBox);
    void setSearching(bool searching);
    void showSelectedEntry();
    void websiteClicked(const QString& text);
    void emailClicked(const QString& text);
    void openLink(const QString& text);
    void setStatusText(const QString& text);
    // The per-source figures of the run in the status fields' tooltips.
    void showProgress();
    void refreshHistory(const QString& text);

    WindowSetup setup_;
    QtExecutor executor_;
    CompanyList list_;
    SettingsStore settings_;
    std::unique_ptr<DialogService> ownDialogs_;
    std::unique_ptr<Shell> ownShell_;
    DialogService* dialogs_ = nullptr;
    Shell* shell_ = nullptr;
    std::unique_ptr<RunBridge> bridge_;
    std::unique_ptr<RunControl> run_;

    Commands commands_;
    HintFilter* hints_ = nullptr;
    StatusFields* status_ = nullptr;
    QVBoxLayout* column_ = nullptr;
    CompanyListView* listView_ = nullptr;
    CompanyListModel* model_ = nullptr;
    ToggleStrip* strip_ = nullptr;
    DetailPanel* detail_ = nullptr;
    ProfilePanel* profile_ = nullptr;
    LayoutSwitcher* switcher_ = nullptr;
    AboutBox* about_ = nullptr;
    std::unique_ptr<IoCommands> io_;
    std::unique_ptr<Banner> banner_;
    std::unique_ptr<NetworkCheck> network_;
    std::unique_ptr<WindowJournal> journal_;
};

}  // namespace velmora::gui
