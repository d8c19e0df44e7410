// zeph-cli recipe and recipes: the contract's output, and bad input that changes no file.
#include "ZephCli.h"
#include "core/recipes/CRecipeFile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Result = ZephCliRun;

Result Cli(const QStringList& args)
{
    return RunZephCli(args);
}

const QByteArray Sample = R"({"name": "Spam", "logging": 2,
  "conditions": [{"field": 4, "entries": ["cheap", "offer"], "join": 2}, {"field": 2, "entries": ["spammer"]}],
  "actions": [{"type": 2, "headerName": "Spam", "headerValue": "yes"},
              {"type": 9, "mailboxMode": 1, "customMailbox": "spam"}],
  "settings": {"returnAddress": "me@example.org"}})";

} // namespace

class TestRecipeCli : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString Put(const QString& name, const QByteArray& content)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(content);
        return path;
    }
    QByteArray Get(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

private slots:
    void buildBlockSummary()
    {
        // The texts as they were checked by hand and run by procmail; the CLI must print them
        // byte for byte.
        const QByteArray text = R"(:0
* ! ^Subject:.*(cheap|offer)
* ! ^From:.*spammer
{ }
:0E
{
	:0
	* ^To:.*\/[^ 	].*
	{ ZEPH_TO=$MATCH }

	:0
	* ^From:.*\/[^ 	].*
	{ ZEPH_FROM=$MATCH }

LOG="RECIPE: Spam
TO: $ZEPH_TO
FROM: $ZEPH_FROM $NL"

	:0fhw
	| formail -A"X-Spam: yes" 

	:0:
	spam

}
)";
        const QByteArray summary = R"(If at least one of the following conditions match:
(Start of grouping for 'or' conditions)
If there is a "Subject:" header containing the string:
cheap
OR
offer
Or this condition:
If there is a "From:" header containing the string:
spammer
End of grouping for 'or' conditions



Procmail will add the following header to the message:
X-Spam: yes
AND
Procmail will save it to a mailbox named spam

There will be extended logging for this recipe.
)";
        const QByteArray block = R"(
##_ZEPH_RECIPE_BEGIN_##Spam
#  If at least one of the following conditions match:
#  (Start of grouping for 'or' conditions)
#  If there is a "Subject:" header containing the string:
#  cheap
#  OR
#  offer
#  Or this condition:
#  If there is a "From:" header containing the string:
#  spammer
#  End of grouping for 'or' conditions
#  
#  
#  
#  Procmail will add the following header to the message:
#  X-Spam: yes
#  AND
#  Procmail will save it to a mailbox named spam
#  
#  There will be extended logging for this recipe.
#  
)" + text + R"(##_ZEPH_RECIPE_END_##Spam
)";
        const QString def = Put(QStringLiteral("def.json"), Sample);
        const Result build = Cli({ QStringLiteral("recipe"), QStringLiteral("build"), def });
        QCOMPARE(build.code, 0);
        QCOMPARE(build.out, text);
        const Result blockResult = Cli({ QStringLiteral("recipe"), QStringLiteral("block"), def });
        QCOMPARE(blockResult.code, 0);
        QCOMPARE(blockResult.out, block);
        const Result summaryResult = Cli({ QStringLiteral("recipe"), QStringLiteral("summary"), def });
        QCOMPARE(summaryResult.code, 0);
        QCOMPARE(summaryResult.out, summary);
    }

    void importExport()
    {
        const QString def = Put(QStringLiteral("def.json"), Sample);
        const QString data = m_dir.filePath(QStringLiteral("Spam.zeph"));
        QCOMPARE(Cli({ QStringLiteral("recipe"), QStringLiteral("import"), def, data }).code, 0);
        const Result exported = Cli({ QStringLiteral("recipe"), QStringLiteral("export"), data });
        QCOMPARE(exported.code, 0);
        // The exported definition builds the same recipe.
        const QString again = Put(QStringLiteral("again.json"), exported.out);
        QCOMPARE(Cli({ QStringLiteral("recipe"), QStringLiteral("build"), again })
                     .out.replace("you@example.com", "me@example.org"),
            Cli({ QStringLiteral("recipe"), QStringLiteral("build"), def }).out);
        const Result damaged = Cli({ QStringLiteral("recipe"), QStringLiteral("export"), def });
        QCOMPARE(damaged.code, 1);
        QVERIFY(!damaged.err.isEmpty());
    }

    void badDefinitions_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QByteArray>("named"); // the key the message must name
        QTest::newRow("not JSON") << QByteArray("{\"name\": ") << QByteArray("JSON");
        QTest::newRow("missing name")
            << QByteArray(R"({"conditions": [{"field": 10}], "actions": [{"type": 6}]})")
            << QByteArray("name");
        QTest::newRow("unknown key") << QByteArray(
            R"({"name": "a", "colour": 1, "conditions": [{"field": 10}],
                                                     "actions": [{"type": 6}]})")
                                     << QByteArray("colour");
        QTest::newRow("wrong type") << QByteArray(
            R"({"name": "a", "conditions": [{"field": "4"}], "actions": [{"type": 6}]})")
                                    << QByteArray("conditions[0].field");
        QTest::newRow("field out of range")
            << QByteArray(R"({"name": "a", "conditions": [{"field": 12}], "actions": [{"type": 6}]})")
            << QByteArray("conditions[0].field");
        QTest::newRow("fractional number") << QByteArray(
            R"({"name": "a", "conditions": [{"field": 10}], "actions": [{"type": 5, "exitCode": 1.5}]})")
                                           << QByteArray("actions[0].exitCode");
        QTest::newRow("logging out of range") << QByteArray(
            R"({"name": "a", "logging": 3, "conditions": [{"field": 10}], "actions": [{"type": 6}]})")
                                              << QByteArray("logging");
        QTest::newRow("last join") << QByteArray(
            R"({"name": "a", "conditions": [{"field": 10, "join": 1}], "actions": [{"type": 6}]})")
                                   << QByteArray("conditions[0].join");
        QTest::newRow("key of another type") << QByteArray(
            R"({"name": "a", "conditions": [{"field": 10}], "actions": [{"type": 9, "exitCode": 3}]})")
                                             << QByteArray("actions[0].exitCode");
        QTest::newRow("line break in a value") << QByteArray(
            R"({"name": "a", "conditions": [{"field": 10}], "actions": [{"type": 9, "customMailbox": "a\nb"}]})")
                                               << QByteArray("actions[0].customMailbox");
        QTest::newRow("header to remove behind a blank")
            << QByteArray(R"({"name": "a", "conditions": [{"field": 10}],
                             "actions": [{"type": 3, "headerToRemove": " X-Loop"}, {"type": 9}]})")
            << QByteArray("(headerToRemove)");
        QTest::newRow("forward to a shell word") << QByteArray(R"({"name": "a", "conditions": [{"field": 10}],
                             "actions": [{"type": 7, "forwardAddresses": ["a@b.c;reboot"]}]})")
                                                 << QByteArray("(forwardAddresses)");
        QTest::newRow("no actions") << QByteArray(
            R"({"name": "a", "conditions": [{"field": 10}], "actions": []})")
                                    << QByteArray("actions");
        QTest::newRow("mailbox that pipes") << QByteArray(R"({"name": "a", "conditions": [{"field": 10}],
                             "actions": [{"type": 9, "customMailbox": " | rm -rf $HOME"}]})")
                                            << QByteArray("action 1 (customMailbox)");
        QTest::newRow("body condition without entries")
            << QByteArray(R"({"name": "a", "conditions": [{"field": 8}], "actions": [{"type": 6}]})")
            << QByteArray("condition 1 (entries)");
        QTest::newRow("delete before another action") << QByteArray(
            R"({"name": "a", "conditions": [{"field": 10}], "actions": [{"type": 6}, {"type": 5}]})")
                                                      << QByteArray("action 1 (type)");
        QTest::newRow("size not a number") << QByteArray(
            R"({"name": "a", "conditions": [{"field": 9, "size": "big"}], "actions": [{"type": 6}]})")
                                           << QByteArray("condition 1 (size)");
    }

    void badDefinitions()
    {
        QFETCH(QByteArray, json);
        QFETCH(QByteArray, named);
        const QString def = Put(QStringLiteral("bad.json"), json);
        const QString out = m_dir.filePath(QStringLiteral("bad.zeph"));
        QFile::remove(out);
        for (const QString& what :
            { QStringLiteral("build"), QStringLiteral("block"), QStringLiteral("summary") }) {
            const Result r = Cli({ QStringLiteral("recipe"), what, def });
            QCOMPARE(r.code, 1);
            QVERIFY(r.out.isEmpty());
            QVERIFY2(r.err.contains(named), r.err.constData());
        }
        QCOMPARE(Cli({ QStringLiteral("recipe"), QStringLiteral("import"), def, out }).code, 1);
        QVERIFY(!QFile::exists(out));
    }

    // A file with old Mac line ends: every command reads its lines as lines and writes LF.
    void macLineEnds_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QByteArray>("content"); // LF line ends; the test turns them into CRs
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("file"); // after the command, the group's name as "G"
        const QByteArray spam = "##_ZEPH_RECIPE_BEGIN_##Spam\n:0\n* ^Subject:.*x\n/dev/null\n"
                                "##_ZEPH_RECIPE_END_##Spam\n";
        const QByteArray disabled = "##_ZEPH_RECIPE_BEGIN_##Spam\n##_ZEPH_COMMENT_##:0\n"
                                    "##_ZEPH_COMMENT_##* ^Subject:.*x\n##_ZEPH_COMMENT_##/dev/null\n"
                                    "##_ZEPH_RECIPE_END_##Spam\n";
        const QByteArray outside = ":0:\n* ^From:.*boss\nimportant\n";
        const QByteArray group = "##_ZEPH_RECIPE_BEGIN_##G\n" + outside + "##_ZEPH_RECIPE_END_##G\n";
        QTest::newRow("list") << QStringList { QStringLiteral("list") } << spam + outside
                              << QByteArray("enabled\tSpam\nunparsed\tG\n") << QByteArray();
        QTest::newRow("disable") << QStringList { QStringLiteral("disable"), QStringLiteral("Spam") }
                                 << spam + outside << QByteArray() << disabled + "\n" + group + "\n";
        QTest::newRow("enable") << QStringList { QStringLiteral("enable"), QStringLiteral("Spam") }
                                << disabled + outside << QByteArray() << spam + "\n" + group + "\n";
        QTest::newRow("delete") << QStringList { QStringLiteral("delete"), QStringLiteral("Spam") }
                                << spam + outside << QByteArray() << group + "\n";
        QTest::newRow("move") << QStringList { QStringLiteral("move"), QStringLiteral("Spam"),
            QStringLiteral("2") }
                              << spam + outside << QByteArray() << group + "\n" + spam + "\n";
    }

    void macLineEnds()
    {
        QFETCH(QStringList, command);
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, file);
        const QString path = Put(QStringLiteral("mac.recipes"), QByteArray(content).replace('\n', '\r'));
        command.insert(1, path);
        const Result r = Cli(QStringList { QStringLiteral("recipes") } + command);
        QCOMPARE(r.code, 0);
        QCOMPARE(r.err, QByteArray());
        // The unparsed lines get a generated name; it is "G" below.
        auto generic = [](QByteArray text) {
            const QByteArray begin = "##_ZEPH_RECIPE_BEGIN_##";
            for (const QByteArray& line : text.split('\n')) {
                const QByteArray name = line.startsWith(begin) ? line.mid(begin.size())
                    : line.startsWith("unparsed\t")            ? line.mid(9)
                                                               : QByteArray();
                if (!name.isEmpty() && name != "Spam" && name != "G")
                    text.replace(name, "G");
            }
            return text;
        };
        QCOMPARE(generic(r.out), out);
        if (!file.isEmpty())
            QCOMPARE(generic(Get(path)), file);
        else
            QCOMPARE(Get(path), QByteArray(content).replace('\n', '\r'));
    }

    void recipeList()
    {
        const QByteArray a = CRecipeFile::BuildRecipeBlock("A", "a", ":0\n* ^Subject:.*a\n/dev/null\n");
        const QByteArray b = CRecipeFile::BuildRecipeBlock("B b", "b", ":0\n* ^Subject:.*b\n/dev/null\n");
        const QString file = Put(QStringLiteral("zeph.recipes"), a + "# typed by hand\n" + b);
        const QByteArray before = Get(file);

        Result r = Cli({ QStringLiteral("recipes"), QStringLiteral("list"), file });
        QCOMPARE(r.code, 0);
        const QList<QByteArray> lines = r.out.split('\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.at(0), QByteArray("enabled\tA"));
        QVERIFY(lines.at(1).startsWith("unparsed\t"));
        QCOMPARE(lines.at(2), QByteArray("enabled\tB b"));
        QCOMPARE(Get(file), before);

        QCOMPARE(
            Cli({ QStringLiteral("recipes"), QStringLiteral("disable"), file, QStringLiteral("B b") }).code,
            0);
        QCOMPARE(Cli({ QStringLiteral("recipes"), QStringLiteral("move"), file, QStringLiteral("B b"),
                         QStringLiteral("1") })
                     .code,
            0);
        r = Cli({ QStringLiteral("recipes"), QStringLiteral("list"), file });
        // Writing the list turned the hand-typed lines into a block of their own.
        QVERIFY2(r.out.startsWith("disabled\tB b\nenabled\tA\nenabled\t"), r.out.constData());
        QCOMPARE(
            Cli({ QStringLiteral("recipes"), QStringLiteral("enable"), file, QStringLiteral("B b") }).code,
            0);
        QCOMPARE(
            Cli({ QStringLiteral("recipes"), QStringLiteral("delete"), file, QStringLiteral("A") }).code, 0);
        r = Cli({ QStringLiteral("recipes"), QStringLiteral("list"), file });
        QVERIFY2(r.out.startsWith("enabled\tB b\nenabled\t"), r.out.constData());
        QVERIFY(Get(file).contains("# typed by hand\n"));

        // Refusals leave the file as it is.
        const QByteArray now = Get(file);
        QCOMPARE(Cli({ QStringLiteral("recipes"), QStringLiteral("delete"), file, QStringLiteral("Missing") })
                     .code,
            1);
        QCOMPARE(Cli({ QStringLiteral("recipes"), QStringLiteral("move"), file, QStringLiteral("B b"),
                         QStringLiteral("9") })
                     .code,
            1);
        QCOMPARE(Cli({ QStringLiteral("recipes"), QStringLiteral("move"), file, QStringLiteral("B b"),
                         QStringLiteral("x") })
                     .code,
            2);
        QCOMPARE(Cli({ QStringLiteral("recipes"), QStringLiteral("frobnicate"), file }).code, 2);
        QCOMPARE(
            Cli({ QStringLiteral("recipes"), QStringLiteral("list"), m_dir.filePath(QStringLiteral("none")) })
                .code,
            1);
        QCOMPARE(Get(file), now);
    }
};

QTEST_GUILESS_MAIN(TestRecipeCli)
#include "tst_recipecli.moc"
