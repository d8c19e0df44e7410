#include "gui/common/CPercentProgressCtrl.h"

#include <QApplication>
#include <QPainter>

CPercentProgressCtrl::CPercentProgressCtrl(QWidget* parent)
    : QWidget(parent)
{
    const QPalette palette = QApplication::palette();
    m_bar = palette.color(QPalette::Highlight);
    m_background = palette.color(QPalette::Button);
    m_text = palette.color(QPalette::WindowText);
    m_textOverBar = palette.color(QPalette::Base);
    setMinimumHeight(18);
}

void CPercentProgressCtrl::SetRange(int lower, int upper)
{
    m_lower = lower;
    m_upper = upper > lower ? upper : lower + 1;
    SetPos(m_pos);
}

int CPercentProgressCtrl::SetPos(int position)
{
    const int previous = m_pos;
    m_pos = qBound(m_lower, position, m_upper);
    if (m_pos != previous)
        update();
    return previous;
}

void CPercentProgressCtrl::SetShowPercent(bool show)
{
    m_showPercent = show;
    update();
}
void CPercentProgressCtrl::SetCustomText(const QString& text)
{
    m_customText = text;
    update();
}
void CPercentProgressCtrl::SetBarColour(const QColor& colour)
{
    m_bar = colour;
    update();
}
void CPercentProgressCtrl::SetBackgroundColour(const QColor& colour)
{
    m_background = colour;
    update();
}

void CPercentProgressCtrl::SetTextColours(const QColor& text, const QColor& textOverBar)
{
    m_text = text;
    m_textOverBar = textOverBar;
    update();
}

int CPercentProgressCtrl::Percent() const
{
    return int(qint64(m_pos - m_lower) * 100 / qMax(1, m_upper - m_lower));
}

QString CPercentProgressCtrl::Text() const
{
    if (!m_customText.isEmpty())
        return m_customText;
    return m_showPercent ? QStringLiteral("%1%").arg(Percent()) : QString();
}

void CPercentProgressCtrl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    const int filled = int(qint64(area.width()) * (m_pos - m_lower) / qMax(1, m_upper - m_lower));
    const QRect bar(area.left(), area.top(), filled, area.height());
    painter.fillRect(area, m_background);
    painter.fillRect(bar, m_bar);
    const QString text = Text();
    if (text.isEmpty())
        return;
    painter.setPen(m_text);
    painter.setClipRect(area.adjusted(filled, 0, 0, 0));
    painter.drawText(area, Qt::AlignCenter, text);
    painter.setPen(m_textOverBar);
    painter.setClipRect(bar);
    painter.drawText(area, Qt::AlignCenter, text);
}
