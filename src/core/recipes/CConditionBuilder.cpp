#include "core/recipes/CConditionBuilder.h"

#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/ProcmailText.h"

#include <QRegularExpression>

const QByteArray CConditionBuilder::HeadFlagsPoint("__777__ZEPH_LOCKFILE_\r\r\n\n_POSITION_MARKER____\n");
const QByteArray CConditionBuilder::BodyPoint("__777__ZEPH_BODY_\r\r\n\n_POSITION_MARKER____\n");
const QByteArray CConditionBuilder::HeaderEditPoint("__777_ZEPH_FORMAIL_\r\r\n\n_HDRS_MARKER____\n");

namespace {

// procmail joins a line that ends in a backslash with the next one; a line of entries that ends
// in an odd number of backslashes gets one more, so it matches a backslash.
QByteArray EvenTrailingBackslashes(const QByteArray& normalised)
{
    QList<QByteArray> lines = normalised.split('\n');
    for (QByteArray& line : lines) {
        const bool cr = line.endsWith('\r');
        if (cr)
            line.chop(1);
        qsizetype count = 0;
        while (count < line.size() && line.at(line.size() - 1 - count) == '\\')
            ++count;
        if (count % 2 == 1)
            line.append('\\');
        if (cr)
            line.append('\r');
    }
    return lines.join('\n');
}

QByteArray HeaderPrefix(const CRecipeCondition& c)
{
    if (c.field == CRecipeCondition::AnyHeader)
        return QByteArray();
    if (c.field == CRecipeCondition::To && c.HeaderName().isEmpty())
        return "# UNEXPECTED ERROR!";
    return "^" + c.HeaderName();
}

// With nothing before it, procmail reads a leading !, ?, <, >, $, \ or "name ??" of a condition
// as an operator; a backslash in front makes it plain text.
QByteArray QuoteLeadingOperator(const QByteArray& j)
{
    qsizetype first = 0;
    while (first < j.size() && (j.at(first) == ' ' || j.at(first) == '\t'))
        ++first;
    if (first >= j.size())
        return j;
    const char c = j.at(first);
    bool quote = QByteArray("!?<>$\\").contains(c);
    if (!quote) {
        static const QRegularExpression variableTest(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*[ \\t]*\\?\\?"));
        quote = variableTest.match(QString::fromLatin1(j.mid(first))).hasMatch();
    }
    if (!quote)
        return j;
    QByteArray out = j;
    out.insert(first, '\\');
    return out;
}

QByteArray HeaderConditionLine(const CRecipeDefinition& d, int k, bool negated)
{
    QByteArray line = negated ? "* ! " : "* ";
    const CConditionBuilder::Joined joined = CConditionBuilder::JoinEntries(d.GetEntries(k));
    QByteArray j = joined.regex;
    const QByteArray prefix = HeaderPrefix(d.Conditions().at(k));
    const int field = d.GetField(k);
    const bool alternation = field != 7 && j.contains('|');
    if (joined.several || alternation || j.endsWith('\\'))
        j = "(" + j + ")";
    if (prefix.isEmpty())
        j = QuoteLeadingOperator(j);
    if (prefix == "^TO" || prefix == "^TO_" || prefix.isEmpty()) {
        line += prefix + j;
    } else {
        line += prefix;
        if (!j.isEmpty())
            line += ".*";
        line += j;
    }
    line += "\n";
    return line;
}

} // namespace

CConditionBuilder::Joined CConditionBuilder::JoinEntries(const QByteArray& entries)
{
    const QByteArray e = EvenTrailingBackslashes(ProcmailText::NormaliseLines(entries));
    Joined result;
    result.regex = ProcmailText::WrapList(e, 70, "|", "\t");
    result.several = e.contains("\r\n");
    return result;
}

CConditionBuilder::Result CConditionBuilder::BuildConditions(
    const CRecipeDefinition& d, const QByteArray& point)
{
    Result r;
    r.text = ":0" + point;
    bool hasBody = false;
    bool allBody = true;

    auto bodyHandling = [&]() {
        if (!hasBody)
            return;
        if (allBody) {
            r.text.replace(point, "B" + point);
            r.text.replace(BodyPoint, QByteArray());
        } else {
            r.text.replace(BodyPoint, "B ?? ");
        }
    };

    const int n = d.GetConditionCount();
    for (int k = 0; k < n; ++k) {
        if (d.StartsOrGroup(k) && k > 0) {
            bodyHandling();
            hasBody = false;
            allBody = true;
            // A group that directly follows another one goes under the "E" head that the first
            // left: procmail chains those heads like else-if.
            if (!d.InOrGroup(k - 1)) {
                r.text.replace(point, "\n");
                r.text += "{\n";
                r.text += ":0" + point;
                r.nesting += 1;
            }
        }
        const bool negated = d.IsInverted(k) != d.InOrGroup(k);
        const int field = d.GetField(k);
        if ((field >= 0 && field <= 7) || field == 11) {
            r.text += HeaderConditionLine(d, k, negated);
            allBody = false;
        } else if (field == 8) {
            hasBody = true;
            r.text += negated ? "* ! " : "* ";
            r.text += BodyPoint;
            r.text += "(" + JoinEntries(d.GetEntries(k)).regex + ")\n";
        } else if (field == 9) {
            r.text += negated ? "* ! > " : "* > ";
            r.text += d.GetSize(k) + "\n";
            allBody = false;
        } else if (field == 10) {
            // every message: nothing to test
        } else {
            r.text = " # UNEXPECTED ERROR, DO NOT USE THIS FILTER! PLEASE START OVER.\n";
        }
        if (d.EndsOrGroup(k)) {
            bodyHandling();
            hasBody = false;
            allBody = true;
            r.text.replace(point, "\n");
            r.text += "{ }\n";
            r.text += ":0E" + point;
        }
    }
    bodyHandling();
    return r;
}
