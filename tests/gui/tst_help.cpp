#include "gui/common/Help.h"
#include "gui/common/HelpBrowser.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

class TestHelp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InstallHelpKey(qApp); }
    void f1OpensTheFocusedWindowsTopic();
    void unknownTopicShowsContents();
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

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
