// Generated recipes run by real procmail as a throwaway user: every condition field and join,
// every action type, the logging lines and the loop guards.
#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/CRecipeDefinitionJson.h"
#include "core/recipes/CRecipeFile.h"
#include "core/recipes/CRecipeSummary.h"
#include "support/ProcmailSandbox.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

using Sandbox = ProcmailSandbox;

QByteArray M(const QByteArray& from, const QByteArray& subject, const QByteArray& body = "Hello.\n",
    const QByteArray& extra = QByteArray(), const QByteArray& to = "me@example.org")
{
    return Sandbox::Message(from, to, subject, body, extra);
}

const QByteArray DefaultSettings = R"("settings": {"returnAddress": "me@example.org", "name": "Test User"})";

// The recipe block of a JSON definition, as the wizard writes it into the recipe file.
QByteArray Block(const QByteArray& json, CRecipeDefinition* out = nullptr)
{
    CRecipeDefinition definition;
    RecipeTextSettings settings;
    QString error;
    if (!CRecipeDefinitionJson::FromJson(json, &definition, &settings, &error)) {
        qWarning("%s\n%s", qPrintable(error), json.constData());
        return QByteArray();
    }
    if (out)
        *out = definition;
    return CRecipeFile::BuildRecipeBlock(definition.GetName(), CRecipeSummary::BuildSummaryText(definition),
        CActionBuilder::BuildRecipeText(definition, settings));
}

QByteArray Definition(
    const QByteArray& conditions, const QByteArray& actions, const QByteArray& more = QByteArray())
{
    return "{\"name\": \"Test\", \"conditions\": " + conditions + ", \"actions\": " + actions + ", "
        + DefaultSettings + more + "}";
}

} // namespace

class TestProcmailRecipes : public QObject
{
    Q_OBJECT

    Sandbox m_sandbox;
    Sandbox m_verbose;

    // Installs one recipe block and checks that it went in.
    bool Use(Sandbox& sandbox, const QByteArray& block)
    {
        return !block.isEmpty() && sandbox.SetRecipes(block);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sandbox.Start(), qPrintable(m_sandbox.Error()));
        Sandbox::Options verbose;
        verbose.verbose = true;
        QVERIFY2(m_verbose.Start(verbose), qPrintable(m_verbose.Error()));
    }

    void init()
    {
        m_sandbox.ClearOutputs();
        m_verbose.ClearOutputs();
    }

    void conditions_data()
    {
        QTest::addColumn<QByteArray>("conditions");
        QTest::addColumn<QList<QByteArray>>("messages");
        QTest::addColumn<QByteArray>("expected"); // per message: 1 matched, 0 not

        QTest::newRow("To: header") << QByteArray(
            R"([{"field": 0, "toKind": 100, "entries": ["joe@example.org"]}])")
                                    << QList<QByteArray> { M("a@example.net", "s", "b\n", {},
                                                               "joe@example.org"),
                                           M("a@example.net", "s", "b\n", "Cc: joe@example.org\n") }
                                    << QByteArray("10");
        QTest::newRow("TO macro")
            << QByteArray(R"([{"field": 0, "toKind": 101, "entries": ["joe@example.org"]}])")
            << QList<QByteArray> { M("a@example.net", "s", "b\n", "Cc: joe@example.org\n"),
                   M("joe@example.org", "s"), M("a@example.net", "s", "b\n", {}, "x.joe@example.org") }
            << QByteArray("101");
        QTest::newRow("TO_ macro") << QByteArray(
            R"([{"field": 0, "toKind": 102, "entries": ["joe@example.org"]}])")
                                   << QList<QByteArray> { M("a@example.net", "s", "b\n", {},
                                                              "Joe <joe@example.org>"),
                                          M("a@example.net", "s", "b\n", "Cc: joe@example.org\n"),
                                          M("a@example.net", "s", "b\n", {}, "x.joe@example.org") }
                                   << QByteArray("110");
        QTest::newRow("Cc") << QByteArray(R"([{"field": 1, "entries": ["boss"]}])")
                            << QList<QByteArray> { M("a@example.net", "s", "b\n", "Cc: boss@example.org\n"),
                                   M("a@example.net", "s", "b\n", {}, "boss@example.org") }
                            << QByteArray("10");
        QTest::newRow("From") << QByteArray(R"([{"field": 2, "entries": ["joe"]}])")
                              << QList<QByteArray> { M("joe@example.net", "s"),
                                     M("a@example.net", "s", "b\n", {}, "joe@x.org") }
                              << QByteArray("10");
        QTest::newRow("Sender") << QByteArray(R"([{"field": 3, "entries": ["list-owner"]}])")
                                << QList<QByteArray> { M("a@example.net", "s", "b\n",
                                                           "Sender: list-owner@example.net\n"),
                                       M("list-owner@example.net", "s") }
                                << QByteArray("10");
        QTest::newRow("Subject, two entries")
            << QByteArray(R"([{"field": 4, "entries": ["cheap", "offer"]}])")
            << QList<QByteArray> { M("a@example.net", "cheap watches"), M("a@example.net", "special offer"),
                   M("a@example.net", "hello") }
            << QByteArray("110");
        QTest::newRow("Received") << QByteArray(R"([{"field": 5, "entries": ["mx.example.net"]}])")
                                  << QList<QByteArray> { M("a@example.net", "s", "b\n",
                                                             "Received: from mx.example.net by host\n"),
                                         M("a@example.net", "mx.example.net") }
                                  << QByteArray("10");
        QTest::newRow("Reply-To") << QByteArray(R"([{"field": 6, "entries": ["lists"]}])")
                                  << QList<QByteArray> { M("a@example.net", "s", "b\n",
                                                             "Reply-To: lists@example.net\n"),
                                         M("lists@example.net", "s") }
                                  << QByteArray("10");
        QTest::newRow("anywhere in the headers")
            << QByteArray(R"([{"field": 7, "entries": ["X-Mailer: Bulk"]}])")
            << QList<QByteArray> { M("a@example.net", "s", "b\n", "X-Mailer: Bulk 1.0\n"),
                   M("a@example.net", "s", "X-Mailer: Bulk\n") }
            << QByteArray("10");
        QTest::newRow("body") << QByteArray(R"([{"field": 8, "entries": ["Dear friend"]}])")
                              << QList<QByteArray> { M("a@example.net", "s", "Hi.\nDear friend, buy.\n"),
                                     M("a@example.net", "Dear friend") }
                              << QByteArray("10");
        QTest::newRow("size") << QByteArray(R"([{"field": 9, "size": "2000"}])")
                              << QList<QByteArray> { M("a@example.net", "s", QByteArray(3000, 'x') + "\n"),
                                     M("a@example.net", "s") }
                              << QByteArray("10");
        QTest::newRow("smallest size") << QByteArray(R"([{"field": 9, "size": "1"}])")
                                       << QList<QByteArray> { M("a@example.net", "s") } << QByteArray("1");
        QTest::newRow("largest size")
            << QByteArray(R"([{"field": 9, "size": "9999999999"}])")
            << QList<QByteArray> { M("a@example.net", "s", QByteArray(3000, 'x') + "\n") } << QByteArray("0");
        QTest::newRow("all messages") << QByteArray(R"([{"field": 10}])")
                                      << QList<QByteArray> { M("a@example.net", "s") } << QByteArray("1");
        QTest::newRow("custom header")
            << QByteArray(R"([{"field": 11, "customHeader": "X-Spam-Flag:", "entries": ["YES"]}])")
            << QList<QByteArray> { M("a@example.net", "s", "b\n", "X-Spam-Flag: YES\n"),
                   M("a@example.net", "s", "b\n", "X-Spam-Flag: NO\n") }
            << QByteArray("10");
        QTest::newRow("Subject without entries")
            << QByteArray(R"([{"field": 4}])")
            << QList<QByteArray> { M("a@example.net", "anything"), M("a@example.net", QByteArray()) }
            << QByteArray("10");
        QTest::newRow("inverted Subject")
            << QByteArray(R"([{"field": 4, "invert": true, "entries": ["cheap"]}])")
            << QList<QByteArray> { M("a@example.net", "hello"), M("a@example.net", "cheap") }
            << QByteArray("10");
        QTest::newRow("inverted size") << QByteArray(R"([{"field": 9, "invert": true, "size": "2000"}])")
                                       << QList<QByteArray> { M("a@example.net", "s"),
                                              M("a@example.net", "s", QByteArray(3000, 'x') + "\n") }
                                       << QByteArray("10");
        QTest::newRow("AND") << QByteArray(R"([{"field": 2, "entries": ["joe"], "join": 1},
                                              {"field": 4, "entries": ["report"]}])")
                             << QList<QByteArray> { M("joe@example.net", "report"),
                                    M("joe@example.net", "hello"), M("bob@example.net", "report") }
                             << QByteArray("100");
        QTest::newRow("OR") << QByteArray(R"([{"field": 4, "entries": ["alpha"], "join": 2},
                                             {"field": 4, "entries": ["beta"]}])")
                            << QList<QByteArray> { M("a@example.net", "alpha"), M("a@example.net", "beta"),
                                   M("a@example.net", "gamma") }
                            << QByteArray("110");
        QTest::newRow("AND, OR group, AND")
            << QByteArray(R"([{"field": 2, "entries": ["joe"], "join": 1},
                             {"field": 4, "entries": ["alpha"], "join": 2},
                             {"field": 4, "entries": ["beta"], "join": 1},
                             {"field": 0, "toKind": 100, "entries": ["zed"]}])")
            << QList<QByteArray> { M("joe@example.net", "alpha", "b\n", {}, "zed@example.org"),
                   M("joe@example.net", "beta", "b\n", {}, "zed@example.org"),
                   M("joe@example.net", "gamma", "b\n", {}, "zed@example.org"),
                   M("bob@example.net", "alpha", "b\n", {}, "zed@example.org"),
                   M("joe@example.net", "alpha", "b\n", {}, "other@example.org") }
            << QByteArray("11000");
        QTest::newRow("two OR groups joined by AND")
            << QByteArray(R"([{"field": 4, "entries": ["alpha"], "join": 2},
                             {"field": 4, "entries": ["beta"], "join": 1},
                             {"field": 2, "entries": ["joe"], "join": 2},
                             {"field": 2, "entries": ["bob"]}])")
            << QList<QByteArray> { M("joe@example.net", "alpha"), M("bob@example.net", "beta"),
                   M("ann@example.net", "alpha"), M("joe@example.net", "gamma") }
            << QByteArray("1100");
        QTest::newRow("OR group first, then AND")
            << QByteArray(R"([{"field": 4, "entries": ["alpha"], "join": 2},
                             {"field": 2, "entries": ["joe"], "join": 1},
                             {"field": 0, "toKind": 100, "entries": ["zed"]}])")
            << QList<QByteArray> { M("a@example.net", "alpha", "b\n", {}, "zed@example.org"),
                   M("joe@example.net", "s", "b\n", {}, "zed@example.org"),
                   M("a@example.net", "alpha", "b\n", {}, "other@example.org"),
                   M("a@example.net", "s", "b\n", {}, "zed@example.org") }
            << QByteArray("1100");
        QTest::newRow("inverted condition in an OR group")
            << QByteArray(R"([{"field": 4, "entries": ["alpha"], "join": 2},
                             {"field": 2, "invert": true, "entries": ["joe"]}])")
            << QList<QByteArray> { M("joe@example.net", "alpha"), M("bob@example.net", "beta"),
                   M("joe@example.net", "beta") }
            << QByteArray("110");
        QTest::newRow("header AND body")
            << QByteArray(R"([{"field": 2, "entries": ["joe"], "join": 1},
                             {"field": 8, "entries": ["Dear friend"]}])")
            << QList<QByteArray> { M("joe@example.net", "s", "Dear friend\n"), M("joe@example.net", "s"),
                   M("bob@example.net", "s", "Dear friend\n") }
            << QByteArray("100");
        QTest::newRow("body OR body")
            << QByteArray(R"([{"field": 8, "entries": ["alpha"], "join": 2},
                             {"field": 8, "entries": ["beta"]}])")
            << QList<QByteArray> { M("a@example.net", "s", "alpha\n"), M("a@example.net", "s", "beta\n"),
                   M("a@example.net", "alpha", "gamma\n") }
            << QByteArray("110");
        QTest::newRow("leading operator anywhere in the headers")
            << QByteArray(R"([{"field": 7, "entries": ["!important"]}])")
            << QList<QByteArray> { M("a@example.net", "s", "b\n", "X-Flag: !important\n"),
                   M("a@example.net", "s") }
            << QByteArray("10");
        QTest::newRow("alternation inside one entry")
            << QByteArray(R"([{"field": 4, "entries": ["cheap|viagra"]}])")
            << QList<QByteArray> { M("a@example.net", "cheap"),
                   M("a@example.net", "hello", "b\n", "X-Other: viagra\n") }
            << QByteArray("10");
        // A doubled backslash at the end matches one backslash (a single one is refused).
        QTest::newRow("entry ending in a backslash")
            << QByteArray(
                   R"([{"field": 4, "entries": ["C:\\\\"], "join": 1}, {"field": 2, "entries": ["joe"]}])")
            << QList<QByteArray> { M("joe@example.net", "path C:\\ here"), M("joe@example.net", "C: here"),
                   M("bob@example.net", "path C:\\ here") }
            << QByteArray("100");
        QByteArray many = "[{\"field\": 4, \"entries\": [";
        for (int i = 0; i < 40; ++i)
            many += (i ? ", " : "") + QByteArray("\"word") + QByteArray::number(100000 + i) + "\"";
        many += "]}]";
        QTest::newRow("forty entries on continued lines")
            << many
            << QList<QByteArray> { M("a@example.net", "x word100020 y"), M("a@example.net", "word100039"),
                   M("a@example.net", "word999999") }
            << QByteArray("110");
    }

    void conditions()
    {
        QFETCH(QByteArray, conditions);
        QFETCH(QList<QByteArray>, messages);
        QFETCH(QByteArray, expected);
        const QByteArray block = Block(Definition(conditions, R"([{"type": 9, "customMailbox": "hit"}])"));
        QVERIFY(Use(m_sandbox, block));
        for (qsizetype i = 0; i < messages.size(); ++i) {
            m_sandbox.ClearOutputs();
            QCOMPARE(m_sandbox.Deliver(messages.at(i)), 0);
            const bool hit = m_sandbox.Folder(QStringLiteral("hit")).size() == 1;
            const bool inbox = m_sandbox.Inbox().size() == 1;
            QVERIFY2(hit != inbox,
                qPrintable(QStringLiteral("message %1 delivered %2 times").arg(i).arg(hit + inbox)));
            QVERIFY2(hit == (expected.at(i) == '1'),
                qPrintable(QStringLiteral("message %1 %2 but should%3\n%4\n%5")
                               .arg(i)
                               .arg(hit ? QStringLiteral("matched") : QStringLiteral("did not match"),
                                   hit ? QStringLiteral(" not") : QString(), QString::fromUtf8(block),
                                   QString::fromUtf8(m_sandbox.Log()))));
        }
    }

    void headerEdits_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QByteArray>("value"); // null: the header must be absent

        const QByteArray hello = R"([{"field": 4, "entries": ["hello"]}])";
        QTest::newRow("subject tag added")
            << Definition(hello, R"([{"type": 0, "addSubject": "[TAG]"}])")
            << M("a@example.net", "hello there") << QByteArray("Subject") << QByteArray("[TAG] hello there");
        QTest::newRow("subject string removed")
            << Definition(hello, R"([{"type": 1, "removeSubject": "SPAM: "}])")
            << M("a@example.net", "SPAM: hello") << QByteArray("Subject") << QByteArray("hello");
        QTest::newRow("header added")
            << Definition(hello, R"([{"type": 2, "headerName": "Filtered", "headerValue": "by zeph"}])")
            << M("a@example.net", "hello") << QByteArray("X-Filtered") << QByteArray("by zeph");
        QTest::newRow("header removed") << Definition(hello, R"([{"type": 3, "headerToRemove": "X-Junk:"}])")
                                        << M("a@example.net", "hello", "b\n", "X-Junk: yes\nX-Junk: twice\n")
                                        << QByteArray("X-Junk") << QByteArray();
        QTest::newRow("name header with shell characters")
            << QByteArray(R"({"name": "Save $5 `echo X` deals now", "nameHeader": true,
                            "conditions": [{"field": 4, "entries": ["hello"]}],
                            "actions": [{"type": 2, "headerName": "A", "headerValue": "1"},
                                        {"type": 3, "headerToRemove": "X-Junk:"}], )")
                + DefaultSettings + "}"
            << M("a@example.net", "hello", "b\n", "X-Junk: yes\n") << QByteArray("X-ZEPH-RECIPE")
            << QByteArray("Save $5 `echo X` deals now");
        QTest::newRow("all header edits in one filter") << Definition(
            hello, R"([{"type": 0, "addSubject": "[TAG]"}, {"type": 2, "headerName": "A", "headerValue": "1"},
                                    {"type": 9, "customMailbox": "tagged"}])")
                                                        << M("a@example.net", "hello")
                                                        << QByteArray("Subject") << QByteArray("[TAG] hello");
    }

    void headerEdits()
    {
        QFETCH(QByteArray, json);
        QFETCH(QByteArray, message);
        QFETCH(QByteArray, header);
        QFETCH(QByteArray, value);
        QVERIFY(Use(m_sandbox, Block(json)));
        QCOMPARE(m_sandbox.Deliver(message), 0);
        QList<QByteArray> delivered = m_sandbox.Inbox() + m_sandbox.Folder(QStringLiteral("tagged"));
        QCOMPARE(delivered.size(), 1);
        QCOMPARE(Sandbox::Header(delivered.first(), header), value);
        QCOMPARE(Sandbox::Body(delivered.first()), Sandbox::Body(message));
        QVERIFY(!m_sandbox.Log().contains("rror"));
    }

    // User values that the shell or sed would read specially: the mail is changed exactly as the
    // value says, nothing in it runs, and procmail, formail and sed report no error. A value that
    // would run a command names a file in the sandbox home that must never appear.
    void hostileValues_data()
    {
        QTest::addColumn<QJsonObject>("action");
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("header"); // empty: compare the body
        QTest::addColumn<QByteArray>("expected"); // header value (null: absent) or body
        QTest::addColumn<QStringList>("traps"); // files a run command would create

        const QString home = m_sandbox.Home();
        const auto trap = [&home](int n) { return home + QStringLiteral("/pwned%1").arg(n); };
        const auto touch = [&trap](int n) { return QStringLiteral("$(touch %1)").arg(trap(n)); };
        const auto backquoted = [&trap](int n) { return QStringLiteral("`touch %1`").arg(trap(n)); };
        const auto action = [](int type, std::initializer_list<std::pair<const char*, QJsonValue>> values) {
            QJsonObject o { { QStringLiteral("type"), type } };
            for (const auto& [key, value] : values)
                o.insert(QLatin1String(key), value);
            return o;
        };
        const QByteArray body = "one\nit's/end\n$(id) `id`\nfour\n";

        QTest::newRow("subject tag with commands and quotes")
            << action(0,
                   { { "addSubject",
                       touch(1) + QStringLiteral(" \"") + backquoted(2) + QStringLiteral("\" 'x'") } })
            << M("a@example.net", "hello") << QByteArray("Subject")
            << (touch(1) + QStringLiteral(" \"") + backquoted(2) + QStringLiteral("\" 'x' hello")).toUtf8()
            << QStringList { trap(1), trap(2) };
        QTest::newRow("subject tag escaped by the user")
            << action(0, { { "addSubject", QStringLiteral("\\$5 \\\"deals\\\"") } })
            << M("a@example.net", "hello") << QByteArray("Subject") << QByteArray("$5 \"deals\" hello")
            << QStringList();
        QTest::newRow("subject tag ending in a backslash")
            << action(0, { { "addSubject", QStringLiteral("C:\\") } }) << M("a@example.net", "hello")
            << QByteArray("Subject") << QByteArray("C:\\ hello") << QStringList();
        QTest::newRow("header value with commands")
            << action(2,
                   { { "headerName", QStringLiteral("Cmd") },
                       { "headerValue",
                           touch(3) + QStringLiteral(" ") + backquoted(4) + QStringLiteral(" \"q\" \\") } })
            << M("a@example.net", "hello") << QByteArray("X-Cmd")
            << (touch(3) + QStringLiteral(" ") + backquoted(4) + QStringLiteral(" \"q\" \\")).toUtf8()
            << QStringList { trap(3), trap(4) };
        QTest::newRow("header to remove with a command")
            // formail takes no blank in a field name; ${IFS} makes one for the shell.
            << action(3,
                   { { "headerToRemove",
                       QStringLiteral("X-Junk$(touch${IFS}%1)`touch${IFS}%1`:").arg(trap(5)) } })
            << M("a@example.net", "hello", "b\n", "X-Junk: stays\n") << QByteArray("X-Junk")
            << QByteArray("stays") << QStringList { trap(5) };
        QTest::newRow("subject pattern with quote and slash")
            << action(1, { { "removeSubject", QStringLiteral("it's/ ") } })
            << M("a@example.net", "hello it's/ there") << QByteArray("Subject") << QByteArray("hello there")
            << QStringList();
        QTest::newRow("subject pattern with a command")
            << action(1, { { "removeSubject", touch(6) } })
            << M("a@example.net", "hello " + touch(6).toUtf8()) << QByteArray("Subject")
            << QByteArray("hello") << QStringList { trap(6) };
        QTest::newRow("subject pattern ending in a backslash")
            << action(1, { { "removeSubject", QStringLiteral("a\\") } }) << M("a@example.net", "xa\\b")
            << QByteArray("Subject") << QByteArray("xb") << QStringList();
        QTest::newRow("cut after a line with quote and slash")
            << action(4, { { "bottomMode", 2 }, { "bottomLine", QStringLiteral("^it's/end$") } })
            << M("a@example.net", "s", body) << QByteArray() << QByteArray("one\nit's/end\n")
            << QStringList();
        QTest::newRow("cut before a line with commands")
            << action(4, { { "topMode", 2 }, { "topLine", QStringLiteral("$(id) `id`") } })
            << M("a@example.net", "s", body) << QByteArray() << QByteArray("$(id) `id`\nfour\n")
            << QStringList();
        QTest::newRow("remove between lines with quotes and commands")
            << action(4,
                   { { "removeBetween", true }, { "betweenTop", QStringLiteral("it's/") },
                       { "betweenBottom", QStringLiteral("'") + touch(7) + QStringLiteral("'") } })
            << M("a@example.net", "s", "one\nit's/end\ntwo\n'" + touch(7).toUtf8() + "'\nfour\n")
            << QByteArray() << QByteArray("one\nfour\n") << QStringList { trap(7) };
    }

    void hostileValues()
    {
        QFETCH(QJsonObject, action);
        QFETCH(QByteArray, message);
        QFETCH(QByteArray, header);
        QFETCH(QByteArray, expected);
        QFETCH(QStringList, traps);
        const QByteArray actions
            = QJsonDocument(QJsonArray { action, QJsonObject { { QStringLiteral("type"), 9 } } })
                  .toJson(QJsonDocument::Compact);
        QVERIFY(Use(m_sandbox, Block(Definition(R"([{"field": 10}])", actions))));
        QCOMPARE(m_sandbox.Deliver(message), 0);
        const QList<QByteArray> inbox = m_sandbox.Inbox();
        QCOMPARE(inbox.size(), 1);
        if (header.isEmpty())
            QCOMPARE(Sandbox::Body(inbox.first()), expected);
        else
            QCOMPARE(Sandbox::Header(inbox.first(), header), expected);
        for (const QString& file : traps)
            QVERIFY2(!QFile::exists(file), qPrintable(file));
        const QByteArray log = m_sandbox.Log();
        for (const char* complaint : { "procmail:", "sed:", "formail:", "sh:", "rror" })
            QVERIFY2(!log.contains(complaint), log.constData());
    }

    // The recipe name goes into the name header and the log line inside double quotes.
    void hostileNameAndSettings()
    {
        // The name page refuses quotes and slashes; what is left of the shell's syntax must stay text.
        const QString name = QStringLiteral("Say 'hi' $(touch pwned-name) `touch pwned-name` $HOME & more");
        QJsonObject definition {
            { QStringLiteral("name"), name },
            { QStringLiteral("nameHeader"), true },
            { QStringLiteral("logging"), 2 },
            { QStringLiteral("conditions"), QJsonArray { QJsonObject { { QStringLiteral("field"), 10 } } } },
            { QStringLiteral("actions"), QJsonArray { QJsonObject { { QStringLiteral("type"), 9 } } } },
        };
        QVERIFY(Use(m_sandbox, Block(QJsonDocument(definition).toJson(QJsonDocument::Compact))));
        QCOMPARE(m_sandbox.Deliver(M("Joe <joe@example.net>", "hello")), 0);
        const QList<QByteArray> inbox = m_sandbox.Inbox();
        QCOMPARE(inbox.size(), 1);
        QCOMPARE(Sandbox::Header(inbox.first(), "X-ZEPH-RECIPE"), name.toUtf8());
        const QByteArray log = m_sandbox.Log();
        QVERIFY2(log.contains("RECIPE: " + name.toUtf8() + "\n"), log.constData());
        QVERIFY(!QFile::exists(m_sandbox.Home() + QStringLiteral("/pwned-name")));
        QVERIFY(!QFile::exists(m_sandbox.MailDir() + QStringLiteral("/pwned-name")));
        QVERIFY2(!log.contains("procmail:") && !log.contains("formail:"), log.constData());
    }

    void bodyEdits_data()
    {
        QTest::addColumn<QByteArray>("action");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("remove top 3 lines") << QByteArray(R"({"type": 4, "topMode": 1, "topCount": 3})")
                                            << QByteArray("four\nfive\nsix\nseven\neight\nnine\n");
        QTest::newRow("remove the top line")
            << QByteArray(R"({"type": 4, "topMode": 1, "topCount": 1})")
            << QByteArray("two\nthree\nfour\nfive\nsix\nseven\neight\nnine\n");
        QTest::newRow("remove the bottom line")
            << QByteArray(R"({"type": 4, "bottomMode": 1, "bottomCount": 1})")
            << QByteArray("one\ntwo\nthree\nfour\nfive\nsix\nseven\neight\n");
        QTest::newRow("remove bottom 2 lines")
            << QByteArray(R"({"type": 4, "bottomMode": 1, "bottomCount": 2})")
            << QByteArray("one\ntwo\nthree\nfour\nfive\nsix\nseven\n");
        QTest::newRow("remove everything after a line")
            << QByteArray(R"({"type": 4, "bottomMode": 2, "bottomLine": "six"})")
            << QByteArray("one\ntwo\nthree\nfour\nfive\nsix\n");
        QTest::newRow("remove everything before a line")
            << QByteArray(R"({"type": 4, "topMode": 2, "topLine": "three"})")
            << QByteArray("three\nfour\nfive\nsix\nseven\neight\nnine\n");
        QTest::newRow("top lines and bottom lines")
            << QByteArray(R"({"type": 4, "topMode": 1, "topCount": 2, "bottomMode": 1, "bottomCount": 2})")
            << QByteArray("three\nfour\nfive\nsix\nseven\n");
        QTest::newRow("top lines and after a line") << QByteArray(
            R"({"type": 4, "topMode": 1, "topCount": 1, "bottomMode": 2, "bottomLine": "five"})")
                                                    << QByteArray("two\nthree\nfour\nfive\n");
        QTest::newRow("before a line and bottom lines") << QByteArray(
            R"({"type": 4, "topMode": 2, "topLine": "three", "bottomMode": 1, "bottomCount": 2})")
                                                        << QByteArray("three\nfour\nfive\nsix\nseven\n");
        QTest::newRow("before a line and after a line") << QByteArray(
            R"({"type": 4, "topMode": 2, "topLine": "three", "bottomMode": 2, "bottomLine": "seven"})")
                                                        << QByteArray("three\nfour\nfive\nsix\nseven\n");
        QTest::newRow("remove between two lines") << QByteArray(
            R"({"type": 4, "removeBetween": true, "betweenTop": "four", "betweenBottom": "six"})")
                                                  << QByteArray("one\ntwo\nthree\nseven\neight\nnine\n");
        QTest::newRow("remove between and top lines")
            << QByteArray(R"({"type": 4, "removeBetween": true, "betweenTop": "four", "betweenBottom": "six",
                             "topMode": 1, "topCount": 1})")
            << QByteArray("two\nthree\nseven\neight\nnine\n");
    }

    void bodyEdits()
    {
        QFETCH(QByteArray, action);
        QFETCH(QByteArray, expected);
        QVERIFY(Use(m_sandbox, Block(Definition(R"([{"field": 10}])", "[" + action + "]"))));
        const QByteArray body = "one\ntwo\nthree\nfour\nfive\nsix\nseven\neight\nnine\n";
        QCOMPARE(m_sandbox.Deliver(M("a@example.net", "s", body)), 0);
        const QList<QByteArray> inbox = m_sandbox.Inbox();
        QCOMPARE(inbox.size(), 1);
        QCOMPARE(Sandbox::Body(inbox.first()), expected);
    }

    void exitCodeAndDelete()
    {
        QVERIFY(Use(m_sandbox,
            Block(Definition(
                R"([{"field": 4, "entries": ["tempfail"]}])", R"([{"type": 5, "exitCode": 75}])"))));
        QCOMPARE(m_sandbox.Deliver(M("a@example.net", "tempfail")), 75);
        QCOMPARE(m_sandbox.Deliver(M("a@example.net", "other")), 0);

        m_sandbox.ClearOutputs();
        QVERIFY(
            Use(m_sandbox, Block(Definition(R"([{"field": 4, "entries": ["spam"]}])", R"([{"type": 6}])"))));
        QCOMPARE(m_sandbox.Deliver(M("a@example.net", "spam")), 0);
        QCOMPARE(m_sandbox.Inbox().size(), 0);
        QVERIFY(m_sandbox.Log().contains("Folder: /dev/null"));
        QCOMPARE(m_sandbox.Deliver(M("a@example.net", "ham")), 0);
        QCOMPARE(m_sandbox.Inbox().size(), 1);

        // Without logging a deleted message leaves no abstract in the log.
        m_sandbox.ClearOutputs();
        QVERIFY(Use(m_sandbox,
            Block(Definition(
                R"([{"field": 4, "entries": ["spam"]}])", R"([{"type": 6}])", R"(, "logging": 0)"))));
        QCOMPARE(m_sandbox.Deliver(M("a@example.net", "spam")), 0);
        QCOMPARE(m_sandbox.Inbox().size(), 0);
        QVERIFY2(!m_sandbox.Log().contains("Folder:"), m_sandbox.Log().constData());
    }

    // A delete under a body or anywhere-in-headers condition takes only the mail that matches.
    void deleteOnlyWhatMatches_data()
    {
        QTest::addColumn<QByteArray>("conditions");
        QTest::addColumn<QByteArray>("matching");
        QTest::addColumn<QByteArray>("other");
        QTest::newRow("body") << QByteArray(R"([{"field": 8, "entries": ["Dear friend", "online secrets"]}])")
                              << M("a@example.net", "s", "Hi.\nonline secrets\n") << M("a@example.net", "s");
        QTest::newRow("anywhere in the headers")
            << QByteArray(R"([{"field": 7, "entries": ["X-Spam: yes"]}])")
            << M("a@example.net", "s", "b\n", "X-Spam: yes\n") << M("a@example.net", "s", "X-Spam: yes\n");
        QTest::newRow("OR group of body and header")
            << QByteArray(R"([{"field": 8, "entries": ["Dear friend"], "join": 2},
                             {"field": 4, "entries": ["cheap"]}])")
            << M("a@example.net", "cheap") << M("a@example.net", "s", "Dear sir\n");
    }

    void deleteOnlyWhatMatches()
    {
        QFETCH(QByteArray, conditions);
        QFETCH(QByteArray, matching);
        QFETCH(QByteArray, other);
        CRecipeDefinition d;
        QVERIFY(Use(m_sandbox, Block(Definition(conditions, R"([{"type": 6}])"), &d)));
        QVERIFY(CRecipeSummary::BuildSummaryText(d).contains("Procmail will DELETE the message."));
        QCOMPARE(m_sandbox.Deliver(matching), 0);
        QCOMPARE(m_sandbox.Inbox().size(), 0);
        QCOMPARE(m_sandbox.Deliver(other), 0);
        QCOMPARE(m_sandbox.Inbox().size(), 1);
    }

    void forward_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<int>("sent");
        QTest::addColumn<int>("kept");
        QTest::addColumn<bool>("loopMarked");

        const QByteArray all = R"([{"field": 10}])";
        const QByteArray to = R"([{"type": 7, "forwardAddresses": ["a@example.net", "b@example.net"]}])";
        const QByteArray toCopy
            = R"([{"type": 7, "forwardAddresses": ["a@example.net", "b@example.net"], "copy": true}])";
        const QByteArray loop = "X-Loop: me@example.org\n";
        QTest::newRow("forward") << Definition(all, to) << M("x@example.net", "s") << 1 << 0 << false;
        QTest::newRow("forward a copy")
            << Definition(all, toCopy) << M("x@example.net", "s") << 1 << 1 << false;
        QTest::newRow("looped message")
            << Definition(all, to) << M("x@example.net", "s", "b\n", loop) << 0 << 1 << true;
        QTest::newRow("looped message, copy")
            << Definition(all, toCopy) << M("x@example.net", "s", "b\n", loop) << 0 << 1 << true;
        QTest::newRow("return address with a plus sign")
            << QByteArray(R"({"name": "F", "conditions": [{"field": 10}], "actions": )") + to
                + R"(, "settings": {"returnAddress": "me+box@example.org"}})"
            << M("x@example.net", "s", "b\n", "X-Loop: me+box@example.org\n") << 0 << 1 << true;
        QTest::newRow("empty return address, other list's loop header")
            << QByteArray(R"({"name": "F", "conditions": [{"field": 10}], "actions": )") + to
                + R"(, "settings": {"returnAddress": ""}})"
            << M("x@example.net", "s", "b\n", "X-Loop: list@example.net\n") << 1 << 0 << false;
        QByteArray many = R"([{"type": 7, "forwardAddresses": [)";
        for (int i = 0; i < 9; ++i)
            many += (i ? ", " : "") + QByteArray("\"person") + QByteArray::number(i) + "@example.net\"";
        many += "]}]";
        QTest::newRow("addresses on continued lines")
            << Definition(all, many) << M("x@example.net", "s") << 1 << 0 << false;
    }

    void forward()
    {
        QFETCH(QByteArray, json);
        QFETCH(QByteArray, message);
        QFETCH(int, sent);
        QFETCH(int, kept);
        QFETCH(bool, loopMarked);
        CRecipeDefinition definition;
        QVERIFY(Use(m_sandbox, Block(json, &definition)));
        QCOMPARE(m_sandbox.Deliver(message), 0);
        const QList<Sandbox::SentMail> mails = m_sandbox.Sent();
        QCOMPARE(mails.size(), sent);
        if (sent) {
            QByteArray expected = definition.GetForwardAddresses(0);
            expected.replace("\r\n", " ");
            QCOMPARE(mails.first().arguments.mid(1).join(QLatin1Char(' ')).toUtf8(), expected);
            QVERIFY(!Sandbox::Header(mails.first().message, "X-Loop").isEmpty());
            // procmail ends every message it reads with an empty line.
            QCOMPARE(Sandbox::Body(mails.first().message).trimmed(), Sandbox::Body(message).trimmed());
        }
        const QList<QByteArray> inbox = m_sandbox.Inbox();
        QCOMPARE(inbox.size(), kept);
        if (kept)
            QCOMPARE(Sandbox::Header(inbox.first(), "X-ZEPH").isNull(), !loopMarked);
    }

    void reply_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("outOfMemory");
        for (int mode = 0; mode <= 6; ++mode) {
            for (bool oom : { false, true })
                QTest::addRow("mode %d%s", mode, oom ? ", out-of-memory form" : "") << mode << oom;
        }
    }

    void reply()
    {
        QFETCH(int, mode);
        QFETCH(bool, outOfMemory);
        const bool headers = mode == 1 || mode == 2 || mode == 5 || mode == 6;
        const bool body = mode >= 3;
        const bool atTop = mode != 0 && mode % 2 == 0;
        const QByteArray json = QByteArray(R"({"name": "Away", "conditions": [{"field": 10}],
            "actions": [{"type": 8, "responseFile": "C:\\Users\\me\\away.txt", "copy": true, )")
            + "\"includeHeaders\": " + (headers ? "true" : "false") + ", \"includeBody\": "
            + (body ? "true" : "false") + ", \"responseAtTop\": " + (atTop ? "true" : "false") + R"(}],
            "settings": {"returnAddress": "<me@example.org>", "name": "Test User", "outOfMemory": )"
            + (outOfMemory ? "true" : "false") + "}}";
        CRecipeDefinition definition;
        QVERIFY(Use(m_sandbox, Block(json, &definition)));
        QCOMPARE(definition.GetReplyMode(0), mode);
        QVERIFY(m_sandbox.WriteFile(QStringLiteral(".procmail/away.txt"), "I am away until Monday.\n"));

        const QByteArray original
            = M("Alice <alice@example.net>", "Question", "Original line one\nOriginal line two\n");
        QCOMPARE(m_sandbox.Deliver(original), 0);
        const QList<Sandbox::SentMail> mails = m_sandbox.Sent();
        QCOMPARE(mails.size(), 1);
        const QByteArray reply = mails.first().message;
        QVERIFY(mails.first().arguments.contains(QStringLiteral("-t")));
        QVERIFY2(Sandbox::Header(reply, "To").contains("alice@example.net"), reply.constData());
        QCOMPARE(Sandbox::Header(reply, "Subject"), QByteArray("Re: Question"));
        QCOMPARE(Sandbox::Header(reply, "X-Loop"), QByteArray("me@example.org"));
        QCOMPARE(Sandbox::Header(reply, "From"), QByteArray("Test User's Mailer-Daemon <me@example.org>"));
        QCOMPARE(Sandbox::Header(reply, "Precedence"), QByteArray("junk"));
        const QByteArray text = Sandbox::Body(reply);
        const qsizetype response = text.indexOf("I am away until Monday.");
        QVERIFY2(response >= 0, reply.constData());
        // The included part, quoted or not, and where it stands.
        const qsizetype quotedHeader = text.indexOf("> Subject: Question");
        const qsizetype bodyLine = text.indexOf("Original line one");
        QCOMPARE(quotedHeader >= 0, headers);
        QCOMPARE(bodyLine >= 0, body);
        if (headers)
            QVERIFY2((quotedHeader < response) == !atTop, reply.constData());
        if (body) {
            QVERIFY2((bodyLine < response) == !atTop, reply.constData());
            QCOMPARE(text.contains("> Original line one"), mode != 4);
        }
        if (mode == 0)
            QVERIFY(!text.contains("Original") && !text.contains("> "));
        // The copy goes on to the mailbox.
        QCOMPARE(m_sandbox.Inbox().size(), 1);
    }

    void replyOncePerSenderNeverToDaemonsOrLoops()
    {
        const QByteArray json = R"({"name": "Away", "conditions": [{"field": 10}],
            "actions": [{"type": 8, "responseFile": "/home/me/away note.txt"}],
            "settings": {"returnAddress": "me@example.org", "name": "Test User"}})";
        CRecipeDefinition definition;
        QVERIFY(Use(m_sandbox, Block(json, &definition)));
        QCOMPARE(definition.GetResponseRemoteName(0), QByteArray("away_note.txt"));
        QVERIFY(m_sandbox.WriteFile(QStringLiteral(".procmail/away_note.txt"), "Away.\n"));

        QCOMPARE(m_sandbox.Deliver(M("alice@example.net", "one")), 0);
        QCOMPARE(m_sandbox.Deliver(M("alice@example.net", "two")), 0);
        QCOMPARE(m_sandbox.Deliver(M("bob@example.net", "three")), 0);
        QCOMPARE(m_sandbox.Deliver(M("MAILER-DAEMON@example.net", "failure notice")), 0);
        QCOMPARE(m_sandbox.Deliver(M("carol@example.net", "loop", "b\n", "X-Loop: me@example.org\n")), 0);
        const QList<Sandbox::SentMail> mails = m_sandbox.Sent();
        QCOMPARE(mails.size(), 2);
        QVERIFY(Sandbox::Header(mails.at(0).message, "To").contains("alice@example.net"));
        QVERIFY(Sandbox::Header(mails.at(1).message, "To").contains("bob@example.net"));
        const QByteArray record = m_sandbox.ReadFile(QStringLiteral(".procmail/zeph_reply.txt"));
        QVERIFY2(
            record.contains("alice@example.net ") && record.contains("bob@example.net "), record.constData());
        // Without a copy, answered mail is taken away; the others carry the loop marker and stay.
        const QList<QByteArray> inbox = m_sandbox.Inbox();
        QCOMPARE(inbox.size(), 3);
        for (const QByteArray& message : inbox)
            QCOMPARE(Sandbox::Header(message, "X-ZEPH"), QByteArray("No reply, potential loop"));
    }

    void save_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QByteArray>("lockLine"); // null: no lockfile may be taken
        QTest::addColumn<int>("inbox");

        const QByteArray spam = R"([{"field": 4, "entries": ["spam"]}])";
        const QByteArray noLock = R"(, "settings": {"maildirFormat": true})";
        QTest::newRow("default mailbox") << Definition(spam, R"([{"type": 9}])") << QStringLiteral("inbox")
                                         << QByteArray("inbox.lock") << 1;
        QTest::newRow("custom mailbox") << Definition(spam, R"([{"type": 9, "customMailbox": "spam"}])")
                                        << QStringLiteral("spam") << QByteArray("Locking \"spam.lock\"") << 0;
        QTest::newRow("custom mailbox, copy")
            << Definition(spam, R"([{"type": 9, "customMailbox": "spam", "copy": true}])")
            << QStringLiteral("spam") << QByteArray("Locking \"spam.lock\"") << 1;
        QTest::newRow("custom mailbox with blanks inside")
            << Definition(spam, R"([{"type": 9, "customMailbox": "my spam box"}])")
            << QStringLiteral("my spam box") << QByteArray("Locking \"my spam box.lock\"") << 0;
        QTest::newRow("custom mailbox after blanks")
            << Definition(spam, R"([{"type": 9, "customMailbox": "  spam"}])") << QStringLiteral("spam")
            << QByteArray("Locking \"spam.lock\"") << 0;
        QTest::newRow("maildir without lockfile")
            << QByteArray(R"({"name": "S", "conditions": [{"field": 4, "entries": ["spam"]}],
                             "actions": [{"type": 9, "customMailbox": "Maildir/"}])")
                + noLock + "}"
            << QStringLiteral("Maildir") << QByteArray() << 0;
        QTest::newRow("default mailbox without lockfile")
            << QByteArray(R"({"name": "S", "conditions": [{"field": 4, "entries": ["spam"]}],
                             "actions": [{"type": 9}])")
                + noLock + "}"
            << QStringLiteral("inbox") << QByteArray() << 1;
    }

    void save()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, folder);
        QFETCH(QByteArray, lockLine);
        QFETCH(int, inbox);
        QVERIFY(Use(m_verbose, Block(json)));
        QCOMPARE(m_verbose.Deliver(M("a@example.net", "spam")), 0);
        QCOMPARE(m_verbose.Folder(folder).size(), folder == QLatin1String("inbox") ? inbox : 1);
        if (folder != QLatin1String("inbox"))
            QCOMPARE(m_verbose.Inbox().size(), inbox);
        const QByteArray log = m_verbose.Log();
        if (lockLine.isNull())
            QVERIFY2(!log.contains("Locking"), log.constData());
        else
            QVERIFY2(log.contains(lockLine), log.constData());
    }

    void logging_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QByteArray>("expected"); // in the log; null for none of ZEPH's lines
        const QByteArray head
            = R"({"name": "News $1 `x`", "conditions": [{"field": 2, "entries": ["joe"]}], )";
        QTest::newRow("normal logging")
            << head + R"("logging": 1, "actions": [{"type": 9, "customMailbox": "news"}]})" << QByteArray();
        QTest::newRow("extended logging, delivering")
            << head + R"("logging": 2, "actions": [{"type": 9, "customMailbox": "news"}]})"
            << QByteArray(
                   "RECIPE: News $1 `x`\nTO: me@example.org\nFROM: Joe <joe@example.net> \n"
                   "From joe@example.net  Thu Dec 10 04:36:33 2026\n Subject: Weekly news\n  Folder: news");
        QTest::newRow("extended logging, not delivering")
            << head + R"("logging": 2, "actions": [{"type": 2, "headerName": "News", "headerValue": "1"}]})"
            << QByteArray(
                   "RECIPE: News $1 `x`\nTO: me@example.org\nFROM: Joe <joe@example.net>\n"
                   "From joe@example.net  Thu Dec 10 04:36:33 2026\n Subject: Weekly news\n  Folder: \n");
    }

    void logging()
    {
        QFETCH(QByteArray, json);
        QFETCH(QByteArray, expected);
        QVERIFY(Use(m_sandbox, Block(json)));
        QCOMPARE(m_sandbox.Deliver(M("Joe <joe@example.net>", "Weekly news")), 0);
        const QByteArray log = m_sandbox.Log();
        if (expected.isNull())
            QVERIFY2(!log.contains("RECIPE:") && log.contains("  Folder: news"), log.constData());
        else
            QVERIFY2(log.contains(expected), log.constData());
        QVERIFY2(!log.contains("rror") && !log.contains("Skipped"), log.constData());
    }
};

QTEST_GUILESS_MAIN(TestProcmailRecipes)
#include "tst_procmail_recipes.moc"
