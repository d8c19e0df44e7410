// The Send E-Mail dialog, its SMTP configuration and Check for Update offscreen, against aiosmtpd
// and http.server on 127.0.0.1: what is sent, what is stored, the questions and checks with
// their focus, and Cancel while the worker waits on a silent peer.
#include "core/common/Prompt.h"
#include "core/net/SavedPassword.h"
#include "core/settings/Profile.h"
#include "gui/common/CCheckQuestionDlg.h"
#include "gui/common/CHyperLink.h"
#include "gui/common/CWorkingDlg.h"
#include "gui/common/CommandIds.h"
#include "gui/common/IShell.h"
#include "gui/mail/CSendMailDlg.h"
#include "gui/mail/CSmtpConfigDlg.h"
#include "gui/mail/InstallMail.h"
#include "support/MailServers.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/MainWindowWithEditor.h"
#include "support/gui/ModalDialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <memory>

namespace {

QStringList g_opened;

bool recordOpen(const QString& url)
{
    g_opened.append(url);
    return true;
}

// A send through a server on `port` without a login, from and to fixed addresses.
void useServer(int port)
{
    SetSetting(Settings::SmtpHost, QStringLiteral("127.0.0.1"));
    SetSetting(Settings::SmtpPort, port);
    SetSetting(Settings::SmtpAuthMethod, 0);
    SetSetting(Settings::MailEnvelopeFrom, QStringLiteral("me@example.test"));
    SetSetting(Settings::MailEnvelopeTo, QStringLiteral("rcpt@example.test"));
    SetSetting(Settings::MailAddDateHeader, 0);
}

template <typename T> T* child(QWidget& parent, const char* name)
{
    return parent.findChild<T*>(QLatin1String(name));
}

} // namespace

class TestMailDialogs : public QObject
{
    Q_OBJECT

    std::unique_ptr<GuiTestFixture> m_fixture;

private slots:
    void initTestCase()
    {
        m_fixture = std::make_unique<GuiTestFixture>(QStringLiteral("Mail"));
        CHyperLink::SetOpener(recordOpen);
        QCoreApplication::setApplicationVersion(QStringLiteral("1.0.2.1186"));
    }
    void init()
    {
        m_fixture->Init();
        g_opened.clear();
    }

    void sendsFromTheMenuWithALogin();
    void warnQuestion_data();
    void warnQuestion();
    void entryProblems_data();
    void entryProblems();
    void fieldsPersistAndClear();
    void configuration();
    void cancelWhileTheServerIsSilent();
    void checkForUpdate_data();
    void checkForUpdate();
    void cancelEndsTheVersionWait();
};

void TestMailDialogs::sendsFromTheMenuWithALogin()
{
    TestSmtpServer server({ QStringLiteral("tester"), QStringLiteral("pw"), QString() });
    QString error;
    QVERIFY2(server.Start(&error), qPrintable(error));
    useServer(server.Port());
    SetSetting(Settings::SmtpAuthMethod, 4);
    SetSetting(Settings::SmtpUserName, QStringLiteral("tester"));
    SetSetting(Settings::SaveSmtpPassword, 1);
    QVERIFY(SavedPassword::Smtp().Save(QStringLiteral("pw")));
    SetSetting({ Settings::MailCustomHeader, QStringLiteral("2") }, QStringLiteral("Cc: copy@example.test"));
    SetSetting(Settings::MailSubject, QStringLiteral("From the dialog"));

    MainWindowWithEditor window;
    InstallMail(window.Shell());
    window.Shell().UpdateCommandStates();
    QVERIFY(window.Shell().CommandAction(Cmd::SendEmailDialog)->isEnabled());
    // 1500 characters in lines a server takes (at most 998 each).
    const QString body
        = QStringLiteral(".first\n.\n") + (QString(49, QLatin1Char('x')) + QLatin1Char('\n')).repeated(30);
    QString status;
    WhenModal<CSendMailDlg>([&](CSendMailDlg* dialog) {
        child<QPlainTextEdit>(*dialog, "body")->setPlainText(body);
        Prompt::QueueAnswer(Prompt::No); // send, do not edit the entries
        dialog->Send();
        status = dialog->StatusText();
        dialog->reject();
    });
    window.Shell().CommandAction(Cmd::SendEmailDialog)->trigger();
    QCOMPARE(status, QStringLiteral("Message successfully sent!"));
    QCOMPARE(server.Logins(), QList<QByteArray>({ "AUTH CRAM-MD5 ok" }));
    QCOMPARE(server.Messages().size(), 1);
    QCOMPARE(server.Messages()[0].content,
        "Subject: From the dialog\r\nCc: copy@example.test\r\nX-Warning: Headers may be "
        "forged\r\n\r\n.first\r\n.\r\n"
            + (QByteArray(49, 'x') + "\r\n").repeated(30) + "\r\n");
    QCOMPARE(server.Messages()[0].to, QList<QByteArray>({ "rcpt@example.test" }));
    // The body is kept cut; the reminder stays on.
    QCOMPARE(GetSettingString(Settings::MailBody), body.left(1000));
    QCOMPARE(GetSetting(Settings::MailWarnOnSend), 1);
    const Prompt::Record asked = Prompt::History().first();
    QCOMPARE(asked.caption, QStringLiteral("Edit your entries?"));
    QCOMPARE(asked.checkBoxText, QStringLiteral("Don't warn me about this again."));
}

void TestMailDialogs::warnQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<int>("warnAfter");
    QTest::newRow("Yes returns to edit, the check box switches it off")
        << int(Prompt::Yes) << true << false << 0;
    QTest::newRow("Cancel changes nothing") << int(Prompt::Cancel) << true << false << 1;
    QTest::newRow("No sends and keeps the reminder") << int(Prompt::No) << false << true << 1;
    QTest::newRow("No with the check box sends and stops reminding") << int(Prompt::No) << true << true << 0;
}

void TestMailDialogs::warnQuestion()
{
    QFETCH(int, answer);
    QFETCH(bool, checked);
    QFETCH(bool, sent);
    QFETCH(int, warnAfter);
    TestSmtpServer server;
    QString error;
    QVERIFY2(server.Start(&error), qPrintable(error));
    useServer(server.Port());
    CSendMailDlg dialog(nullptr);
    CCheckQuestionDlg::QueueCheckState(checked);
    Prompt::QueueAnswer(static_cast<Prompt::Button>(answer));
    dialog.Send();
    QCOMPARE(server.Messages().size(), sent ? 1 : 0);
    QCOMPARE(GetSetting(Settings::MailWarnOnSend), warnAfter);
    // Without the reminder the next send goes at once.
    if (warnAfter == 0) {
        Prompt::ClearHistory();
        dialog.Send();
        QCOMPARE(server.Messages().size(), sent ? 2 : 1);
        QVERIFY(Prompt::History().isEmpty());
    }
}

void TestMailDialogs::entryProblems_data()
{
    QTest::addColumn<int>("setting");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no SMTP host") << int(Settings::SmtpHost) << QString()
                                  << QStringLiteral("SMTP not entered") << QStringLiteral("configuration");
    QTest::newRow("no envelope To") << int(Settings::MailEnvelopeTo) << QString()
                                    << QStringLiteral("Envelope To not entered")
                                    << QStringLiteral("envelopeTo");
    QTest::newRow("line break in envelope from")
        << int(Settings::MailEnvelopeFrom) << QStringLiteral("me@example.test\r\nRCPT TO:<x@example.test>")
        << QStringLiteral("Invalid entry") << QStringLiteral("envelopeFrom");
    QTest::newRow("line break in a custom header")
        << int(Settings::MailCustomHeader) << QStringLiteral("X-A: 1\r\nBcc: hidden@example.test")
        << QStringLiteral("Invalid character") << QStringLiteral("custom3");
    QTest::newRow("POP before send without POP host")
        << int(Settings::SmtpAuthMethod) << QStringLiteral("3") << QStringLiteral("Username not entered")
        << QStringLiteral("configuration");
}

void TestMailDialogs::entryProblems()
{
    QFETCH(int, setting);
    QFETCH(QString, value);
    QFETCH(QString, caption);
    QFETCH(QString, focus);
    TestSmtpServer server;
    QString error;
    QVERIFY2(server.Start(&error), qPrintable(error));
    useServer(server.Port());
    SetSetting(Settings::MailWarnOnSend, 0);
    const auto key = static_cast<Settings::Key>(setting);
    if (key == Settings::SmtpAuthMethod)
        SetSetting(key, value.toInt());
    else if (key == Settings::MailCustomHeader)
        SetSetting({ key, QStringLiteral("3") }, value);
    else
        SetSetting(key, value);
    CSendMailDlg dialog(nullptr);
    dialog.Send();
    QCOMPARE(Prompt::History().size(), 1);
    QCOMPARE(Prompt::History().first().caption, caption);
    QCOMPARE(Prompt::History().first().icon, Prompt::Warning);
    QVERIFY(dialog.focusWidget());
    QCOMPARE(dialog.focusWidget()->objectName(), focus);
    QVERIFY(dialog.StatusText().isEmpty());
    // Refused before anything was sent: the server never saw a connection.
    QTest::qWait(200);
    QCOMPARE(server.Connections(), 0);
}

void TestMailDialogs::fieldsPersistAndClear()
{
    SetSetting(Settings::MailLastHeaderModified, CSendMailDlg::Custom4Id);
    SetSetting({ Settings::MailCustomHeader, QStringLiteral("4") }, QStringLiteral("X-Four: 4"));
    SetSetting(Settings::MailBody, QStringLiteral("kept body"));
    {
        CSendMailDlg dialog(nullptr);
        // The field edited last has the focus, its text selected.
        QLineEdit* custom4 = child<QLineEdit>(dialog, "custom4");
        QCOMPARE(dialog.focusWidget(), custom4);
        QCOMPARE(custom4->selectedText(), QStringLiteral("X-Four: 4"));
        QLineEdit* subject = child<QLineEdit>(dialog, "subject");
        QTest::keyClicks(subject, QStringLiteral("Typed"));
        child<QLineEdit>(dialog, "envelopeTo")->setText(QStringLiteral("to@example.test"));
        child<QCheckBox>(dialog, "closeOnSend")->setChecked(true);
        dialog.reject();
    }
    QCOMPARE(GetSetting(Settings::MailLastHeaderModified), int(CSendMailDlg::SubjectId));
    QCOMPARE(GetSettingString(Settings::MailSubject), QStringLiteral("Typed"));
    QCOMPARE(GetSettingString(Settings::MailEnvelopeTo), QStringLiteral("to@example.test"));
    QCOMPARE(GetSetting(Settings::MailCloseOnSend), 1);

    CSendMailDlg dialog(nullptr);
    dialog.ClearHeaders();
    for (const char* name : { "envelopeFrom", "envelopeTo", "toHeader", "fromHeader", "subject", "custom1",
             "custom2", "custom3", "custom4", "custom5" })
        QVERIFY2(child<QLineEdit>(dialog, name)->text().isEmpty(), name);
    QCOMPARE(child<QPlainTextEdit>(dialog, "body")->toPlainText(), QStringLiteral("kept body"));
}

void TestMailDialogs::configuration()
{
    SetSetting(Settings::SmtpAuthMethod, 4);
    {
        CSmtpConfigDlg dialog(QString(), nullptr);
        auto* method = child<QComboBox>(dialog, "authMethod");
        QCOMPARE(method->count(), 5);
        QCOMPARE(method->itemText(4), QStringLiteral("CRAM-MD5"));
        QCOMPARE(method->currentIndex(), 4);
        QVERIFY(child<QLineEdit>(dialog, "user")->isEnabled());
        QVERIFY(!child<QLineEdit>(dialog, "popHost")->isEnabled());
        method->setCurrentIndex(0);
        QVERIFY(!child<QLineEdit>(dialog, "password")->isEnabled());
        method->setCurrentIndex(3);
        QVERIFY(child<QLineEdit>(dialog, "popHost")->isEnabled());
        child<QLineEdit>(dialog, "smtpHost")->setText(QStringLiteral("mail.example.test"));
        child<QCheckBox>(dialog, "savePassword")->setChecked(true);
        QTest::keyClicks(child<QLineEdit>(dialog, "password"), QStringLiteral("typed pw"));
        dialog.accept();
        QCOMPARE(dialog.Password(), QStringLiteral("typed pw"));
    }
    QCOMPARE(GetSetting(Settings::SmtpAuthMethod), 3);
    QCOMPARE(GetSettingString(Settings::SmtpHost), QStringLiteral("mail.example.test"));
    QCOMPARE(SavedPassword::Smtp().Load(), QStringLiteral("typed pw"));
    // The password never becomes a setting of the data file.
    QCOMPARE(GetProfileString(
                 QStringLiteral("Smtp Config Dlg"), QStringLiteral("Password"), QStringLiteral("<none>")),
        QStringLiteral("<none>"));
    {
        // Unedited, the saved password stays; without "Save Password" it is removed, and the send
        // dialog still gets what was typed.
        CSmtpConfigDlg dialog(SavedPassword::Smtp().Load(), nullptr);
        QCOMPARE(child<QLineEdit>(dialog, "password")->text(), QStringLiteral("typed pw"));
        child<QCheckBox>(dialog, "savePassword")->setChecked(false);
        dialog.accept();
        QCOMPARE(dialog.Password(), QStringLiteral("typed pw"));
    }
    QCOMPARE(SavedPassword::Smtp().Load(), QString());
}

void TestMailDialogs::cancelWhileTheServerIsSilent()
{
    ScriptedPeer peer({ QStringLiteral("sleep 60") });
    QString error;
    QVERIFY2(peer.Start(&error), qPrintable(error));
    useServer(peer.Port());
    SetSetting(Settings::MailWarnOnSend, 0);
    CSendMailDlg dialog(nullptr);
    WhenModal<CWorkingDlg>(
        [](CWorkingDlg* working) { QTimer::singleShot(300, working, [working] { working->reject(); }); });
    QElapsedTimer timer;
    timer.start();
    dialog.Send();
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(dialog.StatusText(), QStringLiteral("Canceled: the message was not sent."));
    QVERIFY(Prompt::History().isEmpty());
}

void TestMailDialogs::checkForUpdate_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("opened");
    const QString files = QStringLiteral("files");
    const QString goTo = QStringLiteral("Go to web site?");
    QTest::newRow("newer, Yes")
        << files << QByteArray("1187\n") << int(Prompt::Yes)
        << QStringLiteral("A newer version of ZEPH is available.  Would you like to visit our download page?")
        << goTo << true;
    QTest::newRow("same") << files << QByteArray("1186\r\n") << int(Prompt::NoButton)
                          << QStringLiteral("You are using the most recent version of ZEPH.")
                          << QStringLiteral("Current Version") << false;
    QTest::newRow("older, No")
        << files << QByteArray("1185") << int(Prompt::No)
        << QStringLiteral("Unable to verify version information.  Would you like to visit our web site?")
        << goTo << false;
    QTest::newRow("404, Yes") << files << QByteArray() << int(Prompt::Yes)
                              << QStringLiteral(
                                     "Unable to check version.  Would you like to visit our web site?")
                              << goTo << true;
    QTest::newRow("garbage, Cancel") << QStringLiteral("garbage") << QByteArray() << int(Prompt::Cancel)
                                     << QStringLiteral(
                                            "Unable to check version.  Would you like to visit our web site?")
                                     << goTo << false;
}

void TestMailDialogs::checkForUpdate()
{
    QFETCH(QString, scenario);
    QFETCH(QByteArray, file);
    QFETCH(int, answer);
    QFETCH(QString, text);
    QFETCH(QString, caption);
    QFETCH(bool, opened);
    QMap<QString, QByteArray> files;
    if (!file.isNull())
        files.insert(QStringLiteral("zeph.version.txt"), file);
    TestHttpServer server(scenario, files);
    QString error;
    QVERIFY2(server.Start(&error), qPrintable(error));
    SetSetting(Settings::VersionFileUrl, server.Url(QStringLiteral("zeph.version.txt")));
    SetSetting(Settings::DownloadPageUrl, QStringLiteral("http://downloads.example.test/zeph"));

    MainWindowWithEditor window;
    InstallMail(window.Shell());
    window.Shell().UpdateCommandStates();
    if (answer != Prompt::NoButton)
        Prompt::QueueAnswer(static_cast<Prompt::Button>(answer));
    QVERIFY(window.Shell().RunCommand(Cmd::CheckForUpdate));
    QCOMPARE(Prompt::History().size(), 1);
    QCOMPARE(Prompt::History().first().text, text);
    QCOMPARE(Prompt::History().first().caption, caption);
    QCOMPARE(g_opened,
        opened ? QStringList { QStringLiteral("http://downloads.example.test/zeph") } : QStringList());
}

void TestMailDialogs::cancelEndsTheVersionWait()
{
    TestHttpServer server(QStringLiteral("slow"));
    QString error;
    QVERIFY2(server.Start(&error), qPrintable(error));
    SetSetting(Settings::VersionFileUrl, server.Url(QString()));
    MainWindowWithEditor window;
    InstallMail(window.Shell());
    window.Shell().UpdateCommandStates();
    WhenModal<CWorkingDlg>(
        [](CWorkingDlg* working) { QTimer::singleShot(300, working, [working] { working->reject(); }); });
    Prompt::QueueAnswer(Prompt::No);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(window.Shell().RunCommand(Cmd::CheckForUpdate));
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(Prompt::History().size(), 1);
    QCOMPARE(Prompt::History().first().text,
        QStringLiteral("Unable to check version.  Would you like to visit our web site?"));
    QVERIFY(g_opened.isEmpty());
}

QTEST_MAIN(TestMailDialogs)
#include "tst_maildialogs.moc"
