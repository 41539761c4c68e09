#pragma once
// The publisher's banner at the right end of the tool bar. After each search
// start the control file ad.ini (and, while its "showtime" lies ahead, the
// picture ad.gif) is fetched from the publisher's server into the settings
// folder. The fetches run on a thread of their own, so a slow server never
// holds up the window; the picture and link are shown when they are in.
#include <QDateTime>
#include <QLabel>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/executor.h"
#include "platform/http_client.h"

namespace velmora::gui {

class BannerView : public QLabel {
    Q_OBJECT
  public:
    static constexpr int kWidth = 162;
    static constexpr int kHeight = 38;
    explicit BannerView(QWidget* parent = nullptr);
  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class Banner : public QObject {
    Q_OBJECT
  public:
    struct Setup {
        std::string folder;     // where ad.ini and ad.gif live
        std::string publisher;  // server in front of /Velmora/ad.txt; empty = no banner
        QString homePage;       // the link when ad.ini names none
        HttpOptions http;
        // The banner's HTTP client; the default is libcurl.
        std::function<std::unique_ptr<HttpClient>(const HttpOptions&)> makeClient;
    };

    Banner(Executor& main, Setup setup, BannerView* view, QObject* parent = nullptr);
    // Aborts a fetch under way and waits for its thread.
    ~Banner() override;

    // The banner step; ignored while the previous one still runs.
    void step();
    bool fetching() const { return fetching_.load(); }

    // Shows ad.gif (empty area when missing or unreadable) and takes the link
    // from ad.ini.
    void reload();
    const QString& link() const { return link_; }

    // "showtime" as written in ad.ini: the system's short date and time, or
    // one of the usual numeric forms. Invalid when it is none of them.
    static QDateTime parseShowTime(const QString& text);

  signals:
    // A step has ended; `pictureFetched` when a new ad.gif was written.
    void stepFinished(bool pictureFetched);
    void clicked(const QString& link);

  private:
    bool runStep();  // worker thread; true when a picture was fetched

    Executor& main_;
    Setup setup_;
    BannerView* view_;
    std::unique_ptr<HttpClient> client_;
    std::thread thread_;
    std::atomic<bool> fetching_{false};
    QString link_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace velmora::gui
