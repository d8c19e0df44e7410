#include "gui/common/CMessageLine.h"

#include <QApplication>

CMessageLine::CMessageLine(QWidget* parent, const QString& text)
    : QLabel(text, parent)
{
    QFont bold = font();
    bold.setWeight(QFont::Bold);
    setFont(bold);
    setWordWrap(true);
    setAutoFillBackground(true);
    setMargin(4);
    applyColours();
}

void CMessageLine::SetTextColour(const QColor& colour)
{
    m_text = colour.isValid() ? colour : QApplication::palette().color(QPalette::ButtonText);
    applyColours();
}

void CMessageLine::SetBackgroundColour(const QColor& colour)
{
    m_background = colour.isValid() ? colour : QApplication::palette().color(QPalette::Button);
    applyColours();
}

void CMessageLine::applyColours()
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, m_text);
    palette.setColor(QPalette::Window, m_background);
    setPalette(palette);
    update();
}
