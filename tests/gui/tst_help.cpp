#include "gui/common/Help.h"
#include "gui/common/HelpBrowser.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
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
#include "tst_help.moc"
