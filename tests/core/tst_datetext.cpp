#include "TestEnvironment.h"
#include "core/common/DateText.h"
#include "core/log/CLogDisplayDoc.h"
#include "core/settings/CAppState.h"
#include "core/settings/CRemoteFilesFoldersMgr.h"
#include "core/settings/Profile.h"

#include <QTest>

#include <memory>

// The log list and the remote-files list show dates the same way; one table holds both to it.
class TestDateText : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        StartFreshIdentity();
    }

    void cleanup() { m_env.reset(); }

    void bothListsAgree_data()
    {
        QTest::addColumn<int>("order");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QByteArray>("text"); // UTF-8
        QTest::newRow("month day year") << 0 << QStringLiteral("/") << QByteArray("12/01/07 14:05");
        QTest::newRow("day month year") << 1 << QStringLiteral(".") << QByteArray("01.12.07 14:05");
        QTest::newRow("year month day") << 2 << QStringLiteral("-") << QByteArray("07-12-01 14:05");
        QTest::newRow("other orders are month first")
            << 7 << QStringLiteral("/") << QByteArray("12/01/07 14:05");
        QTest::newRow("negative order") << -1 << QStringLiteral("/") << QByteArray("12/01/07 14:05");
        QTest::newRow("empty separator is a slash")
            << 0 << QStringLiteral("") << QByteArray("12/01/07 14:05");
        QTest::newRow("first character only") << 0 << QStringLiteral("-x") << QByteArray("12-01-07 14:05");
        QTest::newRow("two-byte character") << 1 << QStringLiteral("\u00b7")
                                            << QByteArray("01\xc2\xb7"
                                                          "12\xc2\xb7"
                                                          "07 14:05");
        // A character outside the Basic Multilingual Plane is two UTF-16 units; both are kept.
        QTest::newRow("surrogate pair") << 2 << QStringLiteral("\U0001D11Ex")
                                        << QByteArray("07\xf0\x9d\x84\x9e"
                                                      "12\xf0\x9d\x84\x9e"
                                                      "01 14:05");
    }

    void bothListsAgree()
    {
        QFETCH(int, order);
        QFETCH(QString, separator);
        QFETCH(QByteArray, text);
        SetSetting(Settings::LogDateFormat, order);
        SetSetting(Settings::LogDateSeparator, separator);

        CLogDisplayDoc doc;
        doc.OpenData("From a@b  Sat Dec  1 14:05:09 2007\n  Folder: inbox 5\n");
        QCOMPARE(doc.GetEntryCount(), 1);
        QCOMPARE(doc.DateText(doc.GetEntry(0)), text);

        const QDateTime time(QDate(2007, 12, 1), QTime(14, 5, 9));
        QCOMPARE(CRemoteFilesFoldersMgr::UploadDateText(COleDateTime::FromDateTime(time)),
            QString::fromUtf8(text));
        QCOMPARE(DateText::Format(time, order, separator), QString::fromUtf8(text));
    }

    void unknownDates()
    {
        QCOMPARE(DateText::Format(QDateTime(), 0, QStringLiteral("/")), QString());
        QCOMPARE(CRemoteFilesFoldersMgr::UploadDateText(COleDateTime()), QString());
        QCOMPARE(DateText::PaddedDay('7'), QByteArrayView("07"));
        // A damaged log's day stays visible rather than vanishing from the date.
        QCOMPARE(DateText::PaddedDay('x'), QByteArrayView("0x"));
        QCOMPARE(DateText::PaddedDay('\xff'), QByteArrayView("0\xff"));
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
};

QTEST_GUILESS_MAIN(TestDateText)
#include "tst_datetext.moc"
