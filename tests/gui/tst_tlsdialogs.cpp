// The TLS parts of the windows offscreen: the secure-connection choices of the FTP page and the
// SMTP configuration, and the certificate question against a real vsftpd demanding TLS: trusted
// on first connect (the pin stored), then the server's certificate swapped (the loud warning whose
// replace button waits for the user's confirmation; cancelled, the connect fails and the pin
// stays).
#include "TestCertificates.h"
#include "TestEnvironment.h"
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/net/SavedPassword.h"
#include "core/settings/Profile.h"
#include "gui/common/CCertificateDlg.h"
#include "gui/mail/CSendMailDlg.h"
#include "gui/mail/CSmtpConfigDlg.h"
#include "gui/net/CFtpProgressDlg.h"
#include "gui/settings/CPropPageFTP.h"
#include "support/FtpServers.h"
#include "support/MailServers.h"
#include "support/NetTestFixture.h"
#include "support/gui/ModalDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

QString pinOf(const QString& opensslFingerprint)
{
    return opensslFingerprint.toLower().remove(QLatin1Char(':'));
}

QString ftpPin()
{
    return GetSettingString({ Settings::TlsPin, QStringLiteral("ftp 127.0.0.1") });
}

} // namespace

class TestTlsDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void settingsChoices_data();
    void settingsChoices();
    void certificateQuestionWithVsftpd();
    void sendMailAsksAboutTheCertificate();

private:
    TestEnvironment m_env;
    TestCertificates m_certificates;
};

void TestTlsDialogs::initTestCase()
{
    QString error;
    QVERIFY2(m_certificates.Create(&error), qUtf8Printable(error));
    RemoteHostUi::Install();
}

void TestTlsDialogs::init()
{
    StartFreshIdentity();
}

void TestTlsDialogs::settingsChoices_data()
{
    QTest::addColumn<int>("choice");
    QTest::newRow("none") << 0;
    QTest::newRow("explicit / STARTTLS") << 1;
    QTest::newRow("implicit") << 2;
}

// Each page shows the stored choice and stores the one picked.
void TestTlsDialogs::settingsChoices()
{
    QFETCH(int, choice);
    const int other = (choice + 1) % 3;
    SetSetting(Settings::FtpTls, choice);
    {
        CPropPageFTP page;
        QCOMPARE(page.TlsCombo()->currentIndex(), choice);
        page.TlsCombo()->setCurrentIndex(other);
        QVERIFY(page.OnOK());
        QCOMPARE(GetSetting(Settings::FtpTls), other);
    }
    SetSetting(Settings::SmtpTls, choice);
    SetSetting(Settings::PopTls, other);
    SetSetting(Settings::SmtpAuthMethod, 3); // POP before send: its TLS choice is enabled
    CSmtpConfigDlg dialog(QString(), nullptr);
    auto* smtp = dialog.findChild<QComboBox*>(QStringLiteral("smtpTls"));
    auto* pop = dialog.findChild<QComboBox*>(QStringLiteral("popTls"));
    QVERIFY(smtp && pop);
    QCOMPARE(smtp->currentIndex(), choice);
    QCOMPARE(pop->currentIndex(), other);
    QVERIFY(pop->isEnabled());
    smtp->setCurrentIndex(other);
    pop->setCurrentIndex(choice);
    dialog.accept();
    QCOMPARE(GetSetting(Settings::SmtpTls), other);
    QCOMPARE(GetSetting(Settings::PopTls), choice);
}

void TestTlsDialogs::certificateQuestionWithVsftpd()
{
    const TestCertificates::Pair first = m_certificates.Get(TestCertificates::SelfSigned);
    const TestCertificates::Pair second = m_certificates.Get(TestCertificates::SelfSignedOther);
    {
        TestFtpServer server(TestFtpServer::Vsftpd);
        server.UseTls(1, first.certificate, first.key);
        QVERIFY(StartTestServer(server));
        UseServerSettings(server, true);
        CRemoteHost::Overrides overrides;
        overrides.password = server.Password();
        overrides.hasPassword = true;
        bool shown = false;
        WhenModal<CCertificateDlg>([&](CCertificateDlg* dialog) {
            shown = true;
            const QString details
                = dialog->findChild<QPlainTextEdit*>(QStringLiteral("details"))->toPlainText();
            QVERIFY2(details.contains(first.fingerprint), qUtf8Printable(details));
            QVERIFY(details.contains(QStringLiteral("CN=127.0.0.1")));
            QVERIFY(!dialog->ConfirmBox());
            QVERIFY(dialog->TrustButton()->isEnabled());
            QVERIFY(!dialog->TrustButton()->isDefault());
            dialog->TrustButton()->click();
        });
        CRemoteHost host;
        host.SetOverrides(overrides);
        QVERIFY2(host.Connect(), qUtf8Printable(host.ResultText()));
        host.Disconnect();
        QVERIFY(shown);
        QCOMPARE(ftpPin(), pinOf(first.fingerprint));
    }

    TestFtpServer swapped(TestFtpServer::Vsftpd);
    swapped.UseTls(1, second.certificate, second.key);
    QVERIFY(StartTestServer(swapped));
    UseServerSettings(swapped, true);
    CRemoteHost::Overrides overrides;
    overrides.password = swapped.Password();
    overrides.hasPassword = true;
    bool warned = false;
    WhenModal<CCertificateDlg>([&](CCertificateDlg* dialog) {
        warned = true;
        const QString details = dialog->findChild<QPlainTextEdit*>(QStringLiteral("details"))->toPlainText();
        QVERIFY(details.contains(first.fingerprint));
        QVERIFY(details.contains(second.fingerprint));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Certificate Changed"));
        // Replacing the pin needs the confirmation first.
        QVERIFY(dialog->ConfirmBox());
        QVERIFY(!dialog->TrustButton()->isEnabled());
        dialog->ConfirmBox()->setChecked(true);
        QVERIFY(dialog->TrustButton()->isEnabled());
        dialog->ConfirmBox()->setChecked(false);
        QVERIFY(!dialog->TrustButton()->isEnabled());
        dialog->reject();
    });
    CRemoteHost host;
    host.SetOverrides(overrides);
    QVERIFY(!host.Connect());
    QVERIFY(warned);
    QCOMPARE(host.ResultCaption(), QStringLiteral("Certificate Changed"));
    QCOMPARE(ftpPin(), pinOf(first.fingerprint));
    QVERIFY(!swapped.ProtocolLog().contains("USER"));
}

// The Send E-Mail dialog against aiosmtpd demanding STARTTLS: an unknown certificate is asked
// about; refused, nothing is sent; trusted, the pin is stored, the send starts over and the status
// names the protocol.
void TestTlsDialogs::sendMailAsksAboutTheCertificate()
{
    const TestCertificates::Pair pair = m_certificates.Get(TestCertificates::SelfSigned);
    TestSmtpServer server({ QStringLiteral("tester"), QStringLiteral("pw"), QString() });
    server.UseTls(pair.certificate, pair.key, false);
    QString error;
    QVERIFY2(server.Start(&error), qPrintable(error));
    SetSetting(Settings::SmtpHost, QStringLiteral("127.0.0.1"));
    SetSetting(Settings::SmtpPort, server.Port());
    SetSetting(Settings::SmtpTls, 1);
    SetSetting(Settings::SmtpAuthMethod, 1);
    SetSetting(Settings::SmtpUserName, QStringLiteral("tester"));
    SetSetting(Settings::SaveSmtpPassword, 1);
    QVERIFY(SavedPassword::Smtp().Save(QStringLiteral("pw")));
    SetSetting(Settings::MailEnvelopeFrom, QStringLiteral("me@example.test"));
    SetSetting(Settings::MailEnvelopeTo, QStringLiteral("rcpt@example.test"));
    SetSetting(Settings::MailWarnOnSend, 0);
    const SettingRef pin(Settings::TlsPin, QStringLiteral("smtp 127.0.0.1"));

    CSendMailDlg dialog(nullptr);
    Prompt::QueueAnswer(Prompt::Cancel);
    dialog.Send();
    QCOMPARE(Prompt::History().size(), 1);
    const Prompt::Record asked = Prompt::History().first();
    QCOMPARE(asked.caption, QStringLiteral("Certificate Not Trusted"));
    QVERIFY(asked.text.contains(pair.fingerprint));
    QCOMPARE(asked.defaultButton, Prompt::Cancel);
    QVERIFY(GetSettingString(pin).isEmpty());
    QVERIFY(server.Logins().isEmpty());
    QVERIFY(server.Messages().isEmpty());

    Prompt::QueueAnswer(Prompt::Yes);
    dialog.Send();
    QCOMPARE(GetSettingString(pin), pinOf(pair.fingerprint));
    QCOMPARE(server.Messages().size(), 1);
    QCOMPARE(server.Logins(), QList<QByteArray>({ "AUTH LOGIN ok" }));
    QVERIFY2(dialog.StatusText().startsWith(QStringLiteral("Message successfully sent! (TLSv1.")),
        qUtf8Printable(dialog.StatusText()));
}

QTEST_MAIN(TestTlsDialogs)
#include "tst_tlsdialogs.moc"
