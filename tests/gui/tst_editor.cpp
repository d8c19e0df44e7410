// The text editor: comment, uncomment and hard wrap keeping each file's line ends, the check for
// outside changes, the recipe list, and files it must not take (binary, huge, read-only).
#include "core/common/Prompt.h"
#include "core/settings/Profile.h"
#include "gui/app/DocumentRegistry.h"
#include "gui/app/MainWindow.h"
#include "gui/common/FileDialogs.h"
#include "gui/editor/CZEPHView.h"
#include "gui/editor/EditorTextOps.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/MainWindowWithEditor.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <memory>
#include <sys/stat.h>

namespace {

QString S(const char* text)
{
    return QString::fromLatin1(text);
}

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write test file");
    return path;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Selects from the start of line `first` to the start of line `end` (0-based blocks).
void selectLines(QPlainTextEdit* edit, int first, int end)
{
    QTextCursor cursor(edit->document()->findBlockByNumber(first));
    cursor.setPosition(edit->document()->findBlockByNumber(end).position(), QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
}

// Moves the file's time so that the change is seen whatever the file system's time resolution.
void touchLater(const QString& path, int seconds)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(
        file.setFileTime(QDateTime::currentDateTime().addSecs(seconds), QFileDevice::FileModificationTime));
}

} // namespace

class TestEditor : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<GuiTestFixture> m_fixture;
    QString docs() const { return m_fixture->Docs(); }

    std::unique_ptr<CZEPHView> open(const QString& path)
    {
        QString error;
        std::unique_ptr<CZEPHView> view(CZEPHView::OpenFile(path, &error));
        if (!view)
            qWarning("%s", qPrintable(error));
        return view;
    }

private slots:
    void initTestCase() { m_fixture = std::make_unique<GuiTestFixture>(QStringLiteral("Editor")); }

    void init()
    {
        m_fixture->Init();
        SetSetting(Settings::ToolbarNeverSaved, 0);
    }

    void textOps_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("atLineStart");
        QTest::addColumn<QString>("expected");
        QTest::newRow("comment three whole lines")
            << S("comment") << S("a\nb\nc\n") << true << S("# a\n# b\n# c\n");
        QTest::newRow("comment from mid-line") << S("comment") << S("lo\nb\nc") << false << S("lo\n# b\n# c");
        QTest::newRow("uncomment three lines")
            << S("uncomment") << S("# a\n# b\n# c\n") << true << S("a\nb\nc\n");
        QTest::newRow("uncomment leaves other prefixes")
            << S("uncomment") << S("#a\n#b\n# c") << true << S("#a\n#b\nc");
        QTest::newRow("wrap at 20") << S(
            "wrap20") << QString(QStringLiteral("aaaaaaaaa bbbbbbbbbbbbbb cccccccccccccccccccc"))
                                    << true << S("aaaaaaaaa\nbbbbbbbbbbbbbb\ncccccccccccccccccccc\n");
        QTest::newRow("wrap without blanks")
            << S("wrap20") << QString(25, QLatin1Char('x')) << true
            << QString(20, QLatin1Char('x')) + S("\n") + QString(5, QLatin1Char('x')) + S("\n");
        QTest::newRow("wrap keeps empty lines, adds no line")
            << S("wrap20") << S("a\n\nb\n") << true << S("a\n\nb\n");
    }

    void textOps()
    {
        QFETCH(QString, op);
        QFETCH(QString, input);
        QFETCH(bool, atLineStart);
        QFETCH(QString, expected);
        const QString prefix = QStringLiteral("# ");
        const QString result = op == QLatin1String("comment")
            ? EditorTextOps::Comment(input, atLineStart, prefix)
            : op == QLatin1String("uncomment") ? EditorTextOps::Uncomment(input, atLineStart, prefix)
                                               : EditorTextOps::HardWrap(input, 20);
        QCOMPARE(result, expected);
    }

    // On a CR LF and on an LF file: Comment, Uncomment and wrap each are one undo step, and the
    // file keeps its own line ends when saved.
    void commandsKeepLineEnds_data()
    {
        QTest::addColumn<QByteArray>("eol");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("LF") << QByteArray("\n");
    }

    void commandsKeepLineEnds()
    {
        QFETCH(QByteArray, eol);
        const QByteArray original = "one" + eol + "two" + eol + "three" + eol + "four" + eol;
        const QString path = writeFile(docs() + QStringLiteral("lines.txt"), original);
        auto view = open(path);
        QVERIFY(view);
        QCOMPARE(view->UsesCrLf(), eol == "\r\n");
        QPlainTextEdit* edit = view->Editor();
        selectLines(edit, 0, 3);
        view->CommentSelection();
        const QByteArray commented = "# one" + eol + "# two" + eol + "# three" + eol + "four" + eol;
        QCOMPARE(view->FileBytes(), commented);
        QCOMPARE(view->Title(), QStringLiteral("lines.txt *"));
        edit->undo();
        QCOMPARE(view->FileBytes(), original);
        edit->redo();
        selectLines(edit, 0, 3);
        view->UncommentSelection();
        QCOMPARE(view->FileBytes(), original);

        view->InsertHardLineWrap(3);
        const QByteArray wrapped
            = "one" + eol + "two" + eol + "thr" + eol + "ee" + eol + "fou" + eol + "r" + eol;
        QCOMPARE(view->FileBytes(), wrapped);
        edit->undo();
        QCOMPARE(view->FileBytes(), original);
        edit->redo();
        QVERIFY(view->Save());
        QCOMPARE(readFile(path), wrapped);
        QCOMPARE(view->Title(), QStringLiteral("lines.txt"));
    }

    // Files for the host are saved with LF whatever they were read with; text that is not UTF-8
    // comes back byte for byte.
    void hostFilesAndLatin1()
    {
        const QString rc = writeFile(docs() + QStringLiteral(".procmailrc"), "A=1\r\nB=2\r\n");
        auto view = open(rc);
        QVERIFY(view);
        view->Editor()->moveCursor(QTextCursor::End);
        view->Editor()->insertPlainText(QStringLiteral("C=3\n"));
        QVERIFY(view->Save());
        QCOMPARE(readFile(rc), QByteArray("A=1\nB=2\nC=3\n"));

        const QByteArray latin1("caf\xe9\nna\xefve\n");
        const QString path = writeFile(docs() + QStringLiteral("latin1.txt"), latin1);
        auto other = open(path);
        QVERIFY(other);
        QCOMPARE(other->FileBytes(), latin1);
    }

    void refusedFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("messagePart");
        QTest::newRow("binary") << "binary.bin"
                                << "not appear to be a text file";
        QTest::newRow("too large") << "huge.txt"
                                   << "MB large";
        QTest::newRow("folder") << "folder"
                                << "is a folder";
        QTest::newRow("missing") << "missing.txt"
                                 << "does not exist";
        QTest::newRow("named pipe")
            << "pipe.txt"
            << "is a named pipe (FIFO), not a regular file.  Only a regular file can be "
               "opened in the text editor.";
    }

    void refusedFiles()
    {
        QFETCH(QString, name);
        QFETCH(QString, messagePart);
        const QString path = docs() + name;
        if (name == QLatin1String("binary.bin"))
            writeFile(path, QByteArray("PK\x03\x04\0\0text", 10));
        if (name == QLatin1String("huge.txt")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(CZEPHView::MaxFileSize + 1)); // sparse: costs no disk
        }
        if (name == QLatin1String("folder"))
            QDir().mkpath(path);
        if (name == QLatin1String("pipe.txt"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        QString error;
        QVERIFY(!CZEPHView::OpenFile(path, &error));
        QVERIFY2(error.contains(messagePart), qPrintable(error));
        // Through the main window the user is told and nothing opens.
        MainWindowWithEditor window;
        QVERIFY(!window.Documents().OpenFile(path));
        QVERIFY(window.Documents().List().isEmpty());
        QVERIFY(Prompt::History().last().text.contains(messagePart));
    }

    // A read-only file is saved under a new name; cancelling that keeps the edits and the file.
    void readOnlyFileSavesAs()
    {
        const QString path = writeFile(docs() + QStringLiteral("locked.txt"), "keep\n");
        QFile::setPermissions(path, QFile::ReadOwner);
        auto view = open(path);
        QVERIFY(view);
        view->Editor()->insertPlainText(QStringLiteral("edit "));
        FileDialogs::QueueAnswer(QString());
        QVERIFY(!view->Save());
        QVERIFY(view->IsModified());
        const QString copy = docs() + QStringLiteral("copy.txt");
        FileDialogs::QueueAnswer(copy);
        QVERIFY(view->Save());
        QCOMPARE(readFile(copy), QByteArray("edit keep\n"));
        QCOMPARE(readFile(path), QByteArray("keep\n"));
        QCOMPARE(view->Path(), QFileInfo(copy).absoluteFilePath());
    }

    // A failed save says so and keeps the document modified.
    void failedSaveKeepsEdits()
    {
        const QString folder = docs() + QStringLiteral("gone/");
        QDir().mkpath(folder);
        const QString path = writeFile(folder + QStringLiteral("x.txt"), "x\n");
        auto view = open(path);
        view->Editor()->insertPlainText(QStringLiteral("y"));
        QDir(folder).removeRecursively();
        QVERIFY(!view->Save());
        QVERIFY(view->IsModified());
        QCOMPARE(Prompt::History().last().icon, Prompt::Stop);
    }

    // Changed on disk: asked once per change; No keeps the text, Yes reloads; with unsaved
    // edits a Yes is asked again before they are dropped.
    void outsideChange()
    {
        const QString path = writeFile(docs() + QStringLiteral("watched.txt"), "first\n");
        auto view = open(path);
        view->CheckOutsideChange();
        QVERIFY(Prompt::History().isEmpty());

        writeFile(path, "second version\n");
        touchLater(path, 5);
        Prompt::QueueAnswer(Prompt::No);
        view->CheckOutsideChange();
        QCOMPARE(Prompt::History().size(), 1);
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("File changed!"));
        QCOMPARE(Prompt::History().last().text,
            QStringLiteral("The file %1 has been modified on disk.  Do you want to load this new version?")
                .arg(view->Path()));
        QCOMPARE(view->Editor()->toPlainText(), QStringLiteral("first\n"));
        view->CheckOutsideChange();
        QCOMPARE(Prompt::History().size(), 1);

        writeFile(path, "third\n");
        touchLater(path, 10);
        Prompt::QueueAnswer(Prompt::Yes);
        view->CheckOutsideChange();
        QCOMPARE(view->Editor()->toPlainText(), QStringLiteral("third\n"));
        QVERIFY(!view->IsModified());

        view->Editor()->insertPlainText(QStringLiteral("mine "));
        writeFile(path, "fourth\n");
        touchLater(path, 15);
        Prompt::QueueAnswer(Prompt::Yes);
        Prompt::QueueAnswer(Prompt::No);
        view->CheckOutsideChange();
        QCOMPARE(Prompt::History().last().text,
            QStringLiteral(
                "The document watched.txt has unsaved changes that loading the new version will discard."
                "\n\nLoad the new version anyway?"));
        QCOMPARE(Prompt::History().last().defaultButton, Prompt::No);
        QCOMPARE(view->Editor()->toPlainText(), QStringLiteral("mine third\n"));
        QVERIFY(view->IsModified());
    }

    // Deleted while open: Yes keeps it (as modified), asked once; No closes the window.
    void deletedWhileOpen()
    {
        MainWindowWithEditor window;
        const QString path = writeFile(docs() + QStringLiteral("doomed.txt"), "text\n");
        auto* view = qobject_cast<CZEPHView*>(window.Documents().OpenFile(path));
        QVERIFY(view);
        QFile::remove(path);
        Prompt::QueueAnswer(Prompt::Yes);
        view->CheckOutsideChange();
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("File deleted!"));
        QVERIFY(view->IsModified());
        view->CheckOutsideChange();
        QCOMPARE(Prompt::History().size(), 1);
        // Saving writes it back where it was.
        QVERIFY(view->Save());
        QCOMPARE(readFile(path), QByteArray("text\n"));

        QFile::remove(path);
        Prompt::QueueAnswer(Prompt::No);
        view->CheckOutsideChange();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.Documents().List().isEmpty());
        QVERIFY(!QFile::exists(path));
    }

    // The recipe file fills the Text Toolbar's list; another file empties it; a chosen entry
    // selects its begin line.
    void recipeList()
    {
        const QByteArray recipes
            = "##_ZEPH_RECIPE_BEGIN_##Zulu\r\n:0\r\n* ^Subject: z\r\nz/\r\n##_ZEPH_RECIPE_END_##Zulu\r\n"
              "##_ZEPH_RECIPE_BEGIN_##alpha\r\n:0\r\na/\r\n##_ZEPH_RECIPE_END_##alpha\r\n"
              "##_ZEPH_RECIPE_BEGIN_##Mike\r\n:0\r\nm/\r\n##_ZEPH_RECIPE_END_##Mike\r\n";
        const QString path = writeFile(docs() + QStringLiteral("zeph.recipes"), recipes);
        const QString rc = writeFile(docs() + QStringLiteral(".procmailrc"), "A=1\n");
        MainWindowWithEditor window;
        auto* view = qobject_cast<CZEPHView*>(window.Documents().OpenFile(path));
        QComboBox* list = window.RecipeListBox();
        QTRY_COMPARE(list->count(), 3);
        QCOMPARE(list->itemText(0), QStringLiteral("alpha"));
        QCOMPARE(list->itemText(2), QStringLiteral("Zulu"));
        QVERIFY(view->GoToRecipe(QStringLiteral("Mike")));
        QCOMPARE(view->Editor()->textCursor().selectedText(), QStringLiteral("##_ZEPH_RECIPE_BEGIN_##Mike"));
        QVERIFY(!view->GoToRecipe(QStringLiteral("Mik")));
        window.Documents().OpenFile(rc);
        QCOMPARE(list->count(), 0);
        // File order when asked for.
        SetSetting(Settings::ToolbarComboAlphabetical, 0);
        CZEPHView::InvalidateAllRecipeNames();
        window.Documents().ActivateDocument(view);
        QTRY_COMPARE(list->count(), 3);
        QCOMPARE(list->itemText(0), QStringLiteral("Zulu"));
    }

    // The list's size comes from the stored percentages at start (out of range counts as 100%),
    // and its context menu, driven by the keyboard, changes size and order and stores them.
    void recipeListSizeAndMenu_data()
    {
        QTest::addColumn<int>("widthPercent");
        QTest::addColumn<int>("lengthPercent");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("dropHeight");
        QTest::newRow("stored") << 50 << 200 << 75 << 500;
        QTest::newRow("out of range") << 401 << 9 << 150 << 250;
    }

    void recipeListSizeAndMenu()
    {
        QFETCH(int, widthPercent);
        QFETCH(int, lengthPercent);
        QFETCH(int, width);
        QFETCH(int, dropHeight);
        SetSetting(Settings::ToolbarComboWidth, widthPercent);
        SetSetting(Settings::ToolbarComboLength, lengthPercent);
        SetSetting(Settings::ToolbarComboAlphabetical, 1);
        MainWindowWithEditor window;
        QComboBox* list = window.RecipeListBox();
        QCOMPARE(list->width(), width);
        QCOMPARE(list->view()->minimumHeight(), dropHeight);

        // Opens the menu at the list and types `keys` into whichever menu is open, one at a time.
        auto useMenu = [list](const QList<int>& keys) {
            for (int i = 0; i < keys.size(); ++i)
                QTimer::singleShot(50 * (i + 1), list, [key = keys[i]] {
                    if (QWidget* menu = QApplication::activePopupWidget())
                        QTest::keyClick(menu, static_cast<Qt::Key>(key));
                });
            // Closes whatever is left open, so that a wrong key cannot hang the test.
            QTimer::singleShot(50 * (keys.size() + 3), list, [] {
                while (QWidget* menu = QApplication::activePopupWidget())
                    menu->close();
            });
            emit list->customContextMenuRequested(QPoint(2, 2));
            // The timers of this menu run out before the next one opens.
            QTest::qWait(50 * (keys.size() + 4));
        };
        useMenu({ Qt::Key_W, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return });
        QCOMPARE(GetSetting(Settings::ToolbarComboWidth), 200);
        QCOMPARE(list->width(), 300);
        useMenu({ Qt::Key_L, Qt::Key_Return });
        QCOMPARE(GetSetting(Settings::ToolbarComboLength), 50);
        QCOMPARE(list->view()->minimumHeight(), 125);
        useMenu({ Qt::Key_S, Qt::Key_Down, Qt::Key_Return });
        QCOMPARE(GetSetting(Settings::ToolbarComboAlphabetical), 0);
    }

    // The status pane follows the caret; the title marker follows the modified state.
    void statusPaneAndTitle()
    {
        MainWindowWithEditor window;
        auto* view = qobject_cast<CZEPHView*>(
            window.Documents().OpenFile(writeFile(docs() + QStringLiteral("ln.txt"), "ab\ncdef\n")));
        QTextCursor cursor(view->Editor()->document()->findBlockByNumber(1));
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 3);
        view->Editor()->setTextCursor(cursor);
        QCOMPARE(window.LineColumnText(), QStringLiteral("Ln 2, Col 4"));
        view->Editor()->insertPlainText(QStringLiteral("x"));
        window.UpdateCommandStates();
        QCOMPARE(window.Documents().SubWindowOf(view)->windowTitle(), QStringLiteral("ln.txt *"));
        view->Editor()->undo();
        window.UpdateCommandStates();
        QCOMPARE(window.Documents().SubWindowOf(view)->windowTitle(), QStringLiteral("ln.txt"));
        QVERIFY(window.Documents().CloseDocument(view));
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(window.LineColumnText(), QString());
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
