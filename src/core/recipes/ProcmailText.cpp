#include "core/recipes/ProcmailText.h"

#include <QList>

namespace ProcmailText {

QByteArray RegexEscape(const QByteArray& text)
{
    static const QByteArray special("\\^$*+?()[]{}|");
    QByteArray out;
    out.reserve(text.size() * 2);
    for (char c : text) {
        if (special.contains(c))
            out.append('\\');
        out.append(c);
    }
    return out;
}

QByteArray EscapeInDoubleQuotes(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    for (char c : text) {
        if (c == '\\' || c == '"' || c == '$' || c == '`')
            out.append('\\');
        out.append(c);
    }
    return out;
}

QByteArray QuoteInDoubleQuotes(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = text.at(i);
        if (c == '\\') {
            if (i + 1 == size) {
                out.append("\\\\");
            } else {
                // Inside double quotes the shell and procmail read \x literally unless x is one of
                // these four; either way the pair passes unchanged.
                out.append(c);
                const char next = text.at(i + 1);
                if (next == '\\' || next == '"' || next == '$' || next == '`') {
                    out.append(next);
                    ++i;
                }
            }
        } else {
            if (c == '"' || c == '$' || c == '`')
                out.append('\\');
            out.append(c);
        }
    }
    return out;
}

QByteArray QuoteSedPattern(const QByteArray& text)
{
    static const QByteArray quote("'\\''");
    QByteArray out;
    out.reserve(text.size() * 2);
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = text.at(i);
        if (c == '\\') {
            if (i + 1 == size) {
                out.append("\\\\");
            } else if (text.at(i + 1) == '\'') {
                // GNU sed reads \' as "end of text"; the user meant the quote itself.
                out.append(quote);
                ++i;
            } else {
                out.append(c);
                out.append(text.at(i + 1));
                ++i;
            }
        } else if (c == '\'') {
            out.append(quote);
        } else {
            if (c == '/')
                out.append('\\');
            out.append(c);
        }
    }
    return out;
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

} // namespace ProcmailText
