#include "gui/editor/EditorTextOps.h"

#include <QList>

namespace EditorTextOps {

QString EffectiveCommentString(const QString& stored)
{
    return stored.isEmpty() ? QStringLiteral("# ") : stored;
}

QString Comment(const QString& selected, bool atLineStart, const QString& prefix)
{
    QString text = selected;
    if (atLineStart)
        text.prepend(prefix);
    text.replace(QLatin1Char('\n'), QLatin1Char('\n') + prefix);
    // A selection that ends at a line start leaves that next line alone.
    if (text.endsWith(QLatin1Char('\n') + prefix))
        text.chop(prefix.size());
    return text;
}

QString Uncomment(const QString& selected, bool atLineStart, const QString& prefix)
{
    QString text = selected;
    if (atLineStart && text.startsWith(prefix))
        text.remove(0, prefix.size());
    text.replace(QLatin1Char('\n') + prefix, QStringLiteral("\n"));
    return text;
}

QString HardWrap(const QString& text, int column)
{
    if (column < 1)
        column = 1;
    QStringList lines = text.split(QLatin1Char('\n'));
    // The empty piece after a final line break is not a line of its own.
    if (text.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    QString result;
    result.reserve(text.size() + text.size() / qMax(1, column) + 16);
    for (const QString& line : std::as_const(lines)) {
        QString rest = line;
        while (rest.size() > column) {
            const qsizetype blank = rest.left(column).lastIndexOf(QLatin1Char(' '));
            if (blank >= 0) {
                result += rest.left(blank) + QLatin1Char('\n');
                rest = rest.mid(blank + 1);
            } else {
                result += rest.left(column) + QLatin1Char('\n');
                rest = rest.mid(column);
            }
        }
        result += rest + QLatin1Char('\n');
    }
    return result;
}

} // namespace EditorTextOps
