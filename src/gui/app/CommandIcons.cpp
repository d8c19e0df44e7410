#include "gui/app/CommandIcons.h"

#include "gui/app/CommandTable.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace {

// A simple drawn glyph for commands that have no standard image.
QIcon glyph(const QString& letters, const QColor& colour)
{
    QPixmap pixmap(32, 30);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(colour.darker(140));
    painter.drawRoundedRect(QRectF(1, 1, 30, 28), 6, 6);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(letters.size() > 1 ? 14 : 20);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 32, 30), Qt::AlignCenter, letters);
    return QIcon(pixmap);
}

} // namespace

QIcon CommandIcon(int id)
{
    QStyle* style = QApplication::style();
    switch (id) {
    case Cmd::New:
        return style->standardIcon(QStyle::SP_FileIcon);
    case Cmd::Open:
        return style->standardIcon(QStyle::SP_DialogOpenButton);
    case Cmd::Save:
        return style->standardIcon(QStyle::SP_DialogSaveButton);
    case Cmd::Cut:
        return glyph(QStringLiteral("X"), QColor(160, 60, 60));
    case Cmd::Copy:
        return glyph(QStringLiteral("C"), QColor(60, 100, 160));
    case Cmd::Paste:
        return glyph(QStringLiteral("P"), QColor(60, 130, 90));
    case Cmd::NewRecipe:
        return glyph(QStringLiteral("W"), QColor(150, 90, 30));
    case Cmd::PositionEdit:
        return glyph(QStringLiteral("PE"), QColor(110, 70, 140));
    case Cmd::LogDownload:
        return glyph(QStringLiteral("L"), QColor(40, 120, 140));
    case Cmd::PendingFiles:
        return style->standardIcon(QStyle::SP_ArrowUp);
    case Cmd::HelpContents:
        return style->standardIcon(QStyle::SP_DialogHelpButton);
    case Cmd::Find:
        return glyph(QStringLiteral("F"), QColor(90, 90, 90));
    case Cmd::Print:
        return glyph(QStringLiteral("Pr"), QColor(90, 90, 90));
    default:
        return QIcon();
    }
}
