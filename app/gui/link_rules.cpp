#include "app/gui/link_rules.h"

#include <QRegularExpression>
#include <QUrl>

namespace velmora::gui::links {

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32) ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32) --end;
    return text.mid(begin, end - begin);
}

std::optional<QString> websiteTarget(const QString& boxText) {
    QString text = trimBlanks(boxText);
    if (text.isEmpty()) return std::nullopt;
    static const QRegularExpression kWeb(QStringLiteral("^https?://"),
                                         QRegularExpression::CaseInsensitiveOption);
    // "name:" not followed by a port number names a scheme ("www.a.cn:8080" does not).
    static const QRegularExpression kScheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:(?![0-9])"));
    if (!kWeb.match(text).hasMatch()) {
        if (kScheme.match(text).hasMatch()) return std::nullopt;
        text = QStringLiteral("http://") + text;
    }
    QUrl url(text, QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty()) return std::nullopt;
    QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) return std::nullopt;
    return QString::fromLatin1(url.toEncoded());
}

std::optional<QString> mailtoTarget(const QString& boxText) {
    QString address = trimBlanks(boxText);
    // Local part and domain: no blanks, no second "@", nothing that would turn
    // the address into a link with parameters, more recipients or a path.
    static const QRegularExpression kPlain(
        QStringLiteral(R"(^[^\s@?&#%,;:<>"'()\[\]\\/]+@[^\s@?&#%,;:<>"'()\[\]\\/]+$)"));
    if (!kPlain.match(address).hasMatch()) return std::nullopt;
    for (QChar c : address)
        if (c.unicode() < 32 || c.unicode() == 127) return std::nullopt;
    // Non-ASCII characters (an address with Chinese characters) travel as
    // percent-encoded UTF-8, as a mail link must carry them.
    return QStringLiteral("mailto:") +
           QString::fromLatin1(QUrl::toPercentEncoding(address, "@.+-_!$*=~"));
}

}  // namespace velmora::gui::links
