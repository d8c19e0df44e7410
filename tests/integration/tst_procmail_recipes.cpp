// Generated recipes run by real procmail as a throwaway user: every condition field and join,
// every action type, the logging lines and the loop guards.
#include "support/ProcmailSandbox.h"
#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/CRecipeDefinitionJson.h"
#include "core/recipes/CRecipeFile.h"
#include "core/recipes/CRecipeSummary.h"

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

QByteArray Definition(const QByteArray& conditions, const QByteArray& actions, const QByteArray& more = QByteArray())
{
    return "{\"name\": \"Test\", \"conditions\": " + conditions + ", \"actions\": " + actions + ", " + DefaultSettings
        + more + "}";
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

        QTest::newRow("To: header") << QByteArray(R"([{"field": 0, "toKind": 100, "entries": ["joe@example.org"]}])")
                                    << QList<QByteArray>{M("a@example.net", "s", "b\n", {}, "joe@example.org"),
                                                         M("a@example.net", "s", "b\n", "Cc: joe@example.org\n")}
                                    << QByteArray("10");
        QTest::newRow("TO macro") << QByteArray(R"([{"field": 0, "toKind": 101, "entries": ["joe@example.org"]}])")
                                  << QList<QByteArray>{M("a@example.net", "s", "b\n", "Cc: joe@example.org\n"),
                                                       M("joe@example.org", "s"),
                                                       M("a@example.net", "s", "b\n", {}, "x.joe@example.org")}
                                  << QByteArray("101");
        QTest::newRow("TO_ macro") << QByteArray(R"([{"field": 0, "toKind": 102, "entries": ["joe@example.org"]}])")
                                   << QList<QByteArray>{M("a@example.net", "s", "b\n", {}, "Joe <joe@example.org>"),
                                                        M("a@example.net", "s", "b\n", "Cc: joe@example.org\n"),
                                                        M("a@example.net", "s", "b\n", {}, "x.joe@example.org")}
                                   << QByteArray("110");
        QTest::newRow("Cc") << QByteArray(R"([{"field": 1, "entries": ["boss"]}])")
                            << QList<QByteArray>{M("a@example.net", "s", "b\n", "Cc: boss@example.org\n"),
                                                 M("a@example.net", "s", "b\n", {}, "boss@example.org")}
                            << QByteArray("10");
        QTest::newRow("From") << QByteArray(R"([{"field": 2, "entries": ["joe"]}])")
                              << QList<QByteArray>{M("joe@example.net", "s"), M("a@example.net", "s", "b\n", {}, "joe@x.org")}
                              << QByteArray("10");
        QTest::newRow("Sender") << QByteArray(R"([{"field": 3, "entries": ["list-owner"]}])")
                                << QList<QByteArray>{M("a@example.net", "s", "b\n", "Sender: list-owner@example.net\n"),
                                                     M("list-owner@example.net", "s")}
                                << QByteArray("10");
        QTest::newRow("Subject, two entries")
            << QByteArray(R"([{"field": 4, "entries": ["cheap", "offer"]}])")
            << QList<QByteArray>{M("a@example.net", "cheap watches"), M("a@example.net", "special offer"),
                                 M("a@example.net", "hello")}
            << QByteArray("110");
        QTest::newRow("Received") << QByteArray(R"([{"field": 5, "entries": ["mx.example.net"]}])")
                                  << QList<QByteArray>{M("a@example.net", "s", "b\n",
                                                         "Received: from mx.example.net by host\n"),
                                                       M("a@example.net", "mx.example.net")}
                                  << QByteArray("10");
        QTest::newRow("Reply-To") << QByteArray(R"([{"field": 6, "entries": ["lists"]}])")
                                  << QList<QByteArray>{M("a@example.net", "s", "b\n", "Reply-To: lists@example.net\n"),
                                                       M("lists@example.net", "s")}
                                  << QByteArray("10");
        QTest::newRow("anywhere in the headers")
            << QByteArray(R"([{"field": 7, "entries": ["X-Mailer: Bulk"]}])")
            << QList<QByteArray>{M("a@example.net", "s", "b\n", "X-Mailer: Bulk 1.0\n"),
                                 M("a@example.net", "s", "X-Mailer: Bulk\n")}
            << QByteArray("10");
        QTest::newRow("body") << QByteArray(R"([{"field": 8, "entries": ["Dear friend"]}])")
                              << QList<QByteArray>{M("a@example.net", "s", "Hi.\nDear friend, buy.\n"),
                                                   M("a@example.net", "Dear friend")}
                              << QByteArray("10");
        QTest::newRow("size") << QByteArray(R"([{"field": 9, "size": "2000"}])")
                              << QList<QByteArray>{M("a@example.net", "s", QByteArray(3000, 'x') + "\n"),
                                                   M("a@example.net", "s")}
                              << QByteArray("10");
        QTest::newRow("all messages") << QByteArray(R"([{"field": 10}])")
                                      << QList<QByteArray>{M("a@example.net", "s")} << QByteArray("1");
        QTest::newRow("custom header")
            << QByteArray(R"([{"field": 11, "customHeader": "X-Spam-Flag:", "entries": ["YES"]}])")
            << QList<QByteArray>{M("a@example.net", "s", "b\n", "X-Spam-Flag: YES\n"),
                                 M("a@example.net", "s", "b\n", "X-Spam-Flag: NO\n")}
            << QByteArray("10");
        QTest::newRow("Subject without entries")
            << QByteArray(R"([{"field": 4}])")
            << QList<QByteArray>{M("a@example.net", "anything"), M("a@example.net", QByteArray())}
            << QByteArray("10");
        QTest::newRow("inverted Subject")
            << QByteArray(R"([{"field": 4, "invert": true, "entries": ["cheap"]}])")
            << QList<QByteArray>{M("a@example.net", "hello"), M("a@example.net", "cheap")} << QByteArray("10");
        QTest::newRow("inverted size")
            << QByteArray(R"([{"field": 9, "invert": true, "size": "2000"}])")
            << QList<QByteArray>{M("a@example.net", "s"), M("a@example.net", "s", QByteArray(3000, 'x') + "\n")}
            << QByteArray("10");
        QTest::newRow("AND") << QByteArray(R"([{"field": 2, "entries": ["joe"], "join": 1},
                                              {"field": 4, "entries": ["report"]}])")
                             << QList<QByteArray>{M("joe@example.net", "report"), M("joe@example.net", "hello"),
                                                  M("bob@example.net", "report")}
                             << QByteArray("100");
        QTest::newRow("OR") << QByteArray(R"([{"field": 4, "entries": ["alpha"], "join": 2},
                                             {"field": 4, "entries": ["beta"]}])")
                            << QList<QByteArray>{M("a@example.net", "alpha"), M("a@example.net", "beta"),
                                                 M("a@example.net", "gamma")}
                            << QByteArray("110");
        QTest::newRow("AND, OR group, AND")
            << QByteArray(R"([{"field": 2, "entries": ["joe"], "join": 1},
                             {"field": 4, "entries": ["alpha"], "join": 2},
                             {"field": 4, "entries": ["beta"], "join": 1},
                             {"field": 0, "toKind": 100, "entries": ["zed"]}])")
            << QList<QByteArray>{M("joe@example.net", "alpha", "b\n", {}, "zed@example.org"),
                                 M("joe@example.net", "beta", "b\n", {}, "zed@example.org"),
                                 M("joe@example.net", "gamma", "b\n", {}, "zed@example.org"),
                                 M("bob@example.net", "alpha", "b\n", {}, "zed@example.org"),
                                 M("joe@example.net", "alpha", "b\n", {}, "other@example.org")}
            << QByteArray("11000");
        QTest::newRow("two OR groups joined by AND")
            << QByteArray(R"([{"field": 4, "entries": ["alpha"], "join": 2},
                             {"field": 4, "entries": ["beta"], "join": 1},
                             {"field": 2, "entries": ["joe"], "join": 2},
                             {"field": 2, "entries": ["bob"]}])")
            << QList<QByteArray>{M("joe@example.net", "alpha"), M("bob@example.net", "beta"),
                                 M("ann@example.net", "alpha"), M("joe@example.net", "gamma")}
            << QByteArray("1100");
        QTest::newRow("OR group first, then AND")
            << QByteArray(R"([{"field": 4, "entries": ["alpha"], "join": 2},
                             {"field": 2, "entries": ["joe"], "join": 1},
                             {"field": 0, "toKind": 100, "entries": ["zed"]}])")
            << QList<QByteArray>{M("a@example.net", "alpha", "b\n", {}, "zed@example.org"),
                                 M("joe@example.net", "s", "b\n", {}, "zed@example.org"),
                                 M("a@example.net", "alpha", "b\n", {}, "other@example.org"),
                                 M("a@example.net", "s", "b\n", {}, "zed@example.org")}
            << QByteArray("1100");
        QTest::newRow("inverted condition in an OR group")
            << QByteArray(R"([{"field": 4, "entries": ["alpha"], "join": 2},
                             {"field": 2, "invert": true, "entries": ["joe"]}])")
            << QList<QByteArray>{M("joe@example.net", "alpha"), M("bob@example.net", "beta"),
                                 M("joe@example.net", "beta")}
            << QByteArray("110");
        QTest::newRow("header AND body")
            << QByteArray(R"([{"field": 2, "entries": ["joe"], "join": 1},
                             {"field": 8, "entries": ["Dear friend"]}])")
            << QList<QByteArray>{M("joe@example.net", "s", "Dear friend\n"), M("joe@example.net", "s"),
                                 M("bob@example.net", "s", "Dear friend\n")}
            << QByteArray("100");
        QTest::newRow("body OR body")
            << QByteArray(R"([{"field": 8, "entries": ["alpha"], "join": 2},
                             {"field": 8, "entries": ["beta"]}])")
            << QList<QByteArray>{M("a@example.net", "s", "alpha\n"), M("a@example.net", "s", "beta\n"),
                                 M("a@example.net", "alpha", "gamma\n")}
            << QByteArray("110");
        QTest::newRow("leading operator anywhere in the headers")
            << QByteArray(R"([{"field": 7, "entries": ["!important"]}])")
            << QList<QByteArray>{M("a@example.net", "s", "b\n", "X-Flag: !important\n"), M("a@example.net", "s")}
            << QByteArray("10");
        QTest::newRow("alternation inside one entry")
            << QByteArray(R"([{"field": 4, "entries": ["cheap|viagra"]}])")
            << QList<QByteArray>{M("a@example.net", "cheap"), M("a@example.net", "hello", "b\n", "X-Other: viagra\n")}
            << QByteArray("10");
        QTest::newRow("entry ending in a backslash")
            << QByteArray(R"([{"field": 4, "entries": ["C:\\"], "join": 1}, {"field": 2, "entries": ["joe"]}])")
            << QList<QByteArray>{M("joe@example.net", "path C:\\ here"), M("joe@example.net", "C: here"),
                                 M("bob@example.net", "path C:\\ here")}
            << QByteArray("100");
        QByteArray many = "[{\"field\": 4, \"entries\": [";
        for (int i = 0; i < 40; ++i)
            many += (i ? ", " : "") + QByteArray("\"word") + QByteArray::number(100000 + i) + "\"";
        many += "]}]";
        QTest::newRow("forty entries on continued lines")
            << many
            << QList<QByteArray>{M("a@example.net", "x word100020 y"), M("a@example.net", "word100039"),
                                 M("a@example.net", "word999999")}
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
            QVERIFY2(hit != inbox, qPrintable(QStringLiteral("message %1 delivered %2 times").arg(i).arg(hit + inbox)));
            QVERIFY2(hit == (expected.at(i) == '1'),
                     qPrintable(QStringLiteral("message %1 %2 but should%3\n%4\n%5")
                                    .arg(i)
                                    .arg(hit ? QStringLiteral("matched") : QStringLiteral("did not match"),
                                         hit ? QStringLiteral(" not") : QString(), QString::fromUtf8(block),
                                         QString::fromUtf8(m_sandbox.Log()))));
        }
    }
};

QTEST_GUILESS_MAIN(TestProcmailRecipes)
#include "tst_procmail_recipes.moc"
