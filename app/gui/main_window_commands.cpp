// The main window's commands: search, stop, the keyword history, the detail
// panel's links, help and about.
#include <QAction>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>

#include "app/engine/profile_breaks.h"
#include "app/engine/search_inputs.h"
#include "app/gui/about_box.h"
#include "app/gui/banner.h"
#include "app/gui/company_list_model.h"
#include "app/gui/detail_panel.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gbk_text.h"
#include "app/gui/input_boxes.h"
#include "app/gui/link_rules.h"
#include "app/gui/main_window.h"
#include "app/gui/source_choice.h"
#include "app/gui/status_fields.h"
#include "platform/help_viewer.h"

namespace velmora::gui {

void MainWindow::searchCommand() {
    // F8 and Enter reach here while a run is under way only if a key slips
    // past the disabled controls.
    if (!commands_.search->isEnabled()) return;
    std::string keyword = toGbk(commands_.keywordBox->currentText());
    std::string province = toGbk(commands_.provinceBox->currentText());
    InputProblem problem = checkSearchInputs(keyword, province);
    if (problem != InputProblem::None) {
        dialogs_->message(this, QStringLiteral("Velmora"), fromGbk(inputProblemMessage(problem)));
        return;
    }
    if (run_->searchStart(keyword, province, commands_.sources->startable())) banner_->step();
}

void MainWindow::stopCommand() {
    run_->stop();
}

void MainWindow::searchStartHook(const std::string& keywordBox, const std::string& provinceBox) {
    long index = settings_.storeProvince(commands_.provinceBox->provinceIndex(), provinceBox);
    commands_.provinceBox->setProvinceIndex(static_cast<int>(index));
    if (keywordBox.empty()) return;
    settings_.updateHistory(keywordBox);
    refreshHistory(fromGbk(keywordBox));
}

void MainWindow::setSearching(bool searching) {
    commands_.search->setEnabled(!searching);
    commands_.stop->setEnabled(searching);
    commands_.keywordBox->setEnabled(!searching);
    commands_.provinceBox->setEnabled(!searching);
    emit searchStateChanged(searching);
}

void MainWindow::clearKeywordsCommand() {
    if (!dialogs_->ask(this, QStringLiteral("Velmora"), QStringLiteral("确认清除关键词记录吗？"),
                       DialogService::Icon::Question))
        return;
    commands_.keywordBox->setEditText(QString());
    settings_.clearHistory();
    commands_.keywordBox->setHistory({}, QString());
}

void MainWindow::showSelectedEntry() {
    QModelIndexList rows = listView_->selectionModel()->selectedRows();
    if (rows.isEmpty()) return;  // a deselection changes nothing
    int row = rows.constFirst().row();
    std::array<QString, kColumns> columns;
    for (int c = 0; c < kColumns; ++c)
        columns[c] = fromGbk(model_->field(row, static_cast<Column>(c)));
    status_->setText(StatusFields::Id, columns[static_cast<int>(Column::Id)]);
    detail_->showEntry(columns);
    profile_->setProfile(fromGbk(insertProfileBreaks(model_->field(row, Column::Profile))));
}

void MainWindow::websiteClicked(const QString& text) {
    if (text.isEmpty()) return;
    openLink(text);
}

void MainWindow::openLink(const QString& text) {
    std::optional<QString> target = links::websiteTarget(text);
    if (!target) {
        setStatusText(QStringLiteral("只能打开http或https网址"));
        return;
    }
    if (!shell_->open(target->toStdString()))
        setStatusText(QStringLiteral("没有找到打开网址的程序"));
}

void MainWindow::emailClicked(const QString& text) {
    if (text.isEmpty()) return;
    std::optional<QString> target = links::mailtoTarget(text);
    if (!target)
        setStatusText(QStringLiteral("不是有效的E-mail地址"));
    else if (!shell_->open(target->toStdString()))
        setStatusText(QStringLiteral("没有找到发信程序"));
    detail_->emailBox()->selectAll();
}

void MainWindow::helpCommand() {
    help::Document doc = help::locate(setup_.helpFolder);
    if (doc.kind == help::Kind::None) {
        dialogs_->message(
            this, QStringLiteral("Velmora"),
            QStringLiteral("找不到帮助文件 ") + QString::fromStdString(help::kChmFile));
        return;
    }
    if (!help::open(setup_.helpFolder, *shell_))
        setStatusText(QStringLiteral("没有找到显示帮助的程序"));
}

void MainWindow::aboutCommand() {
    about_->showModal();
}

}  // namespace velmora::gui
