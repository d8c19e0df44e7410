#include "gui/app/CMdiArea.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QResizeEvent>

CMdiArea::CMdiArea(QWidget* parent)
    : QMdiArea(parent)
{
    setBackground(QColor(58, 110, 165));
}

void CMdiArea::paintEvent(QPaintEvent* event)
{
    QMdiArea::paintEvent(event);
    QPainter painter(viewport());
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(18);
    font.setBold(true);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int average = metrics.averageCharWidth();
    const QString name = QStringLiteral("ZEPH");
    const int textWidth = metrics.horizontalAdvance(name);
    const QRect area = viewport()->rect();
    const QRect box(area.right() - average / 2 - textWidth,
        area.bottom() - metrics.height() / 5 - metrics.height(), textWidth, metrics.height());
    const int shift = average / 5;
    painter.setPen(Qt::black);
    painter.drawText(box.translated(shift, 0), Qt::AlignCenter | Qt::TextSingleLine, name);
    painter.setPen(Qt::white);
    painter.drawText(box.translated(-shift, 0), Qt::AlignCenter | Qt::TextSingleLine, name);
    painter.setPen(QApplication::palette().color(QPalette::Button));
    painter.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, name);
}

void CMdiArea::resizeEvent(QResizeEvent* event)
{
    QMdiArea::resizeEvent(event);
    // The name follows the corner: repaint the whole area, not only the uncovered strip.
    viewport()->update();
}
