#include "core/trial/MessageChanges.h"

#include <QList>
#include <QRegularExpression>

#include <algorithm>

namespace {

struct Parts
{
    QList<QByteArray> fields; // whole fields, continuation lines included
    QByteArray body;
};

Parts Split(QByteArray text)
{
    text.replace("\r\n", "\n");
    if (text.startsWith("From ")) {
        const qsizetype end = text.indexOf('\n');
        text = end < 0 ? QByteArray() : text.mid(end + 1);
    }
    Parts parts;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf('\n', pos);
        if (end < 0)
            end = text.size();
        const QByteArray line = text.mid(pos, end - pos);
        pos = end + 1;
        if (line.isEmpty())
            break;
        if ((line.startsWith(' ') || line.startsWith('\t')) && !parts.fields.isEmpty())
            parts.fields.last() += '\n' + line;
        else
            parts.fields << line;
    }
    parts.body = pos < text.size() ? text.mid(pos) : QByteArray();
    static const QRegularExpression quoted(
        QStringLiteral("^>+(?=From )"), QRegularExpression::MultilineOption);
    parts.body = QString::fromLatin1(parts.body).remove(quoted).toLatin1();
    while (parts.body.endsWith('\n'))
        parts.body.chop(1);
    return parts;
}

QByteArray Name(const QByteArray& field)
{
    return field.left(field.indexOf(':')).trimmed().toLower();
}

QString Shown(const QByteArray& field)
{
    return QString::fromUtf8(field).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

} // namespace

QStringList MessageChanges(const QByteArray& given, const QByteArray& delivered)
{
    const Parts before = Split(given);
    const Parts after = Split(delivered);
    QList<QByteArray> removed = before.fields;
    QList<QByteArray> added;
    for (const QByteArray& field : after.fields)
        if (!removed.removeOne(field))
            added << field;

    QStringList changes;
    // A field that went and came back under the same name, once on each side, was changed.
    for (qsizetype i = 0; i < removed.size();) {
        const QByteArray name = Name(removed[i]);
        const auto sameName = [&name](const QByteArray& f) { return Name(f) == name; };
        if (std::count_if(removed.cbegin(), removed.cend(), sameName) == 1
            && std::count_if(added.cbegin(), added.cend(), sameName) == 1) {
            const qsizetype j = std::find_if(added.cbegin(), added.cend(), sameName) - added.cbegin();
            changes << QStringLiteral("Changed header: %1 -> %2").arg(Shown(removed[i]), Shown(added[j]));
            removed.removeAt(i);
            added.removeAt(j);
        } else {
            ++i;
        }
    }
    for (const QByteArray& field : std::as_const(removed))
        changes << QStringLiteral("Removed header: %1").arg(Shown(field));
    for (const QByteArray& field : std::as_const(added))
        changes << QStringLiteral("Added header: %1").arg(Shown(field));
    if (before.body != after.body)
        changes << QStringLiteral("Changed the body");
    return changes;
}
