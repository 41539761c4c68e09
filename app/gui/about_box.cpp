#include "app/gui/about_box.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/gui/icons.h"
#include "app/gui/window_placement.h"
#include "platform/shell.h"
#include "platform/system_info.h"

namespace velmora::gui {
namespace {

QLabel* linkLabel(const QString& text, QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setText(QStringLiteral("<a href=\"link\" style=\"color:#0000cc;\">%1</a>")
                       .arg(text.toHtmlEscaped()));
    label->setCursor(Qt::PointingHandCursor);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    return label;
}

}  // namespace

AboutBox::AboutBox(QWidget* owner, Shell& shell, PublisherLinks links)
    : QDialog(owner, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      shell_(shell),
      links_(std::move(links)) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("关于"));
    setModal(true);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("AboutPicture"));
    picture->setPixmap(icons::application().pixmap(32, 32));
    auto* product = new QLabel(QStringLiteral("(Velmora)"), this);
    product->setObjectName(QStringLiteral("AboutProductTag"));
    auto* name = new QLabel(QStringLiteral("软件名称：Velmora"), this);
    name->setObjectName(QStringLiteral("AboutName"));
    version_ = new QLabel(this);
    version_->setObjectName(QStringLiteral("AboutVersion"));
    memory_ = new QLabel(this);
    memory_->setObjectName(QStringLiteral("AboutMemory"));
    QLabel* home = linkLabel(links_.homePage, this, QStringLiteral("AboutHomeLink"));
    QLabel* mail =
        linkLabel(QStringLiteral("E-mail:") + links_.mail, this, QStringLiteral("AboutMailLink"));
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("AboutOk"));
    ok->setDefault(true);

    auto* left = new QVBoxLayout;
    left->addWidget(picture, 0, Qt::AlignHCenter);
    left->addWidget(product, 0, Qt::AlignHCenter);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    for (QWidget* w :
         {static_cast<QWidget*>(name), static_cast<QWidget*>(version_),
          static_cast<QWidget*>(memory_), static_cast<QWidget*>(home), static_cast<QWidget*>(mail)})
        right->addWidget(w);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(14, 12, 14, 10);
    grid->setHorizontalSpacing(16);
    grid->addLayout(left, 0, 0);
    grid->addLayout(right, 0, 1);
    grid->addWidget(ok, 1, 0, 1, 2, Qt::AlignHCenter);

    connect(home, &QLabel::linkActivated, this, [this] { openLink(links_.homePage); });
    connect(mail, &QLabel::linkActivated, this, [this] { openLink(mailLinkTarget()); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    refresh();
    setFixedSize(sizeHint().expandedTo(QSize(300, 170)));
}

void AboutBox::refresh() {
#ifdef VELMORA_VERSION
    version_->setText(QStringLiteral("文件版本：") + QStringLiteral(VELMORA_VERSION));
#else
    version_->clear();
#endif
    std::uint64_t bytes = sysinfo::totalPhysicalMemoryBytes();
    memory_->setText(QStringLiteral("可用内存：") +
                     QString::fromStdString(sysinfo::memoryKilobytesText(bytes)));
}

QString AboutBox::mailLinkTarget() const {
    QString subject = QStringLiteral("Velmora (") + version_->text() + QStringLiteral(")");
    return QStringLiteral("mailto:") + links_.mail + QStringLiteral("?subject=") +
           QString::fromLatin1(QUrl::toPercentEncoding(subject));
}

void AboutBox::openLink(const QString& link) {
    shell_.open(link.toStdString());
}

void AboutBox::showModal() {
    refresh();
    centreOn(this, parentWidget());
    exec();
}

}  // namespace velmora::gui
