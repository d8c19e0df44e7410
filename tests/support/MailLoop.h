#pragma once

#include "FtpServers.h"
#include "MailServers.h"
#include "ProcmailSandbox.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

// A whole test host on 127.0.0.1, made of the real programs: one throwaway user whose home is
// the FTP login directory (vsftpd), an SMTP server (aiosmtpd) that hands every message for the
// user's address to real procmail running as that user, the way an MTA with procmail as its
// local delivery agent does, and a sendmail for procmail that keeps what it is given and feeds
// mail for the user back into the SMTP server.
//
// What ZEPH uploads is what procmail reads: the .procmailrc in the home decides everything.
// SENDMAIL comes from procmail's command line, so that ZEPH's own .procmailrc needs nothing made
// for the tests; every delivery runs without a network and with the stub at /usr/sbin/sendmail as
// well, so that nothing a recipe starts can send mail off the machine; the mailbox is procmail's default,
// /var/mail/<user>, as on a real host, so that a procmail that a recipe starts delivers there too. Needs root
// (see ProcmailSandbox).
//
//   MailLoop loop;
//   QVERIFY2(loop.Start(), qPrintable(loop.Error()));
//   loop.UseSettings();                       // FTP settings, password and "Email address"
//   ... ZEPH uploads its files ...
//   QVERIFY2(loop.MailYourself("Hi", "text\n"), qPrintable(loop.Error()));
//   loop.Inbox();                             // what procmail delivered to the mailbox
//   loop.Host().Folder("spam");               // and to the folders under $HOME/mail
class MailLoop
{
public:
    MailLoop();
    ~MailLoop();
    MailLoop(const MailLoop&) = delete;
    MailLoop& operator=(const MailLoop&) = delete;

    bool Start();
    QString Error() const { return m_error; }

    ProcmailSandbox& Host() { return m_sandbox; }
    TestFtpServer& Ftp() { return *m_ftp; }
    TestSmtpServer& Smtp() { return *m_smtp; }
    // The user's own address, which the SMTP server delivers locally.
    QByteArray Address() const { return m_address; }

    // Points the identity's FTP settings at the host, saves the FTP password and sets
    // "Email address" to Address().
    bool UseSettings();

    // Sends a message from the user to the user through the SMTP server, as the user's mail
    // program does, and waits until the host is quiet (WaitUntilQuiet). False when the server did
    // not take it.
    bool MailYourself(const QByteArray& subject, const QByteArray& body);
    // Sends `message` (LF line ends) with that envelope through the SMTP server.
    bool Send(const QByteArray& from, const QList<QByteArray>& to, const QByteArray& message);

    // Waits until no delivery runs and no process of the user is left: procmail may fork for a
    // recipe with the c flag, and the clone's mail to the user comes in after the first delivery
    // ended. False after a minute.
    bool WaitUntilQuiet();

    // The user's mailbox (procmail's DEFAULT), message by message.
    QList<QByteArray> Inbox() const;
    QString MailboxPath() const;
    // Empties the mailbox and what ProcmailSandbox::ClearOutputs empties.
    void ClearOutputs();

    // procmail's exit code for every local delivery so far.
    QList<int> Deliveries() { return m_smtp->Deliveries(); }

private:
    ProcmailSandbox m_sandbox;
    std::unique_ptr<TestFtpServer> m_ftp;
    std::unique_ptr<TestSmtpServer> m_smtp;
    QString m_password;
    QByteArray m_address;
    QString m_error;
};
