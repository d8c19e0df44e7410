#include "gui/common/CColourPopup.h"

#include <QApplication>
#include <QColorDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

namespace {
QColor (*s_chooser)(const QColor&) = nullptr;
constexpr int Columns = 8;
constexpr int Count = 40;
constexpr int Automatic = -1;
constexpr int Custom = 40;
constexpr int Nothing = -2;
} // namespace

const QList<CColourPopup::NamedColour>& CColourPopup::Palette()
{
    static const QList<NamedColour> colours = {
        { "Black", 0, 0, 0 },
        { "Brown", 165, 42, 0 },
        { "Dark Olive Green", 0, 64, 64 },
        { "Dark Green", 0, 85, 0 },
        { "Dark Teal", 0, 0, 94 },
        { "Dark blue", 0, 0, 139 },
        { "Indigo", 75, 0, 130 },
        { "Dark grey", 40, 40, 40 },
        { "Dark red", 139, 0, 0 },
        { "Orange", 255, 104, 32 },
        { "Dark yellow", 139, 139, 0 },
        { "Green", 0, 147, 0 },
        { "Teal", 56, 142, 142 },
        { "Blue", 0, 0, 255 },
        { "Blue-grey", 123, 123, 192 },
        { "Grey - 40", 102, 102, 102 },
        { "Red", 255, 0, 0 },
        { "Light orange", 255, 173, 91 },
        { "Lime", 50, 205, 50 },
        { "Sea green", 60, 179, 113 },
        { "Aqua", 127, 255, 212 },
        { "Light blue", 125, 158, 192 },
        { "Violet", 128, 0, 128 },
        { "Grey - 50", 127, 127, 127 },
        { "Pink", 255, 192, 203 },
        { "Gold", 255, 215, 0 },
        { "Yellow", 255, 255, 0 },
        { "Bright green", 0, 255, 0 },
        { "Turquoise", 64, 224, 208 },
        { "Skyblue", 192, 255, 255 },
        { "Plum", 72, 0, 72 },
        { "Light grey", 192, 192, 192 },
        { "Rose", 255, 228, 225 },
        { "Tan", 210, 180, 140 },
        { "Light yellow", 255, 255, 224 },
        { "Pale green ", 152, 251, 152 },
        { "Pale turquoise", 175, 238, 238 },
        { "Pale blue", 104, 131, 139 },
        { "Lavender", 230, 230, 250 },
        { "White", 255, 255, 255 },
    };
    return colours;
}

void CColourPopup::SetCustomColourChooser(QColor (*chooser)(const QColor&))
{
    s_chooser = chooser;
}

CColourPopup::CColourPopup(const QPoint& at, quint32 current, const QString& automaticText,
    const QString& customText, QWidget* owner)
    : QWidget(owner, Qt::Popup)
    , m_initial(current)
    , m_automaticText(automaticText)
    , m_customText(customText)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    m_margin = 2;
    m_cell = qMax(18, 2 * m_margin + 7);
    m_entryHeight = fontMetrics().height() + 4 * m_margin + 2;
    int width = Columns * m_cell + 2 * m_margin;
    for (const QString& text : { automaticText, customText }) {
        if (!text.isEmpty())
            width = qMax(width, fontMetrics().horizontalAdvance(text) + 4 * m_margin);
    }
    int height = 5 * m_cell + 2 * m_margin;
    if (!automaticText.isEmpty())
        height += m_entryHeight + 2 * m_margin;
    if (!customText.isEmpty())
        height += m_entryHeight + 2 * m_margin;
    resize(width, height);

    // The current entry: automatic, the first cell of that colour, or the custom entry.
    if (current == AutomaticColour && !automaticText.isEmpty()) {
        m_current = Automatic;
    } else {
        m_current = customText.isEmpty() ? Nothing : Custom;
        for (int i = 0; i < Count; ++i) {
            if (colourOf(i) == current) {
                m_current = i;
                break;
            }
        }
    }
    QPoint position = at;
    if (QScreen* screen = QApplication::screenAt(at)) {
        const QRect area = screen->availableGeometry();
        if (position.x() + width > area.right())
            position.setX(area.right() - width);
        if (position.x() < area.left())
            position.setX(area.left());
        if (position.y() + height > area.bottom())
            position.setY(at.y() - height - (owner ? owner->height() : 0));
    }
    move(position);
}

QRect CColourPopup::automaticRect() const
{
    return m_automaticText.isEmpty() ? QRect()
                                     : QRect(m_margin, m_margin, width() - 2 * m_margin, m_entryHeight);
}

QRect CColourPopup::cellRect(int index) const
{
    const int top = m_margin + (m_automaticText.isEmpty() ? 0 : m_entryHeight + 2 * m_margin);
    const int left = (width() - Columns * m_cell) / 2;
    return QRect(left + (index % Columns) * m_cell, top + (index / Columns) * m_cell, m_cell, m_cell);
}

QRect CColourPopup::customRect() const
{
    if (m_customText.isEmpty())
        return QRect();
    const int top = cellRect(Count - 1).bottom() + 1 + 2 * m_margin;
    return QRect(m_margin, top, width() - 2 * m_margin, m_entryHeight);
}

int CColourPopup::entryAt(const QPoint& point) const
{
    if (automaticRect().contains(point))
        return Automatic;
    if (customRect().contains(point))
        return Custom;
    for (int i = 0; i < Count; ++i) {
        if (cellRect(i).contains(point))
            return i;
    }
    return Nothing;
}

quint32 CColourPopup::colourOf(int entry) const
{
    if (entry == Automatic)
        return AutomaticColour;
    if (entry >= 0 && entry < Count) {
        const NamedColour& c = Palette()[entry];
        return quint32(c.red) << 16 | quint32(c.green) << 8 | quint32(c.blue);
    }
    return m_initial;
}

void CColourPopup::setHighlight(int entry)
{
    if (entry == m_highlight)
        return;
    m_highlight = entry;
    update();
    if (entry >= 0 && entry < Count)
        setToolTip(QString::fromLatin1(Palette()[entry].name));
    if (entry != Nothing)
        emit ColourChanged(colourOf(entry));
}

void CColourPopup::MoveHighlight(int key)
{
    const bool hasAutomatic = !m_automaticText.isEmpty();
    const bool hasCustom = !m_customText.isEmpty();
    int entry = m_highlight == Nothing ? (m_current == Nothing ? 0 : m_current) : m_highlight;
    if (m_highlight == Nothing) {
        setHighlight(entry);
        return;
    }
    auto pastEnd = [&] { return hasCustom ? Custom : (hasAutomatic ? Automatic : 0); };
    auto beforeStart = [&] { return hasAutomatic ? Automatic : (hasCustom ? Custom : Count - 1); };
    switch (key) {
    case Qt::Key_Right:
        entry = entry == Automatic ? 0
            : entry == Custom      ? beforeStart()
                                   : (entry + 1 < Count ? entry + 1 : pastEnd());
        break;
    case Qt::Key_Left:
        entry = entry == Automatic ? pastEnd() == Automatic ? Count - 1 : pastEnd()
            : entry == Custom ? Count - 1
                                   : (entry > 0 ? entry - 1 : beforeStart());
        break;
    case Qt::Key_Down:
        entry = entry == Automatic ? 0
            : entry == Custom      ? beforeStart()
                                   : (entry + Columns < Count ? entry + Columns : pastEnd());
        break;
    case Qt::Key_Up:
        entry = entry == Custom  ? Count - Columns
            : entry == Automatic ? pastEnd()
                                 : (entry - Columns >= 0 ? entry - Columns : beforeStart());
        break;
    default:
        return;
    }
    setHighlight(entry);
}

void CColourPopup::AcceptHighlight()
{
    if (m_highlight == Custom) {
        const QColor start
            = m_initial == AutomaticColour ? QColor(Qt::black) : QColor(QRgb(0xFF000000u | m_initial));
        const QColor chosen = s_chooser ? s_chooser(start) : QColorDialog::getColor(start, parentWidget());
        if (!chosen.isValid()) {
            finish(false, m_initial);
            return;
        }
        finish(true, quint32(chosen.rgb()) & 0xFFFFFFu);
        return;
    }
    finish(true, m_highlight == Nothing ? m_initial : colourOf(m_highlight));
}

void CColourPopup::Cancel()
{
    finish(false, m_initial);
}

void CColourPopup::finish(bool accepted, quint32 colour)
{
    if (m_finished)
        return;
    m_finished = true;
    if (accepted)
        emit ColourAccepted(colour);
    else
        emit ColourCancelled(colour);
    close();
}

void CColourPopup::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette palette = QApplication::palette();
    painter.fillRect(rect(), palette.color(QPalette::Button));
    auto drawEntryFrame = [&](const QRect& r, int entry) {
        if (entry == m_highlight) {
            painter.setPen(palette.color(QPalette::Light));
            painter.drawRect(r.adjusted(0, 0, -1, -1));
        } else if (entry == m_current) {
            painter.fillRect(r, palette.color(QPalette::Midlight));
            painter.setPen(palette.color(QPalette::Dark));
            painter.drawRect(r.adjusted(0, 0, -1, -1));
        }
    };
    if (!m_automaticText.isEmpty()) {
        drawEntryFrame(automaticRect(), Automatic);
        painter.setPen(palette.color(QPalette::Dark));
        painter.drawRect(
            automaticRect().adjusted(2 * m_margin, 2 * m_margin, -2 * m_margin - 1, -2 * m_margin - 1));
        painter.setPen(palette.color(QPalette::ButtonText));
        painter.drawText(automaticRect(), Qt::AlignCenter, m_automaticText);
    }
    for (int i = 0; i < Count; ++i) {
        const QRect r = cellRect(i);
        drawEntryFrame(r, i);
        const QRect swatch = r.adjusted(m_margin + 1, m_margin + 1, -m_margin - 1, -m_margin - 1);
        const NamedColour& c = Palette()[i];
        painter.fillRect(swatch, QColor(c.red, c.green, c.blue));
        painter.setPen(palette.color(QPalette::Dark));
        painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    }
    if (!m_customText.isEmpty()) {
        const QRect r = customRect();
        painter.setPen(palette.color(QPalette::Dark));
        painter.drawLine(
            r.left() + 2 * m_margin, r.top() - m_margin, r.right() - 2 * m_margin, r.top() - m_margin);
        painter.setPen(palette.color(QPalette::Light));
        painter.drawLine(r.left() + 2 * m_margin, r.top() - m_margin + 1, r.right() - 2 * m_margin,
            r.top() - m_margin + 1);
        drawEntryFrame(r, Custom);
        painter.setPen(palette.color(QPalette::ButtonText));
        painter.drawText(r, Qt::AlignCenter, m_customText);
    }
    painter.setPen(palette.color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CColourPopup::mouseMoveEvent(QMouseEvent* event)
{
    const int entry = entryAt(event->position().toPoint());
    if (entry != Nothing)
        setHighlight(entry);
}

void CColourPopup::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (rect().contains(event->position().toPoint()))
        AcceptHighlight();
    else
        Cancel();
}

void CColourPopup::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        MoveHighlight(event->key());
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        AcceptHighlight();
        break;
    case Qt::Key_Escape:
        Cancel();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CColourPopup::closeEvent(QCloseEvent* event)
{
    // Closed from outside (a click elsewhere): the owner keeps the colour it had.
    if (!m_finished) {
        m_finished = true;
        emit ColourCancelled(m_initial);
    }
    QWidget::closeEvent(event);
}
