#include "gui/common/HelpBrowser.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

HelpBrowser::HelpBrowser(QWidget* parent)
    : QDialog(parent)
    , m_browser(new QTextBrowser(this))
{
    setWindowTitle(QStringLiteral("ZEPH Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_browser->setSearchPaths({ QStringLiteral(":/help") });
    m_browser->setOpenExternalLinks(true);

    auto* buttons = new QDialogButtonBox(this);
    auto* back = buttons->addButton(QStringLiteral("&Back"), QDialogButtonBox::ActionRole);
    auto* contents = buttons->addButton(QStringLiteral("&Contents"), QDialogButtonBox::ActionRole);
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
    show();
    raise();
    activateWindow();
}
