#include "app/gui/banner.h"

#include <QImageReader>
#include <QLocale>
#include <QMouseEvent>

#include <filesystem>
#include <fstream>

#include "app/gui/gbk_text.h"
#include "platform/ini_file.h"

namespace velmora::gui {
namespace {

constexpr const char* kControlFile = "ad.ini";
constexpr const char* kPicture = "ad.gif";

// Replaces the file only once the new content is complete.
bool writeWhole(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::path temp = path;
    temp += ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) return false;
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) std::filesystem::remove(temp, ec);
    return !ec;
}

}  // namespace

BannerView::BannerView(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("BannerImage"));
    setFixedSize(kWidth, kHeight);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setCursor(Qt::PointingHandCursor);
    setScaledContents(false);
}

void BannerView::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

Banner::Banner(Executor& main, Setup setup, BannerView* view, QObject* parent)
    : QObject(parent), main_(main), setup_(std::move(setup)), view_(view) {
    HttpOptions options = setup_.http;
    options.userAgent = "Mozilla/3.0 (compatible; Indy Library)";
    client_ = setup_.makeClient ? setup_.makeClient(options) : makeCurlHttpClient(options);
    connect(view_, &BannerView::clicked, this, [this] { emit clicked(link_); });
    reload();
}

Banner::~Banner() {
    *alive_ = false;
    if (client_) client_->abort();
    if (thread_.joinable()) thread_.join();
}

void Banner::step() {
    if (setup_.publisher.empty() || fetching_.load()) return;
    if (thread_.joinable()) thread_.join();  // the last step has ended
    fetching_.store(true);
    client_->resume();
    thread_ = std::thread([this] {
        bool picture = runStep();
        main_.post([this, alive = alive_, picture] {
            if (!*alive) return;
            fetching_.store(false);
            reload();
            emit stepFinished(picture);
        });
    });
}

bool Banner::runStep() {
    namespace fs = std::filesystem;
    fs::path folder(setup_.folder);
    try {
        std::string control = client_->get(setup_.publisher + "/Velmora/ad.txt");
        if (!writeWhole(folder / kControlFile, control)) return false;
        IniFile ini((folder / kControlFile).string());
        QDateTime until = parseShowTime(fromGbk(ini.read("outtime", "showtime")));
        if (!until.isValid() || QDateTime::currentDateTime() >= until) return false;
        std::string picture = client_->get(setup_.publisher + "/Velmora/ad.gif");
        return writeWhole(folder / kPicture, picture);
    } catch (const HttpError&) {
        return false;  // the banner never troubles the user
    }
}

void Banner::reload() {
    namespace fs = std::filesystem;
    fs::path folder(setup_.folder);
    QImageReader reader(QString::fromStdString((folder / kPicture).string()));
    QImage image = reader.read();
    if (image.isNull())
        view_->clear();
    else
        view_->setPixmap(QPixmap::fromImage(image));
    IniFile ini((folder / kControlFile).string());
    link_ = fromGbk(ini.read("adurl", "url"));
    if (link_.isEmpty()) link_ = setup_.homePage;
}

QDateTime Banner::parseShowTime(const QString& raw) {
    QString text = raw.trimmed();
    if (text.isEmpty()) return {};
    QLocale system = QLocale::system();
    QDateTime t = system.toDateTime(text, QLocale::ShortFormat);
    if (t.isValid()) return t;
    static const char* kFormats[] = {
        "yyyy-M-d H:mm:ss", "yyyy-M-d H:mm", "yyyy/M/d H:mm:ss", "yyyy/M/d H:mm",
        "yyyy.M.d H:mm:ss", "yyyy.M.d H:mm", "yyyy-M-dTH:mm:ss", "yyyy-M-d",
        "yyyy/M/d",         "yyyy.M.d",
    };
    for (const char* format : kFormats) {
        t = QDateTime::fromString(text, QString::fromLatin1(format));
        if (t.isValid()) return t;
    }
    return {};
}

}  // namespace velmora::gui
