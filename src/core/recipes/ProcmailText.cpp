#include "core/recipes/ProcmailText.h"

#include <QList>

namespace ProcmailText {

namespace {

    // The characters that a backslash protects inside a double-quoted procmail or shell word.
    const QByteArray DoubleQuoteSpecial("\\\"$`");

    QByteArray EscapeEach(const QByteArray& text, const QByteArray& special)
    {
        QByteArray out;
        out.reserve(text.size() * 2);
        for (char c : text) {
            if (special.contains(c))
                out.append('\\');
            out.append(c);
        }
        return out;
    }

    // Keeps every escape pair the user wrote, except those whose second character `unescaped` lists:
    // such a pair counts as the plain character. A lone backslash at the end is doubled so that it
    // cannot escape what the generator writes after the value. `plain` writes every other character.
    template <typename Plain>
    QByteArray KeepEscapePairs(const QByteArray& text, const QByteArray& unescaped, Plain plain)
    {
        QByteArray out;
        out.reserve(text.size() * 2);
        const qsizetype size = text.size();
        for (qsizetype i = 0; i < size; ++i) {
            char c = text.at(i);
            if (c == '\\') {
                if (i + 1 == size) {
                    out.append("\\\\");
                    break;
                }
                c = text.at(++i);
                if (!unescaped.contains(c)) {
                    out.append('\\');
                    out.append(c);
                    continue;
                }
            }
            plain(c, &out);
        }
        return out;
    }

} // namespace

QByteArray RegexEscape(const QByteArray& text)
{
    return EscapeEach(text, QByteArray("\\^$*+?()[]{}|"));
}

QByteArray EscapeInDoubleQuotes(const QByteArray& text)
{
    return EscapeEach(text, DoubleQuoteSpecial);
}

QByteArray QuoteInDoubleQuotes(const QByteArray& text)
{
    // Inside double quotes the shell and procmail read \x literally unless x is one of the special
    // four; either way the pair passes unchanged.
    return KeepEscapePairs(text, QByteArray(), [](char c, QByteArray* out) {
        if (DoubleQuoteSpecial.contains(c))
            out->append('\\');
        out->append(c);
    });
}

QByteArray QuoteSedPattern(const QByteArray& text)
{
    // GNU sed reads \' as "end of text"; the user meant the quote itself.
    return KeepEscapePairs(text, QByteArray("'"), [](char c, QByteArray* out) {
        if (c == '\'') {
            out->append("'\\''");
            return;
        }
        if (c == '/')
            out->append('\\');
        out->append(c);
    });
}

QByteArray NormaliseLines(const QByteArray& text)
{
    // Any line break counts as one; a line of blanks is an empty line.
    QList<QByteArray> lines;
    QByteArray current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '\r' || c == '\n') {
            lines.append(current);
            current.clear();
            if (c == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n')
                ++i;
        } else {
            current.append(c);
        }
    }
    lines.append(current);
    QByteArray e;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines.at(i);
        bool blank = true;
        for (char c : line) {
            if (c != ' ' && c != '\t')
                blank = false;
        }
        if (blank)
            line.clear();
        if (i > 0)
            e.append("\r\n");
        e.append(line);
    }
    while (e.contains("\r\n\r\n"))
        e.replace("\r\n\r\n", "\r\n");
    if (e.size() > 1 && e.startsWith("\r\n"))
        e.remove(0, 2);
    if (e.size() > 1 && e.endsWith("\r\n"))
        e.chop(2);
    return e;
}

QByteArray WrapList(
    const QByteArray& items, qsizetype width, const QByteArray& separator, const QByteArray& indent)
{
    QByteArray rest = items;
    QByteArray out;
    while (rest.size() > width) {
        qsizetype cut = rest.left(width).lastIndexOf('\r');
        if (cut < 0)
            cut = rest.indexOf('\r');
        if (cut < 0)
            break;
        QByteArray line = rest.left(cut);
        line.replace("\r\n", separator);
        out += line + separator + "\\\n" + indent;
        rest = rest.mid(cut + 2);
    }
    rest.replace("\r\n", separator);
    return out + rest;
}

} // namespace ProcmailText
