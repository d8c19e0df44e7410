// The recipe file: block locator, replace/append/delete, list parser and writer, disable/enable,
// and hand-edited files with broken markers.
#include "core/common/Clock.h"
#include "core/common/Prompt.h"
#include "core/recipes/CRecipeFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray Block(const QByteArray& name, const QByteArray& inner = ":0\n* ^Subject:.*x\n/dev/null\n")
{
    return "##_ZEPH_RECIPE_BEGIN_##" + name + "\n" + inner + "##_ZEPH_RECIPE_END_##" + name + "\n";
}

} // namespace

class TestRecipeFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;

    void Write(const QByteArray& content)
    {
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    QByteArray Read()
    {
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QList<CRecipeListEntry> Parse(QList<QByteArray>* groups = nullptr)
    {
        QList<CRecipeListEntry> list;
        QList<QByteArray> unparsed;
        if (!CRecipeFile::ParseRecipeList(m_path, &list, &unparsed))
            qWarning("parse failed");
        if (groups)
            *groups = unparsed;
        return list;
    }

private slots:
    void init()
    {
        m_path = m_dir.filePath(QStringLiteral("zeph.recipes"));
        QFile::remove(m_path);
        Prompt::ClearHistory();
    }

    void markerErrors_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        const QString tail
            = QStringLiteral(" file.  You should edit the file manually to adjust the recipe \"Spam\"");
        QTest::newRow("end marker only") << QByteArray("x\n##_ZEPH_RECIPE_END_##Spam\n")
                                         << QStringLiteral("The begining marker for the recipe \"Spam\" was "
                                                           "not found, however the end marker was found.  "
                                                           "It's likely someone has manually edited the %1")
                + tail
                + QStringLiteral(" so it has both a begin and end marker.  ZEPH cannot determine where the "
                                 "recipe begins.");
        QTest::newRow("begin marker only")
            << QByteArray("##_ZEPH_RECIPE_BEGIN_##Spam\nx\n")
            << QStringLiteral("The end marker for the recipe \"Spam\" was not found, however the beginning "
                              "marker was found.  "
                              "It's likely someone has manually edited the %1")
                + tail
                + QStringLiteral(
                    " so it has both a begin and end marker.  ZEPH cannot determine where the recipe ends.");
        QTest::newRow("end before begin")
            << QByteArray("##_ZEPH_RECIPE_END_##Spam\nx\n##_ZEPH_RECIPE_BEGIN_##Spam\n")
            << QStringLiteral(
                   "The end marker for the recipe \"Spam\" was found before the beginning marker was found.  "
                   "It's likely someone has manually edited the %1")
                + tail + QStringLiteral(".  ZEPH cannot determine where the recipe begins and ends.");
        QTest::newRow("second begin line")
            << QByteArray("\n") + Block("Spam") + "##_ZEPH_RECIPE_BEGIN_##Spam\n"
            << QStringLiteral("The begining marker for the recipe \"Spam\" was found more than once.  It's "
                              "likely someone "
                              "has manually edited the %1")
                + tail + QStringLiteral(".  ZEPH cannot determine where the recipe begins.");
        QTest::newRow("two end lines, one before the begin")
            << QByteArray("##_ZEPH_RECIPE_END_##spam\n") + Block("Spam")
            << QStringLiteral("The end marker for the recipe \"Spam\" was found more than once.  It's likely "
                              "someone has "
                              "manually edited the %1")
                + tail + QStringLiteral(".  ZEPH cannot determine where the recipe ends.");
    }

    void markerErrors()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        Write(content + "tail without line end");
        const QByteArray before = Read();
        CRecipeFile file(m_path);
        int b = 0, e = 0;
        QCOMPARE(file.Locate("Spam", &b, &e), CRecipeFile::LocateError);
        QCOMPARE(file.LastError(), message.arg(m_path));
        QCOMPARE(Prompt::History().size(), 1);
        QCOMPARE(Prompt::History().first().icon, Prompt::Warning);
        QVERIFY(!file.ReplaceRecipe("Spam", "\n" + Block("Spam")));
        QVERIFY(!file.DeleteRecipe("spam"));
        QCOMPARE(Read(), before);
    }

    void locateReplaceDelete()
    {
        const QByteArray first = Block("a b;$(x)|`y`");
        const QByteArray second = Block("Spam");
        Write("# my own line\r\n\r\n" + first + "\n" + second + "last line without end");
        CRecipeFile file(m_path);
        int b = 0, e = 0;
        // Letter case does not matter to the locator.
        QCOMPARE(file.Locate("SPAM", &b, &e), CRecipeFile::LocateFound);
        QCOMPARE(b, 9);
        QCOMPARE(e, 13);
        QCOMPARE(file.Locate("a b;$(x)|`y`", &b, &e), CRecipeFile::LocateFound);
        QCOMPARE(b, 3);

        // Replace keeps everything around the block and writes LF line ends.
        QVERIFY(file.ReplaceRecipe("a b;$(x)|`y`", "\n" + Block("a b;$(x)|`y`", ":0\nnew\n")));
        QCOMPARE(Read(),
            "# my own line\n\n\n" + Block("a b;$(x)|`y`", ":0\nnew\n") + "\n" + second
                + "last line without end\n");
        // Delete of the last block, then of a missing one.
        QVERIFY(file.DeleteRecipe("spam"));
        const QByteArray afterDelete = Read();
        QCOMPARE(afterDelete,
            "# my own line\n\n\n" + Block("a b;$(x)|`y`", ":0\nnew\n") + "\nlast line without end\n");
        QVERIFY(file.DeleteRecipe("Missing"));
        QCOMPARE(Read(), afterDelete);
        QVERIFY(Prompt::History().isEmpty());
    }

    // A lone CR ends a line for every operation, and what they write has LF line ends.
    void macLineEnds()
    {
        const QByteArray mac = "\r" + Block("Spam").replace('\n', '\r') + ":0:\r* ^From:.*boss\rimportant\r";
        const QByteArray outside = ":0:\n* ^From:.*boss\nimportant\n";
        Write(mac);
        CRecipeFile file(m_path);
        int b = 0, e = 0;
        QCOMPARE(file.Locate("Spam", &b, &e), CRecipeFile::LocateFound);
        QCOMPARE(b, 2);
        QCOMPARE(e, 6);
        QVERIFY(file.DeleteRecipe("Spam"));
        QCOMPARE(Read(), "\n" + outside);

        Write(mac);
        QVERIFY(file.ReplaceRecipe("Spam", "\n" + Block("Spam", ":0\nnew\n")));
        QCOMPARE(Read(), "\n\n" + Block("Spam", ":0\nnew\n") + outside);

        Write(mac);
        QVERIFY(file.AppendRecipe("\n" + Block("New")));
        QCOMPARE(Read(), "\n" + Block("Spam") + outside + "\n" + Block("New"));

        Write(mac);
        const QList<CRecipeListEntry> list = Parse();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list.at(0).text, Block("Spam"));
        const QByteArray group = list.at(1).name;
        QCOMPARE(list.at(1).text,
            "##_ZEPH_RECIPE_BEGIN_##" + group + "\n" + outside + "##_ZEPH_RECIPE_END_##" + group + "\n");
        QVERIFY(CRecipeFile::WriteRecipeList(m_path, list));
        QCOMPARE(Read(), Block("Spam") + "\n" + list.at(1).text + "\n");
        QVERIFY(Prompt::History().isEmpty());
    }

    void replaceMissingAppends()
    {
        Write("SHELL=/bin/sh\r\nlast line without end");
        CRecipeFile file(m_path);
        QVERIFY(file.ReplaceRecipe("New", "\n" + Block("New")));
        // The block's leading line feed ends the old last line.
        QCOMPARE(Read(), "SHELL=/bin/sh\nlast line without end\n" + Block("New"));

        QFile::remove(m_path);
        QVERIFY(file.AppendRecipe("\n" + Block("First")));
        QCOMPARE(Read(), "\n" + Block("First"));
    }

    void parseBlocksAndGroups()
    {
        Write("\n" + Block("Spam") + "a\n\nb\n" + Block("Ham") + "\n\n##_zeph_recipe_begin_##Ham\nc\n"
            + "##_ZEPH_RECIPE_BEGIN_##Broken\nd");
        QList<QByteArray> groups;
        const QList<CRecipeListEntry> list = Parse(&groups);
        QCOMPARE(list.size(), 4);
        QCOMPARE(list.at(0).name, QByteArray("Spam"));
        QCOMPARE(list.at(0).text, Block("Spam"));
        QVERIFY(!list.at(0).unparsed);
        // "a", an empty line and "b" form one group that keeps its place between the blocks.
        QVERIFY(list.at(1).unparsed);
        QCOMPARE(list.at(1).text,
            "##_ZEPH_RECIPE_BEGIN_##" + list.at(1).name + "\na\nb\n##_ZEPH_RECIPE_END_##" + list.at(1).name
                + "\n");
        QCOMPARE(list.at(2).name, QByteArray("Ham"));
        // A lower-case begin line and a begin line without an end are outside lines.
        QVERIFY(list.at(3).unparsed);
        QCOMPARE(list.at(3).text,
            "##_ZEPH_RECIPE_BEGIN_##" + list.at(3).name
                + "\n##_zeph_recipe_begin_##Ham\nc\n"
                  "##_ZEPH_RECIPE_BEGIN_##Broken\nd\n##_ZEPH_RECIPE_END_##"
                + list.at(3).name + "\n");
        QVERIFY(list.at(1).name != list.at(3).name);
        QCOMPARE(groups, (QList<QByteArray> { list.at(1).text, list.at(3).text }));
        // The lines each entry came from, a group from its first to its last outside line.
        const QList<std::pair<int, int>> lines = { { 2, 6 }, { 7, 9 }, { 10, 14 }, { 17, 20 } };
        for (int i = 0; i < 4; ++i)
            QCOMPARE(std::make_pair(list.at(i).firstLine, list.at(i).lastLine), lines.at(i));

        // Writing wraps the groups; a second parse gives the same entries, now all blocks.
        QVERIFY(CRecipeFile::WriteRecipeList(m_path, list));
        QCOMPARE(Read(),
            list.at(0).text + "\n" + list.at(1).text + "\n" + list.at(2).text + "\n" + list.at(3).text
                + "\n");
        const QList<CRecipeListEntry> again = Parse();
        QCOMPARE(again.size(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(again.at(i).text, list.at(i).text);
            QVERIFY(!again.at(i).unparsed);
        }
    }

    void parseCrLfAndCancel()
    {
        QByteArray content;
        for (int i = 0; i < 100; ++i)
            content += "\r\n" + Block("R" + QByteArray::number(i)).replace("\n", "\r\n");
        Write(content);
        const QList<CRecipeListEntry> list = Parse();
        QCOMPARE(list.size(), 100);
        QCOMPARE(list.at(99).text, Block("R99"));

        QList<int> reported;
        QList<CRecipeListEntry> cancelled;
        QList<QByteArray> groups;
        QVERIFY(!CRecipeFile::ParseRecipeList(m_path, &cancelled, &groups, [&reported](int percent) {
            reported.append(percent);
            return reported.size() < 3;
        }));
        QCOMPARE(reported.size(), 3);
        QVERIFY(reported.at(0) > 0 && reported.at(0) < reported.at(2));
        QVERIFY(cancelled.isEmpty());
        QCOMPARE(Read(), content);
    }

    // Texts the parser must cut the same way however their line ends look.
    void parseEdges_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<QByteArray>>("names"); // "*" for an unparsed group
        QTest::addColumn<QList<QByteArray>>("texts");
        const QByteArray spam = Block("Spam");
        QTest::newRow("end line without a line feed")
            << spam.chopped(1) << QList<QByteArray> { "Spam" } << QList<QByteArray> { spam };
        QTest::newRow("lone carriage returns")
            << QByteArray("##_ZEPH_RECIPE_BEGIN_##Spam\r\n:0\r\n* "
                          "^Subject:.*x\r/dev/null\n##_ZEPH_RECIPE_END_##Spam\r")
            << QList<QByteArray> { "Spam" }
            << QList<QByteArray> { "##_ZEPH_RECIPE_BEGIN_##Spam\n:0\n* ^Subject:.*x\n/dev/null\n"
                                   "##_ZEPH_RECIPE_END_##Spam\n" };
        QTest::newRow("old Mac line ends")
            << QByteArray(":0:\r* ^From:.*boss\rimportant\r") << QList<QByteArray> { "*" }
            << QList<QByteArray> { ":0:\n* ^From:.*boss\nimportant\n" };
        // Two text-mode conversions leave CR CR LF: still one line end, no empty line.
        QTest::newRow("carriage returns before a line feed") << QByteArray(
            "a\r\r\nb\r\rc\r\n") << QList<QByteArray> { "*" } << QList<QByteArray> { "a\nb\nc\n" };
        QTest::newRow("end line of a longer name is not the end")
            << QByteArray(
                   "##_ZEPH_RECIPE_BEGIN_##Spa\nx\n##_ZEPH_RECIPE_END_##Spam\ny\n##_ZEPH_RECIPE_END_##Spa\n")
            << QList<QByteArray> { "Spa" }
            << QList<QByteArray> {
                   "##_ZEPH_RECIPE_BEGIN_##Spa\nx\n##_ZEPH_RECIPE_END_##Spam\ny\n##_ZEPH_RECIPE_END_##Spa\n"
               };
        QTest::newRow("a block inside a block belongs to the outer one")
            << QByteArray("##_ZEPH_RECIPE_BEGIN_##A\n" + Block("B") + "##_ZEPH_RECIPE_END_##A\n")
            << QList<QByteArray> { "A" }
            << QList<QByteArray> { "##_ZEPH_RECIPE_BEGIN_##A\n" + Block("B") + "##_ZEPH_RECIPE_END_##A\n" };
        QTest::newRow("outside line without a line feed")
            << spam + "tail" << QList<QByteArray> { "Spam", "*" } << QList<QByteArray> { spam, "tail\n" };
        QTest::newRow("begin line at the very end")
            << QByteArray("##_ZEPH_RECIPE_BEGIN_##Last") << QList<QByteArray> { "*" }
            << QList<QByteArray> { "##_ZEPH_RECIPE_BEGIN_##Last\n" };
        QTest::newRow("empty file") << QByteArray() << QList<QByteArray> {} << QList<QByteArray> {};
        const QByteArray disabled = CRecipeFile::DisableRecipeText(Block("B"), "B");
        QTest::newRow("commented lines inside and outside blocks")
            << Block("A") + "##_ZEPH_COMMENT_##x\n" + disabled << QList<QByteArray> { "A", "*", "B" }
            << QList<QByteArray> { Block("A"), "##_ZEPH_COMMENT_##x\n", disabled };
    }

    void parseEdges()
    {
        QFETCH(QByteArray, content);
        QFETCH(QList<QByteArray>, names);
        QFETCH(QList<QByteArray>, texts);
        Write(content);
        const QList<CRecipeListEntry> list = Parse();
        QCOMPARE(list.size(), names.size());
        for (qsizetype i = 0; i < list.size(); ++i) {
            const CRecipeListEntry& entry = list.at(i);
            QCOMPARE(entry.disabled, CRecipeFile::IsDisabledText(entry.text));
            if (names.at(i) == "*") {
                QVERIFY(entry.unparsed);
                // The group's text is wrapped in begin and end lines of its generated name.
                QCOMPARE(entry.text,
                    "##_ZEPH_RECIPE_BEGIN_##" + entry.name + "\n" + texts.at(i) + "##_ZEPH_RECIPE_END_##"
                        + entry.name + "\n");
            } else {
                QCOMPARE(entry.name, names.at(i));
                QCOMPARE(entry.text, texts.at(i));
            }
        }
        // The in-memory parse gives the same.
        QList<CRecipeListEntry> again;
        QList<QByteArray> groups;
        QVERIFY(CRecipeFile::ParseRecipeText(content, &again, &groups));
        QCOMPARE(again.size(), list.size());
        for (qsizetype i = 0; i < list.size(); ++i) {
            if (!list.at(i).unparsed)
                QCOMPARE(again.at(i), list.at(i));
        }
    }

    // The editor's recipe list: the parser's blocks plus begin lines that have no end line.
    void recipeNames_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<QByteArray>>("names");
        QTest::newRow("blocks in file order, CR LF")
            << QByteArray(Block("Zulu") + "x\n" + Block("alpha")).replace("\n", "\r\n")
            << QList<QByteArray> { "Zulu", "alpha" };
        QTest::newRow("begin line without an end line") << Block("A") + "##_ZEPH_RECIPE_BEGIN_##Broken\n:0\n"
                + Block("B") << QList<QByteArray> { "A", "Broken", "B" };
        QTest::newRow("empty names and lower-case markers are left out")
            << Block("") + "##_ZEPH_RECIPE_BEGIN_##\n##_zeph_recipe_begin_##low\n" + Block("C")
            << QList<QByteArray> { "C" };
        QTest::newRow("names with blanks and shell characters")
            << Block("Save $5 `x` now ") << QList<QByteArray> { "Save $5 `x` now " };
    }

    void recipeNames()
    {
        QFETCH(QByteArray, content);
        QFETCH(QList<QByteArray>, names);
        QCOMPARE(CRecipeFile::ReadRecipeNames(content), names);
        int asked = 0;
        QByteArray many;
        for (int i = 0; i < 100; ++i)
            many += Block("R" + QByteArray::number(i));
        QVERIFY(CRecipeFile::ReadRecipeNames(many, [&asked] { return ++asked == 2; }).isEmpty());
        QCOMPARE(asked, 2);
    }

    // A damaged file of many begin lines without an end line, with blocks among them. Each such
    // line once sent the walk to the end of the file, so this took many minutes; the test's
    // time-out is the guard, the results are checked line by line.
    void manyBeginLinesWithoutEnd()
    {
        const int count = 100000;
        auto lost = [](int i) { return "Lost " + QByteArray::number(i); };
        auto begin = [](const QByteArray& name) { return "##_ZEPH_RECIPE_BEGIN_##" + name + "\n"; };
        const QByteArray off = CRecipeFile::DisableRecipeText(Block("Off"), "Off");
        // The second to last begin line has its end line after the last one.
        const QByteArray last = begin(lost(count - 2)) + begin(lost(count - 1)) + "##_ZEPH_RECIPE_END_##"
            + lost(count - 2) + "\n";
        QByteArray first, second;
        QList<QByteArray> names;
        for (int i = 0; i < count / 2; ++i) {
            first += begin(lost(i));
            names.append(lost(i));
        }
        names << "Kept"
              << "Off";
        for (int i = count / 2; i < count - 2; ++i) {
            second += begin(lost(i));
            names.append(lost(i));
        }
        names.append(lost(count - 2));
        const QByteArray text = first + Block("Kept") + off + second + last;

        QCOMPARE(CRecipeFile::ReadRecipeNames(text), names);
        QList<CRecipeListEntry> list;
        QList<QByteArray> groups;
        QVERIFY(CRecipeFile::ParseRecipeText(text, &list, &groups));
        QCOMPARE(list.size(), 5);
        QVERIFY(list.at(0).unparsed);
        QCOMPARE(
            groups.at(0), begin(list.at(0).name) + first + "##_ZEPH_RECIPE_END_##" + list.at(0).name + "\n");
        QCOMPARE(list.at(1), (CRecipeListEntry { "Kept", Block("Kept"), false, false }));
        QCOMPARE(list.at(2), (CRecipeListEntry { "Off", off, true, false }));
        QVERIFY(list.at(3).unparsed);
        QCOMPARE(
            groups.at(1), begin(list.at(3).name) + second + "##_ZEPH_RECIPE_END_##" + list.at(3).name + "\n");
        QCOMPARE(list.at(4), (CRecipeListEntry { lost(count - 2), last, false, false }));
    }

    void disableEnable()
    {
        const QByteArray text = Block("Spam");
        const QByteArray disabled = CRecipeFile::DisableRecipeText(text, "Spam");
        QCOMPARE(disabled,
            QByteArray("##_ZEPH_RECIPE_BEGIN_##Spam\n##_ZEPH_COMMENT_##:0\n"
                       "##_ZEPH_COMMENT_##* ^Subject:.*x\n##_ZEPH_COMMENT_##/dev/null\n"
                       "##_ZEPH_RECIPE_END_##Spam\n"));
        QVERIFY(CRecipeFile::IsDisabledText(disabled));
        QVERIFY(!CRecipeFile::IsDisabledText(text));
        QCOMPARE(CRecipeFile::EnableRecipeText(disabled), text);
        Write("\n" + disabled);
        QVERIFY(Parse().first().disabled);
    }

    void groupNames()
    {
        Clock::SetNow(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
        Clock::SetTickCount(4242);
        const QByteArray first = CRecipeFile::MakeGroupName();
        const QByteArray second = CRecipeFile::MakeGroupName();
        Clock::SetNow(std::nullopt);
        Clock::SetTickCount(std::nullopt);
        QVERIFY(first.startsWith("0304260506074242"));
        QVERIFY(first != second);
        const char letter = first.at(16);
        QVERIFY(letter >= 'A' && letter <= 'Z');
        QCOMPARE(second.at(16), letter == 'Z' ? 'A' : static_cast<char>(letter + 1));
        QCOMPARE(second.mid(17).toLong(), first.mid(17).toLong() + 1);
    }

    void unreadableFile()
    {
        CRecipeFile file(m_dir.path()); // a folder, not a file
        int b = 0, e = 0;
        QCOMPARE(file.Locate("x", &b, &e), CRecipeFile::LocateError);
        QVERIFY(!file.AppendRecipe("x"));
        QList<CRecipeListEntry> list;
        QList<QByteArray> groups;
        QString error;
        QVERIFY(!CRecipeFile::ParseRecipeList(
            m_dir.filePath(QStringLiteral("missing")), &list, &groups, {}, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!CRecipeFile::WriteRecipeList(
            m_dir.filePath(QStringLiteral("no/such/folder/zeph.recipes")), list));
    }
};

QTEST_GUILESS_MAIN(TestRecipeFile)
#include "tst_recipefile.moc"
