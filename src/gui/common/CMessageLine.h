#pragma once

#include <QColor>
#include <QLabel>

// The coloured prompt or status line of many dialogs: bold text on light yellow by default.
class CMessageLine : public QLabel
{
    Q_OBJECT

public:
    explicit CMessageLine(QWidget* parent = nullptr, const QString& text = QString());

    // A colour, or an invalid colour for the system's button-text (text) or button-face (background).
    void SetTextColour(const QColor& colour);
    void SetBackgroundColour(const QColor& colour);
    QColor TextColour() const { return m_text; }
    QColor BackgroundColour() const { return m_background; }

private:
    void applyColours();

    QColor m_text { Qt::black };
    QColor m_background { 255, 255, 210 };
};
