#include "gui/common/CHyperLink.h"

#include "core/common/Prompt.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

namespace {
bool (*s_opener)(const QString&) = nullptr;
}

void CHyperLink::SetOpener(bool (*opener)(const QString& url))
{
    s_opener = opener;
}

CHyperLink::CHyperLink(QWidget* parent)
    : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    applyLook();
}

QString CHyperLink::TooltipFor(const QString& url)
{
    if (url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
        return QStringLiteral("Go to ") + url.mid(7);
    if (url.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return QStringLiteral("E-mail ") + url.mid(7);
    return url;
}

void CHyperLink::SetURL(const QString& url)
{
    m_url = url;
    if (m_url.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        m_url.prepend(QStringLiteral("http://"));
    if (text().isEmpty())
        setText(m_url);
    setToolTip(TooltipFor(m_url));
    if (m_autoSize)
        adjustSize();
}

void CHyperLink::SetUnderline(int mode)
{
    m_underline = mode;
    applyLook();
}

void CHyperLink::SetAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    if (autoSize)
        adjustSize();
}

QColor CHyperLink::CurrentColour() const
{
    return m_hover ? m_hoverColour : m_visited ? m_visitedColour : m_link;
}

void CHyperLink::applyLook()
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, CurrentColour());
    setPalette(palette);
    QFont font = this->font();
    font.setUnderline(m_underline == 1 || (m_underline == -1 && m_hover));
    setFont(font);
}

bool CHyperLink::Open()
{
    if (!OpenAddress(m_url))
        return false;
    m_visited = true;
    applyLook();
    return true;
}

bool CHyperLink::OpenAddress(const QString& url)
{
    if (s_opener ? s_opener(url) : QDesktopServices::openUrl(QUrl(url)))
        return true;
    QApplication::beep();
    Prompt::Tell(QStringLiteral("Unable to open hyperlink:\n\n")
            + QStringLiteral("There is no application associated\nwith the given filename extension."),
        QStringLiteral("ZEPH"), Prompt::Warning);
    return false;
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Open();
    QLabel::mouseReleaseEvent(event);
}

void CHyperLink::enterEvent(QEnterEvent* event)
{
    m_hover = true;
    applyLook();
    QLabel::enterEvent(event);
}

void CHyperLink::leaveEvent(QEvent* event)
{
    m_hover = false;
    applyLook();
    QLabel::leaveEvent(event);
}
