#include "app/gui/main_window.h"

#include <QAction>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QResizeEvent>
#include <QScreen>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <filesystem>

#include "app/engine/source_starts.h"
#include "app/gui/about_box.h"
#include "app/gui/app_setup.h"
#include "app/gui/banner.h"
#include "app/gui/company_list_model.h"
#include "app/gui/company_list_view.h"
#include "app/gui/detail_panel.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gbk_text.h"
#include "app/gui/icons.h"
#include "app/gui/input_boxes.h"
#include "app/gui/io_commands.h"
#include "app/gui/layout_toggle.h"
#include "app/gui/network_check.h"
#include "app/gui/run_progress.h"
#include "app/gui/source_choice.h"
#include "app/gui/status_fields.h"
#include "sources/registry.h"

namespace velmora::gui {

// The run control's reports, forwarded to the window (all on the main thread).
class MainWindow::RunBridge : public RunObserver {
  public:
    explicit RunBridge(MainWindow& window) : window_(window) {}
    void runStatusChanged(const std::string& gbkText) override {
        QString text = fromGbk(gbkText);
        window_.status_->setText(StatusFields::RunStatus, text);
        // A source that has finished changes the marks: its figures say so.
        window_.showProgress();
        emit window_.runStatusShown(text);
    }
    void searchingChanged(bool searching) override {
        window_.setSearching(searching);
        window_.showProgress();
        // A list that lacks the pages the sites would not give says so.
        if (int pages = window_.run_->unfetchedPages(); !searching && pages > 0)
            window_.setStatusText(fromGbk(run_texts::unfetched(pages)));
    }
    void stepFinished(int, const StepOutcome&) override { window_.showProgress(); }

  private:
    MainWindow& window_;
};

MainWindow::MainWindow(WindowSetup setup, QWidget* parent)
    : QMainWindow(parent),
      setup_(std::move(setup)),
      settings_((std::filesystem::path(setup_.settingsFolder) / "note.ini").string()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Velmora"));
    setWindowIcon(icons::application());
    setFont(songtiFont(12));

    if (!setup_.dialogs) ownDialogs_ = std::make_unique<QtDialogService>();
    dialogs_ = setup_.dialogs ? setup_.dialogs : ownDialogs_.get();
    if (!setup_.shell) ownShell_ = makeDesktopShell();
    shell_ = setup_.shell ? setup_.shell : ownShell_.get();

    SourceSet sources =
        setup_.makeSources ? setup_.makeSources(setup_.sites) : makeSources(setup_.sites);
    run_ = std::make_unique<RunControl>(executor_, list_, setup_.sites, std::move(sources),
                                        setup_.sourceClients);
    bridge_ = std::make_unique<RunBridge>(*this);
    run_->setObserver(bridge_.get());
    run_->setSearchStartHook([this](const std::string& keywordBox, const std::string& provinceBox) {
        searchStartHook(keywordBox, provinceBox);
    });

    commands_ = buildCommands(this);
    status_ = new StatusFields(this);
    setStatusBar(status_);
    buildCentralArea();

    io_ = std::make_unique<IoCommands>(this, list_, executor_, *dialogs_, settings_,
                                       IoCommands::Hooks{
                                           [this](const QString& text) { setStatusText(text); },
                                           [this] { return commands_.keywordBox->currentText(); },
                                           [this] { return commands_.provinceBox->currentText(); },
                                           [this] { commands_.keywordBox->setEditText(QString()); },
                                       });
    about_ = new AboutBox(this, *shell_,
                          PublisherLinks{QString::fromStdString(setup_.sites.publisherHome),
                                         QStringLiteral("support@velmora.example")});
    Banner::Setup bannerSetup{setup_.settingsFolder, setup_.sites.publisher,
                              QString::fromStdString(setup_.sites.publisherHome), setup_.sites.http,
                              setup_.bannerClient};
    banner_ = std::make_unique<Banner>(executor_, std::move(bannerSetup), commands_.banner);
    network_ = std::make_unique<NetworkCheck>(
        executor_, setup_.sites.probe,
        NetworkCheck::Hooks{
            [this](const QString& text) { setStatusText(text); },
            [this](const QString& text) { dialogs_->message(this, QString(), text); }},
        setup_.probeTimeout);
    network_->setHttpOptions(setup_.sites.http);

    connectCommands();
    loadSettings();

    resize(kWidth, kHeight);
    if (QScreen* screen = this->screen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

MainWindow::~MainWindow() {
    // Workers must not wait for a main thread that has stopped serving them.
    executor_.close();
    network_.reset();
    banner_.reset();
    io_.reset();
    run_.reset();
    // The view outlives the model by a moment; nothing may react to its end.
    QObject::disconnect(listView_->selectionModel(), nullptr, this, nullptr);
    listView_->setModel(nullptr);
    delete model_;
    model_ = nullptr;
}

void MainWindow::buildCentralArea() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("CentralArea"));
    column_ = new QVBoxLayout(central);
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(0);

    listView_ = new CompanyListView(central);
    listView_->setObjectName(QStringLiteral("ListView1"));
    model_ = new CompanyListModel(list_);
    listView_->setModel(model_);
    listView_->setFont(songtiFont(15));
    listView_->setShowGrid(true);
    listView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    listView_->setSelectionMode(QAbstractItemView::SingleSelection);
    listView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    listView_->setSortingEnabled(false);
    listView_->setWordWrap(false);
    listView_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    listView_->verticalHeader()->hide();
    // Fixed row heights keep a list of a million entries quick to scroll.
    listView_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    listView_->verticalHeader()->setDefaultSectionSize(QFontMetrics(listView_->font()).height() +
                                                       4);
    listView_->horizontalHeader()->setHighlightSections(false);
    listView_->horizontalHeader()->setSectionsClickable(false);
    for (int c = 0; c < kColumns; ++c) {
        int width = CompanyListModel::initialWidth(static_cast<Column>(c));
        if (width > 0) listView_->setColumnWidth(c, width);
    }

    strip_ = new ToggleStrip(central);
    detail_ = new DetailPanel(central);
    profile_ = new ProfilePanel(central);
    column_->addWidget(listView_, 1);
    column_->addWidget(strip_);
    column_->addWidget(detail_);
    column_->addWidget(profile_);
    switcher_ = new LayoutSwitcher(column_, listView_, strip_, detail_, profile_, this);
    setCentralWidget(central);
}

void MainWindow::connectCommands() {
    const Commands& c = commands_;
    connect(c.search, &QAction::triggered, this, &MainWindow::searchCommand);
    connect(c.stop, &QAction::triggered, this, &MainWindow::stopCommand);
    connect(c.open, &QAction::triggered, io_.get(), &IoCommands::openCommand);
    connect(c.save, &QAction::triggered, io_.get(), &IoCommands::saveCommand);
    connect(c.exit, &QAction::triggered, this, &QWidget::close);
    connect(c.clearKeywords, &QAction::triggered, this, &MainWindow::clearKeywordsCommand);
    connect(c.sameNameFilter, &QAction::toggled, this, [this](bool on) {
        list_.setSameNameFilter(on);
        setStatusText(on ? QStringLiteral("筛除同名称企业") : QStringLiteral("不筛除同名称企业"));
    });
    connect(c.research, &QAction::toggled, this, [this](bool on) {
        run_->setResearch(on);
        setStatusText(on ? QStringLiteral("已经选中再搜索功能")
                         : QStringLiteral("再搜索功能已取消"));
    });
    connect(c.sources, &SourceChoice::changed, this, [this](const std::vector<int>& sources) {
        settings_.storeSources(sources);
        setStatusText(SourceChoice::describe(sources));
    });
    connect(c.sources, &SourceChoice::lastKept, this,
            [this] { setStatusText(QStringLiteral("至少要选择一个搜索来源")); });
    connect(c.networkTest, &QAction::triggered, network_.get(), &NetworkCheck::start);
    connect(c.help, &QAction::triggered, this, &MainWindow::helpCommand);
    connect(c.about, &QAction::triggered, this, &MainWindow::aboutCommand);

    connect(c.keywordBox, &KeywordBox::enterPressed, this, &MainWindow::searchCommand);
    connect(c.provinceBox, &ProvinceBox::enterPressed, this, &MainWindow::searchCommand);
    connect(c.provinceBox, &ProvinceBox::typingRefused, this, [this] {
        dialogs_->message(this, QStringLiteral("Velmora"),
                          QStringLiteral("不能输入！空和“(省份)”字样时为所有省份。"));
    });

    hints_ = new HintFilter(this);
    hints_->watch(c.searchButton, QStringLiteral(" 开始搜索 (F8)"));
    hints_->watch(c.stopButton, QStringLiteral(" 停止搜索 (F9)"));
    hints_->watch(c.openButton, QStringLiteral(" 打开文件 (Ctrl+O)"));
    hints_->watch(c.saveButton, QStringLiteral(" 保存文件 (Ctrl+S)"));
    hints_->watch(c.helpButton, QStringLiteral(" 帮助 (F1)"));
    connect(hints_, &HintFilter::hint, this, &MainWindow::setStatusText);

    // The first entry (and any selection change) makes the list savable.
    connect(model_, &QAbstractItemModel::rowsInserted, this,
            [this] { commands_.save->setEnabled(true); });
    connect(model_, &CompanyListModel::entriesPublished, this,
            [this] { status_->setText(StatusFields::Count, QString::number(list_.size())); });
    connect(listView_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        commands_.save->setEnabled(true);
        showSelectedEntry();
    });
    connect(detail_, &DetailPanel::websiteClicked, this, &MainWindow::websiteClicked);
    connect(detail_, &DetailPanel::emailClicked, this, &MainWindow::emailClicked);
    connect(strip_, &ToggleStrip::clicked, switcher_, &LayoutSwitcher::cycle);
    connect(banner_.get(), &Banner::clicked, this, &MainWindow::openLink);
}

void MainWindow::loadSettings() {
    LoadedSettings loaded = settings_.load();
    refreshHistory(fromGbk(loaded.keywordBox));
    io_->setRememberedFormat(loaded.saveFormat);
    commands_.provinceBox->restore(static_cast<int>(loaded.provinceIndex));
    SourceChoice* choice = commands_.sources;
    choice->setChosen(loaded.sources);
    for (int s = 1; s <= SourceChoice::kSources; ++s) {
        if (!run_->available(s))
            choice->setUnusable(s, QStringLiteral("此版本不含该来源"));
        else if (sourceAddress(setup_.sites, s).empty())
            choice->setUnusable(s, QStringLiteral("sites.ini 中未设置该来源的网址"));
    }
}

void MainWindow::refreshHistory(const QString& text) {
    QStringList entries;
    entries.reserve(static_cast<qsizetype>(settings_.history().size()));
    for (const auto& entry : settings_.history()) entries << fromGbk(entry);
    commands_.keywordBox->setHistory(entries, text);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    strip_->setButtonWidth(width() - 20);
    switcher_->setListHeight(height() - 285);
}

bool MainWindow::event(QEvent* event) {
    // Status tips would cover the six fields; the hints have their own field.
    if (event->type() == QEvent::StatusTip) return true;
    return QMainWindow::event(event);
}

void MainWindow::showProgress() {
    QString text = runProgressText(*run_);
    status_->field(StatusFields::RunStatus)->setToolTip(text);
    status_->field(StatusFields::Count)->setToolTip(text);
}

void MainWindow::setStatusText(const QString& text) {
    status_->setText(StatusFields::Text, text);
}

}  // namespace velmora::gui
