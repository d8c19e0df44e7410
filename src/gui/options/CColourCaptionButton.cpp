#include "gui/options/CColourCaptionButton.h"

#include "gui/common/CColourPopup.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

CColourCaptionButton::CColourCaptionButton(const QString& caption, Role role, QWidget* parent)
    : QPushButton(caption, parent)
    , m_role(role)
{
    setAutoDefault(false);
    setMinimumHeight(28);
    connect(this, &QPushButton::clicked, this, &CColourCaptionButton::choose);
}

quint32 CColourCaptionButton::ToRgb(quint32 colourReference)
{
    if (colourReference == Automatic)
        return CColourPopup::AutomaticColour;
    return ((colourReference & 0xFF) << 16) | (colourReference & 0xFF00) | ((colourReference >> 16) & 0xFF);
}

quint32 CColourCaptionButton::FromRgb(quint32 rgb)
{
    if (rgb == CColourPopup::AutomaticColour)
        return Automatic;
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

void CColourCaptionButton::SetColour(quint32 colourReference)
{
    m_colour = colourReference;
    update();
}

void CColourCaptionButton::choose()
{
    auto* popup = new CColourPopup(mapToGlobal(QPoint(0, height())), ToRgb(m_colour),
        QStringLiteral("Automatic"), QStringLiteral("More Colours..."), this);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    connect(popup, &CColourPopup::ColourAccepted, this, [this](quint32 rgb) { SetColour(FromRgb(rgb)); });
    popup->show();
}

void CColourCaptionButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QColor chosen = QColor::fromRgb(ToRgb(m_colour) & 0xFFFFFF);
    if (m_role == BackgroundColour)
        option.palette.setColor(
            QPalette::Button, m_colour == Automatic ? palette().color(QPalette::Button) : chosen);
    else
        option.palette.setColor(QPalette::ButtonText, m_colour == Automatic ? QColor(Qt::black) : chosen);
    painter.drawControl(QStyle::CE_PushButton, option);
}
