#include "gui/common/HelpBrowser.h"

#include "gui/common/Help.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

// Pages pass through FilterHelpPage on their way in, so they name only commands that exist.
class FilteredBrowser : public QTextBrowser
{
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl& name) override
    {
        const QVariant resource = QTextBrowser::loadResource(type, name);
        if (type != QTextDocument::HtmlResource)
            return resource;
        const QString html = resource.userType() == QMetaType::QByteArray
            ? QString::fromUtf8(resource.toByteArray())
            : resource.toString();
        return FilterHelpPage(html);
    }
};

} // namespace

HelpBrowser::HelpBrowser(QWidget* parent)
    : QDialog(parent)
    , m_browser(new FilteredBrowser(this))
{
    setWindowTitle(QStringLiteral("ZEPH Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Help never keeps the program alive: closing the main window ends it, help included.
    setAttribute(Qt::WA_QuitOnClose, false);
    m_browser->setSearchPaths({ QStringLiteral(":/help") });
    m_browser->setOpenExternalLinks(true);

    auto* buttons = new QDialogButtonBox(this);
    auto* back = buttons->addButton(QStringLiteral("&Back"), QDialogButtonBox::ActionRole);
    auto* contents = buttons->addButton(QStringLiteral("&Contents"), QDialogButtonBox::ActionRole);
    contents->setObjectName(QStringLiteral("contents"));
    buttons->addButton(QDialogButtonBox::Close);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    back->setEnabled(false);
    connect(contents, &QPushButton::clicked, this, [this] { ShowTopic(QStringLiteral("index.html")); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    layout->addWidget(buttons);
    resize(720, 560);
}

HelpBrowser* HelpBrowser::Instance()
{
    static QPointer<HelpBrowser> browser;
    if (!browser)
        browser = new HelpBrowser;
    return browser;
}

void HelpBrowser::ShowTopic(const QString& topic)
{
    // A topic without a page of its own falls back to the contents, never to a blank window.
    m_topic = QFile::exists(QStringLiteral(":/help/") + topic) ? topic : QStringLiteral("index.html");
    m_browser->setSource(QUrl(QStringLiteral("qrc:/help/") + m_topic));
    FollowModalDialog();
    show();
    raise();
    activateWindow();
}

void HelpBrowser::FollowModalDialog()
{
    // A modal dialog blocks every window but its own, and the window manager keeps an owned window
    // above its owner: so help asked for over a modal dialog becomes that dialog's window until the
    // dialog goes away, then a window of its own again.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == this || modal == m_owner)
        return;
    if (m_owner)
        m_owner->removeEventFilter(this);
    m_owner = modal;
    setParent(modal, windowFlags());
    if (modal)
        modal->installEventFilter(this);
}

bool HelpBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_owner && (event->type() == QEvent::Hide || event->type() == QEvent::Close)) {
        const bool shown = isVisible();
        m_owner->removeEventFilter(this);
        m_owner = nullptr;
        setParent(nullptr, windowFlags());
        if (shown)
            show();
    }
    return QDialog::eventFilter(watched, event);
}
