// Recipe data files: every field round-trips; damaged, foreign or inconsistent files are refused
// with a message and change nothing.
#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/CRecipeDefinitionJson.h"
#include "core/settings/CArchive.h"
#include "core/settings/CFileCipher.h"
#include "core/settings/ProtectedKeys.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

// The stored layout, written independently of the program's writer so that the format is pinned.
struct RawFile
{
    quint32 version = 2;
    QByteArray filler = QByteArray(30, 'f');
    QByteArray magic = "ZEPH Recipe Wizard file";
    quint32 schema[5] = { 1, 1, 1, 1, 1 };
    quint32 position = 1; // where the condition pages stood
    qint64 actionPosition = -1; // where the action pages stood; -1: the same as `position`
    QList<QByteArray> customHeaders { "" };
    QList<qint32> fields { 10 }, toKinds { 100 }, inverts { 0 }, joins { 0 };
    QList<QByteArray> entries { "" }, sizes { "" };
    QList<qint32> types { 9 };
    // The 25 detail lists as integers or strings, in stored order.
    QList<QList<qint32>> ints;
    QList<QList<QByteArray>> strings;
    QByteArray name = "Spam";
    qint32 nameHeader = 0, logging = 1;

    RawFile()
    {
        static const bool isInt[25]
            = { 1, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1, 1, 0, 1, 1, 0, 0, 1, 1, 1, 1, 1, 1 };
        for (bool i : isInt) {
            if (i)
                ints.append(QList<qint32> { 0 });
            else
                strings.append(QList<QByteArray> { QByteArray() });
        }
        ints[1] = { 99 }; // exit code
    }

    QByteArray Bytes() const
    {
        CArchive a;
        auto intList = [&a](const QList<qint32>& l) {
            a.WriteCount(static_cast<quint32>(l.size()));
            for (qint32 v : l)
                a.WriteInt32(v);
        };
        auto stringList = [&a](const QList<QByteArray>& l) {
            a.WriteCount(static_cast<quint32>(l.size()));
            for (const QByteArray& v : l)
                a.WriteString(v);
        };
        a.WriteDword(version);
        a.WriteString(filler);
        a.WriteString(magic);
        a.WriteDword(schema[0]);
        a.WriteDword(position);
        stringList(customHeaders);
        intList(fields);
        intList(toKinds);
        intList(inverts);
        a.WriteDword(schema[1]);
        a.WriteDword(position);
        intList(joins);
        stringList(entries);
        stringList(sizes);
        const quint32 actionsAt = actionPosition < 0 ? position : static_cast<quint32>(actionPosition);
        a.WriteDword(schema[2]);
        a.WriteDword(actionsAt);
        intList(types);
        a.WriteDword(schema[3]);
        a.WriteDword(actionsAt);
        static const bool isInt[25]
            = { 1, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1, 1, 0, 1, 1, 0, 0, 1, 1, 1, 1, 1, 1 };
        int i = 0, s = 0;
        for (bool integer : isInt) {
            if (integer)
                intList(ints.at(i++));
            else
                stringList(strings.at(s++));
        }
        a.WriteDword(schema[4]);
        a.WriteString(name);
        a.WriteInt32(nameHeader);
        a.WriteInt32(logging);
        a.WriteCount(0);
        a.WriteCount(0);
        a.WriteCount(0);
        return a.Data();
    }
};

bool WriteProtected(const QString& path, const QByteArray& plain)
{
    CFileCipher cipher;
    return cipher.EncryptToFile(plain, path, RecipeDataKey());
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray Def(const QByteArray& conditions, const QByteArray& actions = R"([{"type": 9}])",
    const QByteArray& more = QByteArray())
{
    return "{\"name\": \"Spam\"" + more + ", \"conditions\": " + conditions + ", \"actions\": " + actions
        + "}";
}

// Changes the details of action j in place.
void Change(CRecipeDefinition* d, int j, const std::function<void(CActionDetails&)>& change)
{
    QList<CActionDetails> all = d->DataMgr().AllDetails();
    change(all[j]);
    d->DataMgr().SetAllDetails(all);
}

// A definition the rule set must refuse, given as DEF.json and as the change that makes the
// accepted `good` definition into it in memory (which is then saved as a data file); `named` is
// what both messages must hold: the value at fault, in the wizard page's words where it has some.
struct BadShape
{
    const char* tag;
    QByteArray good;
    QByteArray bad;
    std::function<void(CRecipeDefinition*)> mutate;
    QString named;
};

QList<BadShape> BadShapes()
{
    using C = CRecipeCondition;
    const QString nothing = QStringLiteral("You have not entered a word or character to filter on.  Please "
                                           "enter something to filter on.");
    return {
        { "body condition without entries",
            Def(R"([{"field": 8, "entries": ["Dear friend"]}])", R"([{"type": 6}])"),
            Def(R"([{"field": 8, "entries": [" ", "\t"]}])", R"([{"type": 6}])"),
            [](CRecipeDefinition* d) { d->Conditions()[0].entries = " \r\n\t"; },
            QStringLiteral("condition 1 (entries): ") + nothing },
        { "anywhere-in-headers condition without entries",
            Def(R"([{"field": 2, "entries": ["a"], "join": 2}, {"field": 7, "entries": ["spam"]}])"),
            Def(R"([{"field": 2, "entries": ["a"], "join": 2}, {"field": 7, "entries": []}])"),
            [](CRecipeDefinition* d) { d->Conditions()[1].entries.clear(); },
            QStringLiteral("condition 2 (entries): ") + nothing },
        { "size 0", Def(R"([{"field": 9, "size": "1"}])"), Def(R"([{"field": 9, "size": "0"}])"),
            [](CRecipeDefinition* d) { d->Conditions()[0].size = "0"; },
            QStringLiteral(
                "condition 1 (size): \"0\" is not a number of bytes from 1 to 9999999999.  Please enter a "
                "positive number.") },
        { "size of 23 digits", Def(R"([{"field": 9, "size": "9999999999"}])"),
            Def(R"([{"field": 9, "size": "12345678901234567890123"}])"),
            [](CRecipeDefinition* d) { d->Conditions()[0].size = "12345678901234567890123"; },
            QStringLiteral(
                "condition 1 (size): \"12345678901234567890123\" is not a number of bytes from 1 to "
                "9999999999") },
        { "custom mailbox that pipes",
            Def(R"([{"field": 10}])", R"([{"type": 9, "mailboxMode": 1, "customMailbox": "my box"}])"),
            Def(R"([{"field": 10}])",
                R"([{"type": 9, "mailboxMode": 1, "customMailbox": "  | rm -rf $HOME"}])"),
            [](CRecipeDefinition* d) {
                Change(d, 0, [](CActionDetails& a) { a.customMailbox = " \t| rm -rf $HOME"; });
            },
            QStringLiteral("action 1 (customMailbox): The mailbox name") },
        { "custom mailbox that forwards",
            Def(R"([{"field": 10}])", R"([{"type": 9, "mailboxMode": 1, "customMailbox": "a!b"}])"),
            Def(R"([{"field": 10}])",
                R"([{"type": 9, "mailboxMode": 1, "customMailbox": " !x@example.org"}])"),
            [](CRecipeDefinition* d) {
                Change(d, 0, [](CActionDetails& a) { a.customMailbox = "!x@example.org"; });
            },
            QStringLiteral("which procmail would take as a forward") },
        { "custom mailbox with blanks and a quote",
            Def(R"([{"field": 10}])", R"([{"type": 9, "mailboxMode": 1, "customMailbox": "my box"}])"),
            Def(R"([{"field": 10}])", R"([{"type": 9, "mailboxMode": 1, "customMailbox": "my \"box"}])"),
            [](CRecipeDefinition* d) {
                Change(d, 0, [](CActionDetails& a) { a.customMailbox = "my box\""; });
            },
            QStringLiteral("action 1 (customMailbox): The mailbox name") },
        { "delete before another action", Def(R"([{"field": 10}])", R"([{"type": 5}, {"type": 6}])"),
            Def(R"([{"field": 10}])", R"([{"type": 6}, {"type": 5}])"),
            [](CRecipeDefinition* d) {
                d->ActionTypes() = { ActionDelete, ActionExitCode };
                Change(d, 1, [](CActionDetails& a) { a.anotherAction = 0; });
            },
            QStringLiteral("action 1 (type): this action takes the message away") },
        { "save without copy before another action",
            Def(R"([{"field": 10}])",
                R"([{"type": 9, "copy": true}, {"type": 2, "headerName": "A", "headerValue": "1"}])"),
            Def(R"([{"field": 10}])", R"([{"type": 9}, {"type": 2, "headerName": "A", "headerValue": "1"}])"),
            [](CRecipeDefinition* d) { Change(d, 0, [](CActionDetails& a) { a.copy = 0; }); },
            QStringLiteral("action 1 (type): this action takes the message away") },
        { "remove from Subject twice",
            Def(R"([{"field": 10}])",
                R"([{"type": 1, "removeSubject": "a"}, {"type": 0, "addSubject": "b"}, {"type": 9}])"),
            Def(R"([{"field": 10}])",
                R"([{"type": 1, "removeSubject": "a"}, {"type": 1, "removeSubject": "b"}, {"type": 9}])"),
            [](CRecipeDefinition* d) {
                d->ActionTypes()[1] = ActionRemoveSubject;
                Change(d, 1, [](CActionDetails& a) {
                    a.addSubject.clear();
                    a.removeSubject = "b";
                });
            },
            QStringLiteral("action 2 (type): an action of type 1 is already action 1") },
        { "body edit with nothing chosen",
            Def(R"([{"field": 10}])", R"([{"type": 4, "topMode": 1, "topCount": 1}, {"type": 9}])"),
            Def(R"([{"field": 10}])", R"([{"type": 4}, {"type": 9}])"),
            [](CRecipeDefinition* d) {
                Change(d, 0, [](CActionDetails& a) {
                    a.topMode = 0;
                    a.topCount = 0;
                });
            },
            QStringLiteral(
                "action 1 (removeBetween): You haven't specified any modifications to be made to the "
                "message body.") },
        { "body edit between an empty top line",
            Def(R"([{"field": 10}])",
                R"([{"type": 4, "removeBetween": true, "betweenTop": "a", "betweenBottom": "b"}])"),
            Def(R"([{"field": 10}])",
                R"([{"type": 4, "removeBetween": true, "betweenTop": "", "betweenBottom": "b"}])"),
            [](CRecipeDefinition* d) { Change(d, 0, [](CActionDetails& a) { a.betweenTop.clear(); }); },
            QStringLiteral(
                "action 1 (betweenTop): You have elected to remove a section from the message body but "
                "you haven't specified the top starting string.") },
        { "top count 0", Def(R"([{"field": 10}])", R"([{"type": 4, "topMode": 1, "topCount": 1}])"),
            Def(R"([{"field": 10}])", R"([{"type": 4, "topMode": 1, "topCount": 0}])"),
            [](CRecipeDefinition* d) { Change(d, 0, [](CActionDetails& a) { a.topCount = 0; }); },
            QStringLiteral(
                "action 1 (topCount): You have elected to delete some lines from the top of the message "
                "but you haven't specified a positive number") },
        { "top line empty", Def(R"([{"field": 10}])", R"([{"type": 4, "topMode": 2, "topLine": "--"}])"),
            Def(R"([{"field": 10}])", R"([{"type": 4, "topMode": 2}])"),
            [](CRecipeDefinition* d) { Change(d, 0, [](CActionDetails& a) { a.topLine.clear(); }); },
            QStringLiteral(
                "action 1 (topLine): You have elected to delete some lines from the top of the message "
                "but you haven't specified a string") },
        { "bottom count 0", Def(R"([{"field": 10}])", R"([{"type": 4, "bottomMode": 1, "bottomCount": 2}])"),
            Def(R"([{"field": 10}])", R"([{"type": 4, "bottomMode": 1}])"),
            [](CRecipeDefinition* d) { Change(d, 0, [](CActionDetails& a) { a.bottomCount = 0; }); },
            QStringLiteral(
                "action 1 (bottomCount): You have elected to delete some lines from the bottom of the "
                "message but you haven't specified a positive number") },
        { "bottom count that overflows",
            Def(R"([{"field": 10}])", R"([{"type": 4, "bottomMode": 1, "bottomCount": 2147483646}])"),
            Def(R"([{"field": 10}])", R"([{"type": 4, "bottomMode": 1, "bottomCount": 2147483647}])"),
            [](CRecipeDefinition* d) { Change(d, 0, [](CActionDetails& a) { a.bottomCount = 2147483647; }); },
            QStringLiteral("2147483647 is out of range (0 to 2147483646)") },
        { "count of a side that is not cut",
            Def(R"([{"field": 10}])", R"([{"type": 4, "bottomMode": 1, "bottomCount": 2}])"),
            Def(R"([{"field": 10}])", R"([{"type": 4, "bottomMode": 1, "bottomCount": 2, "topCount": 5}])"),
            [](CRecipeDefinition* d) { Change(d, 0, [](CActionDetails& a) { a.topCount = 5; }); },
            QStringLiteral("action 1 (topCount): applies only when topMode is 1.") },
        { "logging choice out of range", Def(R"([{"field": 10}])"),
            Def(R"([{"field": 10}])", R"([{"type": 9}])", R"(, "logging": -2147483648)"),
            [](CRecipeDefinition* d) { d->SetLoggingChoice(-2147483647 - 1); },
            QStringLiteral("-2147483648 is out of range (0 to 2)") },
        { "To kind on another field", Def(R"([{"field": 2, "toKind": 102, "entries": ["joe"]}])"),
            Def(R"([{"field": 2, "toKind": 53, "entries": ["joe"]}])"),
            [](CRecipeDefinition* d) { d->Conditions()[0].toKind = 53; },
            QStringLiteral("53 is out of range (100 to 102)") },
        { "empty name", Def(R"([{"field": 10}])"),
            R"({"name": "", "conditions": [{"field": 10}], "actions": [{"type": 9}]})",
            [](CRecipeDefinition* d) { d->SetName(QByteArray()); },
            QStringLiteral("the recipe (name):  Please enter a name for the recipe") },
        { "reserved name prefix", Def(R"([{"field": 10}])", R"([{"type": 9}])"),
            R"({"name": "zeph_backup", "conditions": [{"field": 10}], "actions": [{"type": 9}]})",
            [](CRecipeDefinition* d) { d->SetName("zeph_backup"); },
            QStringLiteral("Recipe names that begin with 'ZEPH_' are reserved") },
        { "X-Loop removed", Def(R"([{"field": 10}])", R"([{"type": 3, "headerToRemove": "X-Loopy"}])"),
            Def(R"([{"field": 10}])", R"([{"type": 3, "headerToRemove": "x-lo"}])"),
            [](CRecipeDefinition* d) {
                Change(d, 0, [](CActionDetails& a) { a.headerToRemove = "X-Loop:"; });
            },
            QStringLiteral(
                "action 1 (headerToRemove): It appears you are trying to remove a \"X-Loop\" header.") },
        { "custom header of blanks", Def(R"([{"field": 11, "customHeader": "X-A", "entries": ["b"]}])"),
            Def(R"([{"field": 11, "customHeader": "  ", "entries": ["b"]}])"),
            [](CRecipeDefinition* d) { d->Conditions()[0].customHeader = " "; },
            QStringLiteral("condition 1 (customHeader): You have selected to filter on a custom header") },
        { "entry line ending in a backslash", Def(R"([{"field": 4, "entries": ["a", "C:\\\\"]}])"),
            Def(R"([{"field": 4, "entries": ["a", "C:\\"]}])"),
            [](CRecipeDefinition* d) { d->Conditions()[0].entries = "a\r\nC:\\"; },
            QStringLiteral(
                "condition 1 (entries): Line 2 of your entries ends with a backslash (\\).  procmail "
                "would join the next recipe line to it.") },
        { "backslash that would quote the next entry's bar",
            Def(R"([{"field": 2, "entries": ["x"], "join": 1}, {"field": 8, "entries": ["a\\\\", "b"]}])"),
            Def(R"([{"field": 2, "entries": ["x"], "join": 1}, {"field": 8, "entries": ["a\\\\\\", "b"]}])"),
            [](CRecipeDefinition* d) { d->Conditions()[1].entries = "a\\\\\\\nb"; },
            QStringLiteral("condition 2 (entries): Line 1 of your entries ends with a backslash") },
        // 50 characters that take 100 bytes pass: the box counts characters.
        { "custom header of 51 characters",
            Def(QByteArray(R"([{"field": 11, "customHeader": ")") + QString(50, QChar(0xE9)).toUtf8()
                + R"(", "entries": ["b"]}])"),
            Def(QByteArray(R"([{"field": 11, "customHeader": ")") + QByteArray(51, 'H')
                + R"(", "entries": ["b"]}])"),
            [](CRecipeDefinition* d) { d->Conditions()[0].customHeader = QByteArray(51, 'H'); },
            QStringLiteral(
                "condition 1 (customHeader): the custom header is 51 characters long; at most 50") },
        { "all messages after another condition",
            Def(R"([{"field": 2, "entries": ["a"], "join": 1}, {"field": 4, "entries": ["b"]}])"),
            Def(R"([{"field": 2, "entries": ["a"], "join": 1}, {"field": 10}])"),
            [](CRecipeDefinition* d) {
                d->Conditions()[1].field = C::AllMessages;
                d->Conditions()[1].entries.clear();
            },
            QStringLiteral("condition 2 (field): only a recipe's single, first condition") },
    };
}

// The definition's whole content, for comparing two definitions.
void CompareDefinitions(const CRecipeDefinition& actual, const CRecipeDefinition& expected)
{
    QCOMPARE(actual.Conditions(), expected.Conditions());
    QCOMPARE(actual.ActionTypes(), expected.ActionTypes());
    QCOMPARE(actual.DataMgr().AllDetails(), expected.DataMgr().AllDetails());
    QCOMPARE(actual.GetName(), expected.GetName());
    QCOMPARE(actual.HasNameHeader(), expected.HasNameHeader());
    QCOMPARE(actual.GetLoggingChoice(), expected.GetLoggingChoice());
}

} // namespace

class TestRecipeData : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void roundTripEveryField()
    {
        CRecipeDefinition d;
        QString error;
        const QByteArray json = R"({"name": "Every field", "nameHeader": true, "logging": 2,
          "conditions": [
            {"field": 0, "toKind": 102, "entries": ["a", "b"], "join": 2},
            {"field": 11, "customHeader": "X-Spam:", "invert": true, "entries": ["yes"], "join": 1},
            {"field": 9, "size": "5000", "join": 1}, {"field": 8, "entries": ["body"]}],
          "actions": [
            {"type": 0, "addSubject": "[x]"}, {"type": 1, "removeSubject": "y"},
            {"type": 2, "headerName": "N", "headerValue": "V"}, {"type": 3, "headerToRemove": "X-R:"},
            {"type": 4, "removeBetween": true, "betweenTop": "t", "betweenBottom": "b", "topMode": 2, "topLine": "tl",
             "bottomMode": 1, "bottomCount": 4},
            {"type": 5, "exitCode": -3}, {"type": 7, "forwardAddresses": ["a@b.c", "d@e.f"], "copy": true},
            {"type": 8, "responseFile": "C:\\r.txt", "includeBody": true, "includeHeaders": true,
             "responseAtTop": true, "copy": true},
            {"type": 9, "mailboxMode": 1, "customMailbox": "Mail/box", "copy": false}]})";
        QVERIFY2(CRecipeDefinitionJson::FromJson(json, &d, nullptr, &error), qPrintable(error));
        const QString path = m_dir.filePath(QStringLiteral("every.zeph"));
        QVERIFY2(d.SaveRecipeDataTo(path, &error), qPrintable(error));
        CRecipeDefinition loaded;
        QVERIFY2(loaded.LoadRecipeDataFrom(path, &error), qPrintable(error));
        QCOMPARE(loaded.Conditions(), d.Conditions());
        QCOMPARE(loaded.ActionTypes(), d.ActionTypes());
        QCOMPARE(loaded.DataMgr().AllDetails(), d.DataMgr().AllDetails());
        QCOMPARE(loaded.GetName(), d.GetName());
        QCOMPARE(loaded.HasNameHeader(), true);
        QCOMPARE(loaded.GetLoggingChoice(), 2);
        QCOMPARE(loaded.DataMgr().GetCurrentAction(), 0);
        // Another action follows from the order; the exit code list holds 99 except for type 5.
        for (int j = 0; j < loaded.GetActionCount(); ++j) {
            QCOMPARE(loaded.Action(j).anotherAction, j + 1 < loaded.GetActionCount() ? 1 : 0);
            QCOMPARE(loaded.GetExitCode(j), loaded.GetActionType(j) == ActionExitCode ? -3 : 99);
        }
        // The stored bytes: version 2, a filler of 22 to 54 bytes, the magic text.
        CFileCipher cipher;
        QByteArray plain;
        QVERIFY(cipher.DecryptFromFile(&plain, path, RecipeDataKey()));
        QCOMPARE(plain.left(4), QByteArray("\x02\x00\x00\x00", 4));
        const int fillerLength = static_cast<unsigned char>(plain.at(4));
        QVERIFY(fillerLength >= 22 && fillerLength <= 54);
        QCOMPARE(plain.mid(5 + fillerLength, 24), QByteArray("\x17ZEPH Recipe Wizard file"));
        // Everything after the filler is the independently written layout, byte for byte.
        QCOMPARE(plain.mid(5 + fillerLength), everyFieldLayout().Bytes().mid(5 + 30));
    }

    // "Every field" above, laid out by hand: per action, the reset values except its own.
    static RawFile everyFieldLayout()
    {
        RawFile raw;
        // Saved as at Finish: the pages stand after the last condition and the last action.
        raw.position = 4;
        raw.actionPosition = 9;
        raw.customHeaders = { "", "X-Spam:", "", "" };
        raw.fields = { 0, 11, 9, 8 };
        raw.toKinds = { 102, 100, 100, 100 };
        raw.inverts = { 0, 1, 0, 0 };
        raw.joins = { 2, 1, 1, 0 };
        raw.entries = { "a\r\nb", "yes", "", "body" };
        raw.sizes = { "", "", "5000", "" };
        raw.types = { 0, 1, 2, 3, 4, 5, 7, 8, 9 };
        const int actions = 9;
        // The integer lists in stored order: mailbox mode, exit code, remove-between, top mode, top
        // count, bottom mode, bottom count, include body, include headers, reserved, response at
        // top, copy, another action.
        raw.ints.clear();
        raw.ints.append({ 0, 0, 0, 0, 0, 0, 0, 0, 1 }); // mailbox mode
        raw.ints.append({ 99, 99, 99, 99, 99, -3, 99, 99, 99 }); // exit code
        raw.ints.append({ 0, 0, 0, 0, 1, 0, 0, 0, 0 }); // remove-between
        raw.ints.append({ 0, 0, 0, 0, 2, 0, 0, 0, 0 }); // top mode
        raw.ints.append(QList<qint32>(actions, 0)); // top line count
        raw.ints.append({ 0, 0, 0, 0, 1, 0, 0, 0, 0 }); // bottom mode
        raw.ints.append({ 0, 0, 0, 0, 4, 0, 0, 0, 0 }); // bottom line count
        raw.ints.append({ 0, 0, 0, 0, 0, 0, 0, 1, 0 }); // include body
        raw.ints.append({ 0, 0, 0, 0, 0, 0, 0, 1, 0 }); // include headers
        raw.ints.append(QList<qint32>(actions, 0)); // reserved
        raw.ints.append({ 0, 0, 0, 0, 0, 0, 0, 1, 0 }); // response at top
        raw.ints.append({ 0, 0, 0, 0, 0, 0, 1, 1, 0 }); // copy
        raw.ints.append({ 1, 1, 1, 1, 1, 1, 1, 1, 0 }); // another action
        const QList<QByteArray> none(actions);
        auto only = [&none](int index, const QByteArray& value) {
            QList<QByteArray> list = none;
            list[index] = value;
            return list;
        };
        raw.strings.clear();
        raw.strings.append(only(6, "a@b.c\r\nd@e.f")); // forward addresses
        raw.strings.append(only(8, "Mail/box")); // custom mailbox
        raw.strings.append(only(2, "N")); // header name part
        raw.strings.append(only(2, "V")); // header value part
        raw.strings.append(only(3, "X-R:")); // header to remove
        raw.strings.append(only(0, "[x]")); // add to Subject
        raw.strings.append(only(1, "y")); // remove from Subject
        raw.strings.append(only(4, "t")); // between top line
        raw.strings.append(only(4, "b")); // between bottom line
        raw.strings.append(only(4, "tl")); // top line
        raw.strings.append(none); // bottom line
        raw.strings.append(only(7, "C:\\r.txt")); // response file
        raw.name = "Every field";
        raw.nameHeader = 1;
        raw.logging = 2;
        return raw;
    }

    void allMessagesSaveDefault()
    {
        RawFile raw;
        raw.position = 3; // where the pages stood is ignored
        const QString path = m_dir.filePath(QStringLiteral("other.zeph"));
        QVERIFY(WriteProtected(path, raw.Bytes()));
        CRecipeDefinition d;
        QString error;
        QVERIFY2(d.LoadRecipeDataFrom(path, &error), qPrintable(error));
        // The name comes from the file, not from the file's name.
        QCOMPARE(d.GetName(), QByteArray("Spam"));
        QCOMPARE(d.GetConditionCount(), 1);
        QVERIFY(d.IsAllMessages());
        QCOMPARE(d.GetActionCount(), 1);
        QCOMPARE(d.GetMailbox(0), QByteArray("$DEFAULT"));
        QCOMPARE(d.DataMgr().GetCurrentAction(), 0);
        // What the program writes for it is what the independent layout holds, filler aside.
        const QString again = m_dir.filePath(QStringLiteral("again.zeph"));
        QVERIFY(d.SaveRecipeDataTo(again, &error));
        CFileCipher cipher;
        QByteArray plain;
        QVERIFY(cipher.DecryptFromFile(&plain, again, RecipeDataKey()));
        const int fillerLength = static_cast<unsigned char>(plain.at(4));
        raw.position = 1;
        const QByteArray expected = raw.Bytes();
        QCOMPARE(plain.mid(5 + fillerLength), expected.mid(5 + 30));
    }

    // Every shape the wizard would refuse is refused by the DEF.json reader and by the data file
    // loader alike, with a message naming the value; nothing is written and the definition being
    // loaded into stays as it was. The same shape made valid is accepted and builds.
    void badShapesAreRefusedEverywhere()
    {
        for (const BadShape& shape : BadShapes()) {
            const QString tag = QString::fromLatin1(shape.tag);
            CRecipeDefinition good;
            RecipeTextSettings settings;
            QString error;
            QVERIFY2(CRecipeDefinitionJson::FromJson(shape.good, &good, &settings, &error),
                qPrintable(tag + QStringLiteral(": ") + error));
            const QByteArray text = CActionBuilder::BuildRecipeText(good, settings);
            QVERIFY2(!text.toUpper().contains("ERROR") && text.endsWith('\n'), qPrintable(tag));

            CRecipeDefinition fromJson;
            fromJson.SetName("Unchanged");
            QVERIFY2(
                !CRecipeDefinitionJson::FromJson(shape.bad, &fromJson, nullptr, &error), qPrintable(tag));
            QVERIFY2(error.contains(shape.named), qPrintable(tag + QStringLiteral(": ") + error));
            QCOMPARE(fromJson.GetName(), QByteArray("Unchanged"));

            CRecipeDefinition bad = good;
            shape.mutate(&bad);
            QVERIFY2(!bad.Validate(&error), qPrintable(tag));
            const QString path = m_dir.filePath(QStringLiteral("shape.zeph"));
            QVERIFY(bad.SaveRecipeDataTo(path, &error));
            const QByteArray before = ReadAll(path);
            CRecipeDefinition loaded;
            loaded.SetName("Unchanged");
            QVERIFY2(!loaded.LoadRecipeDataFrom(path, &error), qPrintable(tag));
            QVERIFY2(error.contains(shape.named), qPrintable(tag + QStringLiteral(": ") + error));
            QCOMPARE(loaded.GetName(), QByteArray("Unchanged"));
            QCOMPARE(loaded.GetConditionCount(), 0);
            QCOMPARE(ReadAll(path), before);
        }
    }

    // Every data file the loader accepts exports to a DEF.json that imports back to the same
    // definition: the fixtures of the tree, the valid forms of the refused shapes, and files with
    // bare line feeds in their multi-line values.
    void exportImportAgree()
    {
        QList<QPair<QString, QByteArray>> plains; // name, deciphered bytes
        const QDir fixtures(QStringLiteral(ZEPH_TEST_DATA_DIR "/fuzz/recipedata"));
        for (const QString& name : fixtures.entryList(QDir::Files))
            plains.append({ name, ReadAll(fixtures.filePath(name)) });
        plains.append({ QStringLiteral("every field"), everyFieldLayout().Bytes() });
        RawFile bareLineFeeds;
        bareLineFeeds.fields = { 4 };
        bareLineFeeds.entries = { "a\nb\r\rc\r\n" };
        bareLineFeeds.types = { 7 };
        bareLineFeeds.strings[0] = { "a@b.c\nd@e.f" };
        plains.append({ QStringLiteral("bare line feeds"), bareLineFeeds.Bytes() });
        QStringList paths;
        for (const auto& [name, plain] : plains) {
            paths.append(m_dir.filePath(name + QStringLiteral(".zeph")));
            QVERIFY(WriteProtected(paths.last(), plain));
        }
        // The enciphered fixtures that are whole files (cut.zeph is cut short on purpose).
        for (const char* name : { "all-messages.zeph", "spam.zeph" })
            paths.append(QStringLiteral(ZEPH_TEST_DATA_DIR "/fuzz/cipher/") + QLatin1String(name));
        for (const BadShape& shape : BadShapes()) {
            CRecipeDefinition good;
            QString error;
            QVERIFY(CRecipeDefinitionJson::FromJson(shape.good, &good, nullptr, &error));
            paths.append(m_dir.filePath(QString::fromLatin1(shape.tag) + QStringLiteral(".zeph")));
            QVERIFY(good.SaveRecipeDataTo(paths.last(), &error));
        }
        QVERIFY(paths.size() > BadShapes().size() + 4);
        for (const QString& path : paths) {
            CRecipeDefinition loaded;
            QString error;
            QVERIFY2(
                loaded.LoadRecipeDataFrom(path, &error), qPrintable(path + QStringLiteral(": ") + error));
            CRecipeDefinition imported;
            QVERIFY2(CRecipeDefinitionJson::FromJson(
                         CRecipeDefinitionJson::ToJson(loaded), &imported, nullptr, &error),
                qPrintable(path + QStringLiteral(": ") + error));
            CompareDefinitions(imported, loaded);
        }
        // Bare line feeds are kept as the line breaks they are.
        CRecipeDefinition loaded;
        QString error;
        QVERIFY(loaded.LoadRecipeDataFrom(m_dir.filePath(QStringLiteral("bare line feeds.zeph")), &error));
        QCOMPARE(loaded.GetEntries(0), QByteArray("a\r\nb\r\n\r\nc\r\n"));
        QCOMPARE(loaded.GetForwardAddresses(0), QByteArray("a@b.c\r\nd@e.f"));
    }

    void refused_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QString>("reason");
        auto row = [](const char* tag, const RawFile& raw, const char* reason) {
            QTest::newRow(tag) << raw.Bytes() << QString::fromLatin1(reason);
        };
        RawFile r;
        r.version = 1;
        row("version 1", r, "version");
        r = RawFile();
        r.magic = "zeph Recipe Wizard file";
        row("magic in other case", r, "not a recipe data file");
        r = RawFile();
        r.schema[3] = 2;
        row("unknown section schema", r, "schema");
        r = RawFile();
        r.toKinds = { 100, 100 };
        row("condition lists of unequal length", r, "differ in length");
        r = RawFile();
        r.joins = {};
        row("entry lists shorter than the fields", r, "do not match");
        r = RawFile();
        r.ints[0] = { 0, 0 };
        row("detail list longer than the types", r, "do not match");
        r = RawFile();
        r.fields = {};
        r.customHeaders = {};
        r.toKinds = {};
        r.inverts = {};
        r.joins = {};
        r.entries = {};
        r.sizes = {};
        row("no conditions", r, "no condition");
        r = RawFile();
        r.joins = { 2 };
        row("last condition joined", r, "does not exist");
        r = RawFile();
        r.fields = { 12 };
        row("field out of range", r, "unknown field");
        r = RawFile();
        r.fields = { 0 };
        r.toKinds = { 103 };
        row("To kind out of range", r, "condition 1 (toKind): 103 is out of range");
        r = RawFile();
        r.fields = { 9 };
        r.sizes = { "10k" };
        row("size not a number", r, "not a number of bytes");
        r = RawFile();
        r.types = { 10 };
        row("type out of range", r, "unknown type");
        r = RawFile();
        r.types = { 7 };
        r.strings[0] = { "a@b.c\r\n`reboot`" };
        row("forward address with shell characters", r, "cannot be used");
        r = RawFile();
        r.types = { 7 };
        r.strings[0] = { "-oQ/tmp/x" };
        row("forward address beginning with a dash", r, "cannot be used");
        r = RawFile();
        r.ints[0] = { 1 };
        r.strings[1] = { "box\n/dev/null" };
        row("line break in the mailbox", r, "line break");
        r = RawFile();
        r.types = { 4 };
        r.ints[3] = { 3 }; // top mode
        row("body mode out of range", r, "action 1 (topMode): 3 is out of range");
        r = RawFile();
        r.name = "a\nb";
        row("line break in the name", r, "name");
        QByteArray huge = RawFile().Bytes();
        huge.truncate(huge.size() - 10);
        QTest::newRow("truncated") << huge << QStringLiteral("bad format");
        QByteArray counted = RawFile().Bytes();
        const qsizetype at = 4 + 1 + 30 + 1 + 23 + 8; // the count of the custom header list
        counted.replace(at, 2, QByteArray("\xff\xff\xff\xff\xff\xff", 6));
        QTest::newRow("crafted huge count") << counted << QStringLiteral("bad format");
    }

    void refused()
    {
        QFETCH(QByteArray, plain);
        QFETCH(QString, reason);
        const QString path = m_dir.filePath(QStringLiteral("bad.zeph"));
        QVERIFY(WriteProtected(path, plain));
        const QByteArray before = ReadAll(path);
        CRecipeDefinition d;
        d.SetName("Unchanged");
        QString error;
        QVERIFY(!d.LoadRecipeDataFrom(path, &error));
        QVERIFY2(error.contains(reason), qPrintable(error));
        QCOMPARE(d.GetName(), QByteArray("Unchanged"));
        QCOMPARE(d.GetConditionCount(), 0);
        QCOMPARE(ReadAll(path), before);
    }

    void notProtectedOrMissing()
    {
        const QString path = m_dir.filePath(QStringLiteral("plain.zeph"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(200, 'x'));
        f.close();
        CRecipeDefinition d;
        QString error;
        QVERIFY(!d.LoadRecipeDataFrom(path, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!d.LoadRecipeDataFrom(m_dir.filePath(QStringLiteral("missing.zeph")), &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRecipeData)
#include "tst_recipedata.moc"
