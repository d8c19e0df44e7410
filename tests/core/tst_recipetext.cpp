// Condition text, recipe text, summary and block of recipe definitions, byte for byte.
#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CConditionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/CRecipeDefinitionJson.h"
#include "core/recipes/CRecipeFile.h"
#include "core/recipes/CRecipeSummary.h"
#include "core/recipes/ProcmailText.h"

#include <QTest>

namespace {

CRecipeDefinition FromJson(const QByteArray& json, RecipeTextSettings* settings = nullptr)
{
    CRecipeDefinition d;
    RecipeTextSettings s;
    QString error;
    if (!CRecipeDefinitionJson::FromJson(json, &d, &s, &error))
        qFatal("bad test definition: %s", qPrintable(error));
    if (settings)
        *settings = s;
    return d;
}

QByteArray Json(const QByteArray& conditions, const QByteArray& actions = R"([{"type": 9}])",
    const QByteArray& more = QByteArray())
{
    return "{\"name\": \"Spam\", \"conditions\": " + conditions + ", \"actions\": " + actions + more + "}";
}

using C = CRecipeCondition;

CRecipeCondition Condition(int field, const QByteArray& entries, int join = C::JoinNone, bool invert = false)
{
    CRecipeCondition c;
    c.field = field;
    c.entries = entries;
    c.join = join;
    c.invert = invert ? 1 : 0;
    return c;
}

const QByteArray P = "<P>";

// The recipe text of the row's definition ("json", with its settings) against the row's "text".
void CompareRecipeText()
{
    QFETCH(QByteArray, json);
    QFETCH(QByteArray, text);
    RecipeTextSettings settings;
    const CRecipeDefinition d = FromJson(json, &settings);
    QCOMPARE(CActionBuilder::BuildRecipeText(d, settings), text);
}

} // namespace

class TestRecipeText : public QObject
{
    Q_OBJECT

private slots:
    void conditions_data()
    {
        QTest::addColumn<QList<CRecipeCondition>>("conditions");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("nesting");

        QTest::newRow("one From condition") << QList<CRecipeCondition> { Condition(C::From, "joe") }
                                            << QByteArray(":0<P>* ^From:.*joe\n") << 0;
        QTest::newRow("blank lines between entries")
            << QList<CRecipeCondition> { Condition(C::Subject, "a\r\n\r\n\r\nb") }
            << QByteArray(":0<P>* ^Subject:.*(a|b)\n") << 0;
        CRecipeCondition toMacro = Condition(C::To, "joe");
        toMacro.toKind = C::ToMacro;
        QTest::newRow("TO macro") << QList<CRecipeCondition> { toMacro } << QByteArray(":0<P>* ^TOjoe\n")
                                  << 0;
        CRecipeCondition toUnderscore = Condition(C::To, "joe");
        toUnderscore.toKind = C::ToUnderscoreMacro;
        QTest::newRow("TO_ macro") << QList<CRecipeCondition> { toUnderscore }
                                   << QByteArray(":0<P>* ^TO_joe\n") << 0;
        CRecipeCondition unknownTo = Condition(C::To, "joe");
        unknownTo.toKind = C::ToUnderscoreMacro + 1; // no such kind
        QTest::newRow("unknown To kind")
            << QList<CRecipeCondition> { unknownTo } << QByteArray(":0<P>* # UNEXPECTED ERROR!.*joe\n") << 0;
        CRecipeCondition custom = Condition(C::CustomHeader, "x");
        custom.customHeader = "X-List:";
        QTest::newRow("custom header")
            << QList<CRecipeCondition> { custom } << QByteArray(":0<P>* ^X-List:.*x\n") << 0;
        QTest::newRow("Reply-To header") << QList<CRecipeCondition> { Condition(C::ReplyTo, "x") }
                                         << QByteArray(":0<P>* ^Reply-To:.*x\n") << 0;
        QTest::newRow("To header") << QList<CRecipeCondition> { Condition(C::To, "joe") }
                                   << QByteArray(":0<P>* ^To:.*joe\n") << 0;
        QTest::newRow("Subject without entries")
            << QList<CRecipeCondition> { Condition(C::Subject, "") } << QByteArray(":0<P>* ^Subject:\n") << 0;
        CRecipeCondition size = Condition(C::Size, "", C::JoinNone, true);
        size.size = "102400";
        QTest::newRow("inverted size")
            << QList<CRecipeCondition> { size } << QByteArray(":0<P>* ! > 102400\n") << 0;
        QTest::newRow("body alone") << QList<CRecipeCondition> { Condition(C::Body, "Dear friend") }
                                    << QByteArray(":0B<P>* (Dear friend)\n") << 0;
        QTest::newRow("body after a header condition")
            << QList<CRecipeCondition> { Condition(C::From, "joe", C::JoinAnd),
                   Condition(C::Body, "Dear friend") }
            << QByteArray(":0<P>* ^From:.*joe\n* B ?? (Dear friend)\n") << 0;
        QTest::newRow("inverted condition inside an OR group")
            << QList<CRecipeCondition> { Condition(C::Subject, "x", C::JoinOr, true),
                   Condition(C::Subject, "y") }
            << QByteArray(":0\n* ^Subject:.*x\n* ! ^Subject:.*y\n{ }\n:0E<P>") << 0;
        QTest::newRow("first condition OR-ed with the second")
            << QList<CRecipeCondition> { Condition(C::Subject, "x", C::JoinOr), Condition(C::Subject, "y") }
            << QByteArray(":0\n* ! ^Subject:.*x\n* ! ^Subject:.*y\n{ }\n:0E<P>") << 0;
        QTest::newRow("AND, OR group, AND")
            << QList<CRecipeCondition> { Condition(C::From, "joe", C::JoinAnd),
                   Condition(C::Subject, "x", C::JoinOr), Condition(C::Subject, "y", C::JoinAnd),
                   Condition(C::To, "z") }
            << QByteArray(
                   ":0\n* ^From:.*joe\n{\n:0\n* ! ^Subject:.*x\n* ! ^Subject:.*y\n{ }\n:0E<P>* ^To:.*z\n")
            << 1;
        QTest::newRow("OR group right after another")
            << QList<CRecipeCondition> { Condition(C::Subject, "a", C::JoinOr),
                   Condition(C::Subject, "b", C::JoinAnd), Condition(C::From, "c", C::JoinOr),
                   Condition(C::From, "d") }
            << QByteArray(":0\n* ! ^Subject:.*a\n* ! ^Subject:.*b\n{ }\n:0E\n* ! ^From:.*c\n* ! ^From:.*d\n{ "
                          "}\n:0E<P>")
            << 0;
        QTest::newRow("OR group of bodies")
            << QList<CRecipeCondition> { Condition(C::From, "joe", C::JoinAnd),
                   Condition(C::Body, "a", C::JoinOr), Condition(C::Body, "b") }
            << QByteArray(":0\n* ^From:.*joe\n{\n:0B\n* ! (a)\n* ! (b)\n{ }\n:0E<P>") << 1;
        QTest::newRow("line breaks of any kind")
            << QList<CRecipeCondition> { Condition(C::Subject, "a\nb\rc\r\n \t \r\nd") }
            << QByteArray(":0<P>* ^Subject:.*(a|b|c|d)\n") << 0;
        QTest::newRow("alternation inside one entry")
            << QList<CRecipeCondition> { Condition(C::Subject, "cheap|viagra") }
            << QByteArray(":0<P>* ^Subject:.*(cheap|viagra)\n") << 0;
        QTest::newRow("entry ending in a backslash")
            << QList<CRecipeCondition> { Condition(C::Subject, "C:\\") }
            << QByteArray(":0<P>* ^Subject:.*(C:\\\\)\n") << 0;
        QTest::newRow("entry ending in two backslashes")
            << QList<CRecipeCondition> { Condition(C::Subject, "C:\\\\") }
            << QByteArray(":0<P>* ^Subject:.*(C:\\\\)\n") << 0;
        QTest::newRow("leading operator in the headers")
            << QList<CRecipeCondition> { Condition(C::AnyHeader, "!important") }
            << QByteArray(":0<P>* \\!important\n") << 0;
        QTest::newRow("variable test in the headers")
            << QList<CRecipeCondition> { Condition(C::AnyHeader, "  HOME ?? x") }
            << QByteArray(":0<P>*   \\HOME ?? x\n") << 0;
        QTest::newRow("leading operator elsewhere stays")
            << QList<CRecipeCondition> { Condition(C::Subject, "!x") } << QByteArray(":0<P>* ^Subject:.*!x\n")
            << 0;
        QTest::newRow("unknown field")
            << QList<CRecipeCondition> { Condition(C::From, "a", C::JoinAnd),
                   Condition(C::CustomHeader + 3, "b") /* no such field */ }
            << QByteArray(" # UNEXPECTED ERROR, DO NOT USE THIS FILTER! PLEASE START OVER.\n") << 0;
    }

    void conditions()
    {
        QFETCH(QList<CRecipeCondition>, conditions);
        QFETCH(QByteArray, text);
        QFETCH(int, nesting);
        CRecipeDefinition d;
        d.Conditions() = conditions;
        const CConditionBuilder::Result result = CConditionBuilder::BuildConditions(d, P);
        QCOMPARE(result.text, text);
        QCOMPARE(result.nesting, nesting);
    }

    void longEntriesAreContinued()
    {
        QByteArray entries;
        for (int i = 0; i < 40; ++i)
            entries += (i ? "\r\n" : "") + QByteArray("word") + QByteArray::number(100000 + i);
        CRecipeDefinition d;
        d.Conditions() = { Condition(C::Subject, entries) };
        const QByteArray text = CConditionBuilder::BuildConditions(d, P).text;
        const QList<QByteArray> lines = text.split('\n');
        // Eight lines of five words (the first after the head), the empty rest.
        QCOMPARE(lines.size(), 9);
        QCOMPARE(lines.at(0),
            QByteArray(":0<P>* ^Subject:.*(word100000|word100001|word100002|word100003|word100004|\\"));
        for (int i = 1; i < 7; ++i) {
            QVERIFY(lines.at(i).startsWith('\t'));
            QVERIFY(lines.at(i).endsWith("|\\"));
        }
        QCOMPARE(lines.at(7), QByteArray("\tword100035|word100036|word100037|word100038|word100039)"));
        // A single line longer than the window is never cut.
        const CConditionBuilder::Joined long1 = CConditionBuilder::JoinEntries(QByteArray(100, 'x'));
        QCOMPARE(long1.regex, QByteArray(100, 'x'));
        QVERIFY(!long1.several);
    }

    void recipeText_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QByteArray>("text");
        const QByteArray joe = R"([{"field": 2, "entries": ["joe"]}])";
        QTest::newRow("save to the default mailbox")
            << Json(joe) << QByteArray(":0:\n* ^From:.*joe\n$DEFAULT\n\n");
        QTest::newRow("save a copy") << Json(joe, R"([{"type": 9, "copy": true}])")
                                     << QByteArray(":0c:\n* ^From:.*joe\n$DEFAULT\n\n");
        QTest::newRow("mailbox with blanks inside, quoted as one name")
            << Json(joe, R"([{"type": 9, "customMailbox": " my $USER box "}])")
            << QByteArray(":0:\n* ^From:.*joe\n\"my $USER box\"\n\n");
        QTest::newRow("maildir without lockfile") << Json(
            joe, R"([{"type": 9, "customMailbox": "Maildir/"}])", R"(, "settings": {"maildirFormat": true})")
                                                  << QByteArray(":0\n* ^From:.*joe\nMaildir/\n\n");
        QTest::newRow("name header") << Json(joe, R"([{"type": 9}])", R"(, "nameHeader": true)")
                                     << QByteArray(":0\n* ^From:.*joe\n{\n\t:0fhw\n\t| formail "
                                                   "-A\"X-ZEPH-RECIPE: Spam\" \n\n\t:0:\n\t$DEFAULT\n\n}\n");
        QTest::newRow("delete without logging")
            << Json(joe, R"([{"type": 6}])", R"(, "logging": 0)")
            << QByteArray(":0\n* ^From:.*joe\n{\n\tLOGABSTRACT=no\n\n\t:0\n\t/dev/null\n\n}\n");
        QTest::newRow("delete") << Json(joe, R"([{"type": 6}])")
                                << QByteArray(":0\n* ^From:.*joe\n/dev/null\n\n");
        QTest::newRow("header actions only")
            << Json(joe, R"([{"type": 2, "headerName": "Foo", "headerValue": "bar"},
                            {"type": 3, "headerToRemove": "X-Junk:"}])")
            << QByteArray(":0fhw\n* ^From:.*joe\n| formail -A\"X-Foo: bar\" -I \"X-Junk:\" \n\n");
        QTest::newRow("remove from the Subject only")
            << Json(joe, R"([{"type": 1, "removeSubject": "SPAM"}])")
            << QByteArray(":0fhw\n* ^From:.*joe\n| sed '/^Subject:/s/SPAM//'\n\n");
        QTest::newRow("add to the Subject")
            << Json(joe, R"([{"type": 0, "addSubject": "[T]"}, {"type": 1, "removeSubject": "x"}])")
            << QByteArray(":0\n* ^From:.*joe\n{\n\t:0\n\t* ^Subject:.*\\/[^ \t].*\n\t{ SUBJ=$MATCH }\n\n"
                          "\t:0fhw\n\t| formail -I\"Subject: [T] $SUBJ\" | sed '/^Subject:/s/x//'\n\n}\n");
        QTest::newRow("header edits come first")
            << Json(
                   joe, R"([{"type": 5, "exitCode": 3}, {"type": 2, "headerName": "A", "headerValue": "1"}])")
            << QByteArray(":0\n* ^From:.*joe\n{\n\t:0fhw\n\t| formail -A\"X-A: 1\" \n\n\tEXITCODE=3\n\n}\n");
        QTest::newRow("all messages with a forward")
            << Json(R"([{"field": 10}])", R"([{"type": 7, "forwardAddresses": ["a@b.c"]}])",
                   R"(, "settings": {"returnAddress": "me@example.org"})")
            << QByteArray("\n:0w\n* !^X-Loop: me@example.org\n| formail -A\"X-Loop: me@example.org\" \\\n"
                          "| $SENDMAIL $SENDMAILFLAGS a@b.c\n\n\n:0fhw\n| formail -A \"X-ZEPH: No forward, "
                          "potential loop\"\n");
        QTest::newRow("forward addresses on continued lines")
            << Json(joe,
                   R"([{"type": 7, "copy": true, "forwardAddresses": ["aaaaaaaaaaaaaaaaaaaa@example.net",
                     "bbbbbbbbbbbbbbbbbbbb@example.net", "c@example.net"]}])",
                   R"(, "settings": {"returnAddress": "<me+box@example.org>"})")
            << QByteArray(":0\n* ^From:.*joe\n{\n\t:0cw\n\t* !^X-Loop: me\\+box@example.org\n"
                          "\t| formail -A\"X-Loop: me+box@example.org\" \\\n"
                          "\t| $SENDMAIL $SENDMAILFLAGS aaaaaaaaaaaaaaaaaaaa@example.net \\\n"
                          "\t\tbbbbbbbbbbbbbbbbbbbb@example.net c@example.net\n\n\n"
                          "\t:0Efhw\n\t| formail -A \"X-ZEPH: No forward, potential loop\"\n\n}\n");
        QTest::newRow("forward with an empty return address")
            << Json(joe, R"([{"type": 7, "forwardAddresses": ["a@b.c"]}])",
                   R"(, "settings": {"returnAddress": ""})")
            << QByteArray(
                   ":0\n* ^From:.*joe\n{\n\t:0w\n\t* !^X-Loop: you@example.com\n"
                   "\t| formail -A\"X-Loop: you@example.com\" \\\n\t| $SENDMAIL $SENDMAILFLAGS a@b.c\n\n\n"
                   "\t:0fhw\n\t| formail -A \"X-ZEPH: No forward, potential loop\"\n\n}\n");
        QTest::newRow("remove the top 3 lines")
            << Json(joe, R"([{"type": 4, "topMode": 1, "topCount": 3}])")
            << QByteArray(":0\n* ^From:.*joe\n{\n\t:0bfwi\n\t| sed -e'1,3d'\n\n}\n");
        QTest::newRow("remove before a line and the bottom 2 lines")
            << Json(joe, R"([{"type": 4, "topMode": 2, "topLine": "--", "bottomMode": 1, "bottomCount": 2,
                             "removeBetween": true, "betweenTop": "a", "betweenBottom": "b"}])")
            << QByteArray(":0\n* ^From:.*joe\n{\n\t:0Bbfwi\n\t* -3^0\n\t* 1^1 ^.*$\n"
                          "\t| sed -e '/a/,/b/d' -ne '/--/,$p' -e \"$=\"q\n\n}\n");
        QTest::newRow("OR group blocks are closed")
            << Json(
                   R"([{"field": 2, "entries": ["joe"], "join": 1}, {"field": 4, "entries": ["x"], "join": 2},
                       {"field": 4, "entries": ["y"]}])")
            << QByteArray(":0\n* ^From:.*joe\n{\n:0\n* ! ^Subject:.*x\n* ! ^Subject:.*y\n{ "
                          "}\n:0E:\n$DEFAULT\n\n}\n");
        QTest::newRow("extended logging of a delivering recipe with shell characters in the name")
            << QByteArray(
                   R"({"name": "A $5 `x` deals", "logging": 2, "conditions": [{"field": 2, "entries": ["joe"]}],
                            "actions": [{"type": 9}]})")
            << QByteArray(":0\n* ^From:.*joe\n{\n\t:0\n\t* ^To:.*\\/[^ \t].*\n\t{ ZEPH_TO=$MATCH }\n\n"
                          "\t:0\n\t* ^From:.*\\/[^ \t].*\n\t{ ZEPH_FROM=$MATCH }\n\n"
                          "LOG=\"RECIPE: A \\$5 \\`x\\` deals\nTO: $ZEPH_TO\nFROM: $ZEPH_FROM "
                          "$NL\"\n\n\t:0:\n\t$DEFAULT\n\n}\n");
        QTest::newRow("extended logging of a recipe that does not deliver")
            << QByteArray(
                   R"({"name": "N", "logging": 2, "conditions": [{"field": 10}], "actions": [{"type": 5}]})")
            << QByteArray("\n:0\n* ^^From.*\\/[^ \t].*\n{ ZEPH_E_FROM=$MATCH }\n\n"
                          ":0\n* ^Subject:.*\\/[^ \t].*\n{ ZEPH_SUBJECT=$MATCH }\n\n"
                          ":0\n* ^To:.*\\/[^ \t].*\n{ ZEPH_TO=$MATCH }\n\n"
                          ":0\n* ^From:.*\\/[^ \t].*\n{ ZEPH_FROM=$MATCH }\n\n"
                          "LOG=\"RECIPE: N\nTO: $ZEPH_TO\nFROM: $ZEPH_FROM\nFrom $ZEPH_E_FROM\n Subject: "
                          "$ZEPH_SUBJECT\n"
                          "  Folder: $NL\"\n\nEXITCODE=99\n");
    }

    void recipeText() { CompareRecipeText(); }

    // Literal texts inside double-quoted formail arguments and sed patterns inside single-quoted
    // scripts: what the shell or procmail would expand, run or end the word with is escaped; a
    // pair the user escaped already is kept.
    void quoting_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("doubleQuoted");
        QTest::addColumn<QByteArray>("sedPattern");
        QTest::newRow("plain text") << QByteArray("[MYLIST] a.b*c") << QByteArray("[MYLIST] a.b*c")
                                    << QByteArray("[MYLIST] a.b*c");
        QTest::newRow("command substitution")
            << QByteArray("$(touch /tmp/x)") << QByteArray("\\$(touch /tmp/x)")
            << QByteArray("$(touch \\/tmp\\/x)");
        QTest::newRow("backquotes") << QByteArray("`id`") << QByteArray("\\`id\\`") << QByteArray("`id`");
        QTest::newRow("double quote") << QByteArray("a\"b") << QByteArray("a\\\"b") << QByteArray("a\"b");
        QTest::newRow("single quote") << QByteArray("it's") << QByteArray("it's") << QByteArray("it'\\''s");
        QTest::newRow("escaped single quote")
            << QByteArray("it\\'s") << QByteArray("it\\'s") << QByteArray("it'\\''s");
        QTest::newRow("already escaped pairs")
            << QByteArray("\\$5 \\\"q\\\" \\` \\\\") << QByteArray("\\$5 \\\"q\\\" \\` \\\\")
            << QByteArray("\\$5 \\\"q\\\" \\` \\\\");
        QTest::newRow("backslash before a plain character")
            << QByteArray("\\[LIST]") << QByteArray("\\[LIST]") << QByteArray("\\[LIST]");
        QTest::newRow("trailing backslash")
            << QByteArray("C:\\") << QByteArray("C:\\\\") << QByteArray("C:\\\\");
        QTest::newRow("escaped backslash at the end")
            << QByteArray("C:\\\\") << QByteArray("C:\\\\") << QByteArray("C:\\\\");
        QTest::newRow("slash and escaped slash")
            << QByteArray("a/b\\/c") << QByteArray("a/b\\/c") << QByteArray("a\\/b\\/c");
        QTest::newRow("escaped quote at the end")
            << QByteArray("x\\\"") << QByteArray("x\\\"") << QByteArray("x\\\"");
    }

    void quoting()
    {
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, doubleQuoted);
        QFETCH(QByteArray, sedPattern);
        QCOMPARE(ProcmailText::QuoteInDoubleQuotes(value), doubleQuoted);
        QCOMPARE(ProcmailText::QuoteSedPattern(value), sedPattern);
    }

    void hostileValues_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QByteArray>("text");
        const QByteArray joe = R"([{"field": 2, "entries": ["joe"]}])";
        QTest::newRow("subject tag with a command")
            << Json(joe, "[{\"type\": 0, \"addSubject\": \"$(touch /tmp/x) \\\"`id`\\\"\"}, {\"type\": 9}]")
            << QByteArray(":0\n* ^From:.*joe\n{\n\t:0\n\t* ^Subject:.*\\/[^ \t].*\n\t{ SUBJ=$MATCH }\n\n"
                          "\t:0fhw\n\t| formail -I\"Subject: \\$(touch /tmp/x) \\\"\\`id\\`\\\" $SUBJ\" \n\n"
                          "\t:0:\n\t$DEFAULT\n\n}\n");
        QTest::newRow("subject tag escaped by the user")
            << Json(joe, "[{\"type\": 0, \"addSubject\": \"\\\\$5 deals\"}, {\"type\": 9}]")
            << QByteArray(
                   ":0\n* ^From:.*joe\n{\n\t:0\n\t* ^Subject:.*\\/[^ \t].*\n\t{ SUBJ=$MATCH }\n\n"
                   "\t:0fhw\n\t| formail -I\"Subject: \\$5 deals $SUBJ\" \n\n\t:0:\n\t$DEFAULT\n\n}\n");
        QTest::newRow("header name and value, header to remove")
            << Json(joe,
                   "[{\"type\": 2, \"headerName\": \"A$B\", \"headerValue\": \"x\\\" `id` \\\\\"}, "
                   "{\"type\": 3, \"headerToRemove\": \"X-\\\"q\\\":\"}]")
            << QByteArray(":0fhw\n* ^From:.*joe\n| formail -A\"X-A\\$B: x\\\" \\`id\\` \\\\\" -I "
                          "\"X-\\\"q\\\":\" \n\n");
        QTest::newRow("subject pattern with quote and slash")
            << Json(joe, "[{\"type\": 1, \"removeSubject\": \"it's a/b$\"}]")
            << QByteArray(":0fhw\n* ^From:.*joe\n| sed '/^Subject:/s/it'\\''s a\\/b$//'\n\n");
        QTest::newRow("body lines with quotes, slashes and commands")
            << Json(joe,
                   "[{\"type\": 4, \"removeBetween\": true, \"betweenTop\": \"a/b\", \"betweenBottom\": "
                   "\"'$(id)'\", \"topMode\": 2, \"topLine\": \"-- it's\", \"bottomMode\": 2, "
                   "\"bottomLine\": \"end/\"}]")
            << QByteArray(":0\n* ^From:.*joe\n{\n\t:0bfwi\n"
                          "\t| sed -e '/a\\/b/,/'\\''$(id)'\\''/d' -ne '/-- it'\\''s/,/end\\//p'\n\n}\n");
        QTest::newRow("name and settings inside double quotes")
            << QByteArray("{\"name\": \"Say `hi` $x\", \"nameHeader\": true, \"conditions\": "
                          "[{\"field\": 10}], "
                          "\"actions\": [{\"type\": 7, \"forwardAddresses\": [\"a@b.c\"]}], "
                          "\"settings\": {\"returnAddress\": \"me$x@example.org\"}}")
            << QByteArray(
                   "\n:0fhw\n| formail -A\"X-ZEPH-RECIPE: Say \\`hi\\` \\$x\" \n\n"
                   ":0w\n* !^X-Loop: me\\$x@example.org\n| formail -A\"X-Loop: me\\$x@example.org\" \\\n"
                   "| $SENDMAIL $SENDMAILFLAGS a@b.c\n\n\n:0fhw\n| formail -A \"X-ZEPH: No forward, "
                   "potential loop\"\n");
    }

    void hostileValues() { CompareRecipeText(); }

    // Values that cannot be written into a recipe at all are refused, naming the field.
    void refusedValues_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("named");
        QTest::newRow("custom header ending in a backslash")
            << Json("[{\"field\": 11, \"customHeader\": \"X-Foo\\\\\"}]") << QStringLiteral("custom header");
        QTest::newRow("empty line to cut at")
            << Json(R"([{"field": 10}])", R"([{"type": 4, "bottomMode": 2, "bottomLine": ""}])")
            << QStringLiteral("action 1 (bottomLine): You have elected to delete some lines from the bottom");
        QTest::newRow("empty line to remove between")
            << Json(R"([{"field": 10}])", R"([{"type": 4, "removeBetween": true, "betweenTop": "a"}])")
            << QStringLiteral("action 1 (betweenBottom): You have elected to remove a section");
    }

    void refusedValues()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, named);
        CRecipeDefinition d;
        QString error;
        QVERIFY(!CRecipeDefinitionJson::FromJson(json, &d, nullptr, &error));
        QVERIFY2(error.contains(named), qPrintable(error));
    }

    // Line breaks and NUL reach a definition only from a damaged file or a caller that skipped
    // the checks; validation names the field.
    void lineBreaksNameTheField_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("named");
        QTest::newRow("custom header")
            << QStringLiteral("customHeader") << QStringLiteral("condition 1: the custom header");
        QTest::newRow("header value")
            << QStringLiteral("headerValue") << QStringLiteral("action 1: the header value");
        QTest::newRow("subject tag") << QStringLiteral("addSubject")
                                     << QStringLiteral("string to add to the Subject");
        QTest::newRow("subject pattern")
            << QStringLiteral("removeSubject") << QStringLiteral("string to remove from the Subject");
        QTest::newRow("top line") << QStringLiteral("topLine") << QStringLiteral("action 1: the top line");
    }

    void lineBreaksNameTheField()
    {
        QFETCH(QString, member);
        QFETCH(QString, named);
        for (const QByteArray& bad : { QByteArray("a\nb"), QByteArray("a\rb"), QByteArray("a\0b", 3) }) {
            CRecipeDefinition d
                = FromJson(Json(R"([{"field": 11, "customHeader": "X-A"}])", R"([{"type": 6}])"));
            CActionDetails details;
            int type = ActionDelete;
            if (member == QLatin1String("customHeader")) {
                d.Conditions()[0].customHeader = bad;
            } else if (member == QLatin1String("headerValue")) {
                type = ActionAddHeader;
                details.headerName = "A";
                details.headerValue = bad;
            } else if (member == QLatin1String("addSubject")) {
                type = ActionAddSubject;
                details.addSubject = bad;
            } else if (member == QLatin1String("removeSubject")) {
                type = ActionRemoveSubject;
                details.removeSubject = bad;
            } else {
                type = ActionModifyBody;
                details.topMode = 2;
                details.topLine = bad;
            }
            d.ActionTypes().clear();
            d.DataMgr().Clear();
            d.AddAction(type, details);
            QString error;
            QVERIFY(!d.Validate(&error));
            QVERIFY2(error.contains(named), qPrintable(error));
        }
    }

    void replyText_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("outOfMemory");
        QTest::addColumn<QByteArray>("modeLines");
        const QByteArray from = "\t\t-I\"From: Me's Mailer-Daemon <me@example.org>\" \\\n";
        const QByteArray p0 = "\t\t:0hw\n\t\t| (formail -rt -A\"X-Loop: me@example.org\" \\\n" + from
            + "\t\t-I\"Precedence: junk\"; \\\n";
        const QByteArray e = "\t\t) | $SENDMAIL $SENDMAILFLAGS -t\n";
        const QByteArray h5 = "\t\t:0hi\n\t\tHEAD=| formail -rt -A\"X-Loop: me@example.org\" \\\n" + from
            + "\t\t-I\"Precedence: junk\" \n\n";
        const QByteArray h5o = "\t\tHEAD=`formail -rt -A\"X-Loop: me@example.org\" \\\n" + from
            + "\t\t-I\"Precedence: junk\"`\n\n";
        QTest::newRow("response only") << 0 << false << p0 + "\t\tcat $ZEPH_DIR/away.txt \\\n" + e;
        QTest::newRow("headers, then response") << 1 << false
                                                << "\t\t:0h\n\t\tHEAD=| sed 's/^/> /'\n\n" + p0
                + "\t\techo \"$HEAD\"; \\\n\t\tcat $ZEPH_DIR/away.txt \\\n" + e;
        QTest::newRow("response, then headers, out of memory")
            << 2 << true
            << "\t\tHEAD=`formail -X \"\" | sed 's/^/> /'`\n\n" + p0 + "\t\tcat $ZEPH_DIR/away.txt; \\\n"
                + "\t\techo \"$HEAD\" \\\n" + e;
        QTest::newRow("quoted body, then response")
            << 3 << false
            << "\t\t:0w\n\t\t| (formail -rtk -p \"> \" -A\"X-Loop: me@example.org\" \\\n" + from
                + "\t\t-I\"Precedence: junk\"; \\\n\t\tcat $ZEPH_DIR/away.txt \\\n" + e;
        QTest::newRow("response, then body")
            << 4 << false
            << "\t\t:0w\n\t\t| formail -rtk -A\"X-Loop: me@example.org\" \\\n" + from
                + "\t\t-I\"Precedence: junk\" \\\n\t\t| sed -e '1,/^$/!b' -e '/^$/r'\"$ZEPH_DIR/away.txt\" "
                  "\\\n"
                + "\t\t| $SENDMAIL $SENDMAILFLAGS -t\n";
        QTest::newRow("quoted message, then response") << 5 << false
                                                       << h5
                + "\t\t:0w\n\t\t| (echo \"$HEAD\"; \\\n\t\tsed -e 's/^/> /'; \\\n\t\tcat $ZEPH_DIR/away.txt "
                  "\\\n"
                + e;
        QTest::newRow("response, then quoted message, out of memory")
            << 6 << true
            << h5o + "\t\t:0w\n\t\t| (echo \"$HEAD\"; echo; \\\n\t\tcat $ZEPH_DIR/away.txt; \\\n"
                + "\t\tsed -e 's/^/> /' \\\n" + e;
    }

    void replyText()
    {
        QFETCH(int, mode);
        QFETCH(bool, outOfMemory);
        QFETCH(QByteArray, modeLines);
        CRecipeDefinition d;
        d.Conditions() = { Condition(C::AllMessages, "") };
        CActionDetails a;
        a.responseFile = "C:\\away.txt";
        a.includeHeaders = (mode == 1 || mode == 2 || mode >= 5) ? 1 : 0;
        a.includeBody = mode >= 3 ? 1 : 0;
        a.responseAtTop = mode % 2 == 0 && mode > 0 ? 1 : 0;
        d.AddAction(ActionReply, a);
        QCOMPARE(d.GetReplyMode(0), mode);
        RecipeTextSettings s;
        s.returnAddress = "me@example.org";
        s.name = "Me";
        s.outOfMemory = outOfMemory;
        const QByteArray expected
            = QByteArray(
                  "\tREPLY_TO=`formail -rtzxTo:`\n\tDATE=`date +%D`\n\t:0\n\t* !^X-Loop: me@example.org\n"
                  "\t* !^FROM_DAEMON\n\t* ! ? fgrep -ix \"$REPLY_TO $DATE\" $ZEPH_DIR/zeph_reply.txt\n\t{\n"
                  "\t\tLOCKFILE=$ZEPH_DIR/zeph_reply.txt$LOCKEXT\n")
            + (outOfMemory ? QByteArray("\t\tCURRENT=`grep \"$DATE\" $ZEPH_DIR/zeph_reply.txt`\n")
                           : QByteArray("\t\t:0hi\n\t\tCURRENT=| grep \"$DATE\" $ZEPH_DIR/zeph_reply.txt\n"))
            + "\t\tDUMMY=`(echo \"$REPLY_TO $DATE\"; echo \"$CURRENT\") > $ZEPH_DIR/zeph_reply.txt`\n"
              "\t\tLOCKFILE\n\n"
            + modeLines + "\t}\n\t:0fhw\n\t| formail -A \"X-ZEPH: No reply, potential loop\"\n\n";
        QCOMPARE(CActionBuilder::ReplyText(d, 0, s), expected);
    }

    void unknownActionType()
    {
        CRecipeDefinition d;
        d.Conditions() = { Condition(C::From, "joe") };
        d.AddAction(12, CActionDetails());
        QCOMPARE(CActionBuilder::BuildRecipeText(d, RecipeTextSettings()),
            QByteArray("# UNEXPECTED ERROR, DO NOT USE THIS FILTER! PLEASE START OVER.\n"));
        QCOMPARE(CRecipeSummary::BuildSummarySegments(d).at(4),
            QByteArray("\n\n# UNEXPECTED ERROR, DO NOT USE THIS FILTER! PLEASE START OVER."));
    }

    void summary_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QList<QByteArray>>("segments");
        const QByteArray joe = R"([{"field": 2, "entries": ["joe"]}])";
        QTest::newRow("one condition, save")
            << Json(joe)
            << QList<QByteArray> { "", "If this condition matches:\n",
                   "If there is a \"From:\" header containing the string:\njoe\n", "",
                   "\n\nProcmail will save it to your default mailbox.", "",
                   "\n\nThere will be standard logging for this recipe.", "" };
        QTest::newRow("two entries, two conditions joined by OR, inverted in the group")
            << Json(R"([{"field": 2, "entries": ["joe", "", "bob"], "join": 2},
                       {"field": 4, "invert": true, "entries": ["x"]}])",
                   R"([{"type": 9, "customMailbox": "$DEFAULT"}])", R"(, "logging": 0)")
            << QList<QByteArray> { "",
                   "If at least one of the following conditions match:\n(Start of grouping for 'or' "
                   "conditions)\n",
                   "If there is a \"From:\" header containing the string:\njoe\nOR\nbob\n",
                   "Or this condition:\n",
                   "If there is NOT a \"Subject:\" header containing the string:\nx\n",
                   "End of grouping for 'or' conditions\n\n", "", "",
                   "\n\nProcmail will save it to your default mailbox.", "",
                   "\n\nThere will be no logging for this recipe.", "" };
        QTest::newRow("size, forward copy and save, extended logging") << Json(
            R"([{"field": 9, "size": "102400", "join": 1}, {"field": 0, "toKind": 102, "entries": ["me"]}])",
            R"([{"type": 7, "copy": true, "forwardAddresses": ["a@b.c", "d@e.f"]},
                        {"type": 9, "customMailbox": "big"}])",
            R"(, "logging": 2, "nameHeader": true)")
                                                                       << QList<QByteArray> { "",
                                                                              "If this condition matches:\n",
                                                                              "If the size of the message is "
                                                                              "greater than \n102400 bytes\n",
                                                                              "And if this condition "
                                                                              "matches:\n",
                                                                              "If there is a \"TO_\" header "
                                                                              "(using the \"TO_\" macro) "
                                                                              "containing the string:\nme\n",
                                                                              "",
                                                                              "\n\nOn a COPY of the message "
                                                                              "Procmail will forward the "
                                                                              "message to the following "
                                                                              "address(es):\na@b.c\nd@e."
                                                                              "f\nAND\nProcmail will save it "
                                                                              "to a mailbox named big",
                                                                              "",
                                                                              "\n\nAlso adding a header "
                                                                              "\"X-ZEPH-RECIPE: "
                                                                              "Spam\"\n\nThere will be "
                                                                              "extended logging "
                                                                              "for this recipe.",
                                                                              "" };
        QTest::newRow("body edit, reply, exit code") << Json(
            R"([{"field": 8, "invert": true, "entries": ["x"], "join": 1}, {"field": 9, "size": "100"}])",
            R"([{"type": 4, "removeBetween": true, "betweenTop": "a", "betweenBottom": "b", "topMode": 1,
                         "topCount": 2, "bottomMode": 2, "bottomLine": "--"},
                        {"type": 8, "responseFile": "C:\\r.txt", "includeBody": true, "responseAtTop": true,
                         "copy": true},
                        {"type": 5, "exitCode": 7}, {"type": 6}])")
                                                     << QList<QByteArray> { "",
                                                            "If this condition matches:\n",
                                                            "If the message body does NOT contain the "
                                                            "string:\nx\n",
                                                            "And if this condition matches:\n",
                                                            "If the size of the message is greater than "
                                                            "\n100 bytes\n",
                                                            "",
                                                            "\n\nProcmail will remove lines in the message "
                                                            "body starting with the line:\na\nending "
                                                            "with the line(inclusive):\nb\nAND\nremove the "
                                                            "top 2 lines of the message body.\nAND\n"
                                                            "remove all lines in the message body after the "
                                                            "line:\n--\nAND\nOn a COPY of the message "
                                                            "Procmail will send a "
                                                            "reply using\nC:\\r.txt\nas your response.  The "
                                                            "original message body will be included "
                                                            "after your response.\nAND\nProcmail will set "
                                                            "the exitcode to 7.\nAND\nProcmail will "
                                                            "DELETE the message.",
                                                            "",
                                                            "\n\nThere will be standard logging for this "
                                                            "recipe.",
                                                            "" };
    }

    void summary()
    {
        QFETCH(QByteArray, json);
        QFETCH(QList<QByteArray>, segments);
        const CRecipeDefinition d = FromJson(json);
        QCOMPARE(CRecipeSummary::BuildSummarySegments(d), segments);
        QCOMPARE(CRecipeSummary::BuildSummaryText(d), segments.join());
    }

    void block()
    {
        QCOMPARE(CRecipeFile::BuildRecipeBlock("Spam", "abc\ndef", ":0\n/dev/null\n"),
            QByteArray("\n##_ZEPH_RECIPE_BEGIN_##Spam\n#  abc\n#  def\n#  "
                       "\n:0\n/dev/null\n##_ZEPH_RECIPE_END_##Spam\n"));
        // A stray carriage return cannot end a comment line early.
        QCOMPARE(CRecipeFile::BuildRecipeBlock("S", "a\rb", "x\n"),
            QByteArray("\n##_ZEPH_RECIPE_BEGIN_##S\n#  a\n#  b\n#  \nx\n##_ZEPH_RECIPE_END_##S\n"));
    }

    void responseRemoteName_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("windows path") << QByteArray("C:\\Users\\me\\away.txt") << QByteArray("away.txt");
        QTest::newRow("unix path with blanks")
            << QByteArray("/home/me/my reply (1).txt") << QByteArray("my_reply__1_.txt");
        QTest::newRow("shell characters")
            << QByteArray("a`rm -rf ~`;$x|&.txt") << QByteArray("a_rm_-rf_____x__.txt");
        QTest::newRow("control character") << QByteArray("a\tb\x7f.txt") << QByteArray("a_b_.txt");
        QTest::newRow("every listed character")
            << QByteArray("/d/<>'\"*{}^![]#|&()$?~ x") << QByteArray(20, '_') + "x";
    }

    void responseRemoteName()
    {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, name);
        QCOMPARE(CRecipeDefinition::MakeResponseRemoteName(path), name);
    }

    void loggingLevelAndDelivers_data()
    {
        QTest::addColumn<QByteArray>("actions");
        QTest::addColumn<int>("choice");
        QTest::addColumn<int>("level");
        QTest::newRow("normal") << QByteArray(R"([{"type": 9}])") << 1 << 1;
        QTest::newRow("none") << QByteArray(R"([{"type": 9}])") << 0 << 0;
        QTest::newRow("extended, save") << QByteArray(R"([{"type": 9}])") << 2 << 2;
        QTest::newRow("extended, save a copy") << QByteArray(R"([{"type": 9, "copy": true}])") << 2 << 3;
        QTest::newRow("extended, delete last") << QByteArray(R"([{"type": 5}, {"type": 6}])") << 2 << 2;
        QTest::newRow("extended, header only")
            << QByteArray(R"([{"type": 3, "headerToRemove": "X:"}])") << 2 << 3;
        QTest::newRow("extended, forward")
            << QByteArray(R"([{"type": 7, "forwardAddresses": ["a@b"]}])") << 2 << 2;
    }

    void loggingLevelAndDelivers()
    {
        QFETCH(QByteArray, actions);
        QFETCH(int, choice);
        QFETCH(int, level);
        const CRecipeDefinition d
            = FromJson(Json(R"([{"field": 10}])", actions, ", \"logging\": " + QByteArray::number(choice)));
        QCOMPARE(d.GetLoggingLevel(), level);
    }
};

QTEST_GUILESS_MAIN(TestRecipeText)
#include "tst_recipetext.moc"
