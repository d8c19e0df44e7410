#include "gui/common/Help.h"
#include "gui/common/HelpBrowser.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

class TestHelp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InstallHelpKey(qApp); }
    void f1OpensTheFocusedWindowsTopic();
    void unknownTopicShowsContents();
    void helpOverModalDialogIsUsable();
    void helpDoesNotKeepTheProgramAlive();
    void pagesKeepOnlyPassagesOfPerformedCommands_data();
    void pagesKeepOnlyPassagesOfPerformedCommands();
    void browserShowsTheFilteredPage();
};

void TestHelp::f1OpensTheFocusedWindowsTopic()
{
    QDialog dialog;
    SetHelpTopic(&dialog, QStringLiteral("index.html"));
    auto* edit = new QLineEdit(&dialog);
    (new QVBoxLayout(&dialog))->addWidget(edit);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    edit->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    QTest::keyClick(edit, Qt::Key_F1);
    HelpBrowser* browser = HelpBrowser::Instance();
    QVERIFY(browser->isVisible());
    QCOMPARE(browser->CurrentTopic(), QStringLiteral("index.html"));
    browser->close();
}

void TestHelp::unknownTopicShowsContents()
{
    ShowHelpTopic(nullptr, QStringLiteral("no-such-topic.html"));
    QCOMPARE(HelpBrowser::Instance()->CurrentTopic(), QStringLiteral("index.html"));
    HelpBrowser::Instance()->close();
}

// F1 in a modal dialog: help shows above the dialog and takes clicks while the dialog is open
// (a click that goes through the window system, where a modal dialog blocks other windows), and
// stays open as a window of its own when the dialog is gone.
void TestHelp::helpOverModalDialogIsUsable()
{
    QWidget owner;
    owner.show();
    QDialog dialog(&owner);
    SetHelpTopic(&dialog, QStringLiteral("intro.html"));
    auto* edit = new QLineEdit(&dialog);
    (new QVBoxLayout(&dialog))->addWidget(edit);
    QString topicAfterClick;
    bool above = false;
    QTimer::singleShot(0, &dialog, [&] {
        QApplication::setActiveWindow(&dialog);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_F1);
        HelpBrowser* browser = HelpBrowser::Instance();
        QVERIFY(QTest::qWaitForWindowExposed(browser));
        above = browser->windowHandle()->transientParent() == dialog.windowHandle();
        auto* contents = browser->findChild<QPushButton*>(QStringLiteral("contents"));
        QVERIFY(contents);
        const QPoint at = contents->mapTo(browser, contents->rect().center());
        QTest::mouseClick(browser->windowHandle(), Qt::LeftButton, {}, at);
        topicAfterClick = browser->CurrentTopic();
        dialog.accept();
    });
    dialog.exec();
    QVERIFY(above);
    QCOMPARE(topicAfterClick, QStringLiteral("index.html"));
    HelpBrowser* browser = HelpBrowser::Instance();
    QTRY_VERIFY(browser->isVisible());
    QVERIFY(!browser->parentWidget());
    browser->close();
}

// Closing the last main window ends the program even while help is open.
void TestHelp::helpDoesNotKeepTheProgramAlive()
{
    QWidget main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    ShowHelpTopic(&main, QStringLiteral("index.html"));
    QVERIFY(HelpBrowser::Instance()->isVisible());
    QTimer::singleShot(0, &main, &QWidget::close);
    // The application's own loop ends when the last window that counts is closed; 2 means help
    // kept it running.
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(2); });
    QCOMPARE(QApplication::exec(), 0);
    HelpBrowser::Instance()->close();
}

QTEST_MAIN(TestHelp)
// Command 1 is performed, command 2 is not.
void TestHelp::pagesKeepOnlyPassagesOfPerformedCommands_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("shown");
    QTest::newRow("unmarked") << QStringLiteral("<p>a</p>") << QStringLiteral("<p>a</p>");
    QTest::newRow("performed") << QStringLiteral("x<!--command 1 One-->a<!--/command-->y")
                               << QStringLiteral("xay");
    QTest::newRow("not performed") << QStringLiteral("x<!--command 2 Two-->a<!--/command-->y")
                                   << QStringLiteral("xy");
    QTest::newRow("instead of one not performed")
        << QStringLiteral("<!--command 2-->a<!--/command--><!--no-command 2-->b<!--/command-->")
        << QStringLiteral("b");
    QTest::newRow("instead of one performed")
        << QStringLiteral("<!--command 1-->a<!--/command--><!--no-command 1-->b<!--/command-->")
        << QStringLiteral("a");
    QTest::newRow("each passage on its own") << QStringLiteral(
        "<li><!--command 2-->a<!--/command--></li><li>k</li><!--command 1-->\nb\n<!--/command-->")
                                             << QStringLiteral("<li></li><li>k</li>\nb\n");
    QTest::newRow("other comments stay")
        << QStringLiteral("<!-- note -->a") << QStringLiteral("<!-- note -->a");
}

void TestHelp::pagesKeepOnlyPassagesOfPerformedCommands()
{
    QFETCH(QString, html);
    QFETCH(QString, shown);
    SetHelpCommandTest([](int id) { return id == 1; });
    QCOMPARE(FilterHelpPage(html), shown);
    SetHelpCommandTest({});
}

// The help window shows a page as filtered: the welcome page gives the Settings step in place of a
// setup wizard that is not there.
void TestHelp::browserShowsTheFilteredPage()
{
    SetHelpCommandTest([](int) { return false; });
    ShowHelpTopic(nullptr, QStringLiteral("welcome.html"));
    auto* browser = HelpBrowser::Instance()->findChild<QTextBrowser*>();
    QVERIFY(browser);
    QVERIFY(browser->toPlainText().contains(QStringLiteral("Begin with Settings")));
    QVERIFY(!browser->toPlainText().contains(QStringLiteral("press Initial Setup")));
    SetHelpCommandTest({});
    HelpBrowser::Instance()->close();
}

#include "tst_help.moc"
