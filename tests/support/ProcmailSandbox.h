#pragma once

#include "ThrowawayUser.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// Runs real procmail as a throwaway unprivileged user whose home lies in a temporary folder.
//
// The sandbox needs root: Start() creates the user (useradd), and the destructor removes it
// again together with the folder. Without root, or without procmail, Start() fails and Error()
// says what is missing (the Debian package to install, or to run the tests as root).
//
// Layout under Home(): .procmailrc (the lines of ZEPH's template that matter: SHELL, ZEPH_DIR,
// NL, LOGFILE, MAILDIR, VERBOSE, COMSAT, INCLUDERC of the recipe file, plus DEFAULT, ORGMAIL and
// SENDMAIL pointing into the sandbox), .procmail/ (ZEPH_DIR: zeph.recipes, zeph.log, response
// files), mail/ (MAILDIR; DEFAULT is mail/inbox). SENDMAIL is a stub that stores every mail it
// is given together with its arguments.
//
//   ProcmailSandbox sandbox;
//   QVERIFY2(sandbox.Start(), qPrintable(sandbox.Error()));
//   QVERIFY(sandbox.SetRecipes(recipeFileText));
//   QCOMPARE(sandbox.Deliver(ProcmailSandbox::Message("joe@example.net", "me@example.org", "Hi", "text\n")),
//   0); sandbox.Inbox();          // messages in $DEFAULT sandbox.Folder("spam");   // messages in
//   $MAILDIR/spam (an mbox file, a maildir or a directory) sandbox.Sent();           // what the sendmail
//   stub received sandbox.Log();            // $ZEPH_DIR/zeph.log as procmail wrote it
class ProcmailSandbox
{
public:
    struct Options
    {
        bool verbose = false; // VERBOSE=yes: procmail logs every step (locking, matches)
        QByteArray extraRcLines; // written before the INCLUDERC line
        // When set, the user may log in (shell /bin/sh) with this password, so that an FTP server
        // started for the same account (TestFtpServer::UseAccount) serves the sandbox home.
        QString loginPassword;
    };
    struct SentMail
    {
        QStringList arguments; // the stub's command line arguments
        QByteArray message;
    };

    ProcmailSandbox();
    ~ProcmailSandbox();
    ProcmailSandbox(const ProcmailSandbox&) = delete;
    ProcmailSandbox& operator=(const ProcmailSandbox&) = delete;

    bool Start(const Options& options);
    bool Start() { return Start(Options()); }
    QString Error() const { return m_error; }

    // Writes $ZEPH_DIR/zeph.recipes.
    bool SetRecipes(const QByteArray& text);
    // Replaces the sendmail stub procmail runs (an executable script); the mail loop puts one
    // there that also hands mail for the user back to its SMTP server.
    bool SetSendmailStub(const QByteArray& script);
    QString SendmailStubPath() const;
    // Where the stub keeps each mail as <n>.eml with its arguments in <n>.args (see Sent()).
    QString SentFolder() const;
    // Writes a file below the home folder, owned by the sandbox user.
    bool WriteFile(const QString& relativeToHome, const QByteArray& content);
    // Makes a folder below the home folder (with its parents), owned by the sandbox user.
    bool MakeDir(const QString& relativeToHome);
    QByteArray ReadFile(const QString& relativeToHome) const;
    bool FileExists(const QString& relativeToHome) const;

    // Hands one message to procmail as the sandbox user; returns procmail's exit code, or -1 when
    // it could not run (Error() says why). A message without a "From " line gets one.
    int Deliver(const QByteArray& message);

    QList<QByteArray> Inbox() const { return Folder(QStringLiteral("inbox")); }
    QList<QByteArray> Folder(const QString& relativeToMailDir) const;
    QList<SentMail> Sent() const;
    QByteArray Log() const;
    // Empties the mail folder, the stub's mail, the log and the reply record, keeps the recipes.
    void ClearOutputs();

    QString Home() const;
    QString ZephDir() const { return Home() + QStringLiteral("/.procmail"); }
    QString MailDir() const { return Home() + QStringLiteral("/mail"); }
    QString UserName() const { return m_user; }

    // A plain message; `extraHeaders` lines end in "\n".
    static QByteArray Message(const QByteArray& from, const QByteArray& to, const QByteArray& subject,
        const QByteArray& body, const QByteArray& extraHeaders = QByteArray());
    // The messages of an mbox text, each without its "From " line.
    static QList<QByteArray> SplitMbox(const QByteArray& mbox);
    // The value of the first header of that name (case-insensitive, folded lines joined), or a
    // null array when there is none.
    static QByteArray Header(const QByteArray& message, const QByteArray& name);
    static QList<QByteArray> Headers(const QByteArray& message, const QByteArray& name);
    static QByteArray Body(const QByteArray& message);

private:
    bool Run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr);
    bool Chown(const QString& path);

    std::unique_ptr<QTemporaryDir> m_dir;
    ThrowawayUser m_account;
    QString m_user;
    QString m_error;
};
