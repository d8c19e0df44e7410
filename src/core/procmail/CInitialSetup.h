#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

class CRemoteHost;

// The steps of the Initial Setup Wizard without a screen: the check of the settings it needs, the
// Connect that makes the directories and uploads the .forward/.qmail and a test .procmailrc, the
// test that looks for the line procmail wrote into the test log, and the back-outs that offer to
// delete what was uploaded. The host's own .procmailrc, .forward or .qmail is downloaded into the
// Document Folder before the first overwrite, and the texts say where it went. Every step tells
// the user what happened; the connection is the caller's (one per wizard).
class CInitialSetup
{
public:
    // The five options of the connect page, all ticked at first.
    struct Options
    {
        bool mailDir = true;
        bool backupDir = true;
        bool zephDir = true;
        bool forward = true; // the .forward or .qmail the Forward page chose
        bool testProcmailrc = true;
    };
    // The permission changes of "Advanced"; `confirmed` once its OK was pressed.
    struct Permissions
    {
        bool confirmed = false;
        bool home = false;
        bool procmailrc = false;
        bool forward = false;
        bool qmail = false;
    };

    explicit CInitialSetup(CRemoteHost& host);
    ~CInitialSetup();
    CInitialSetup(const CInitialSetup&) = delete;
    CInitialSetup& operator=(const CInitialSetup&) = delete;

    // --- The mail page ---
    // The settings still missing, each as one line for the user. Creates the default .procmailrc
    // when there is none, as its reset does.
    static QStringList MissingItems();
    // The page's text for those items: the request to fill them in, or the advice to mail oneself.
    static QString PageText(const QStringList& missing);
    static QString MailtoLink();
    // "Mailto Link Failed": what to do when no mail program opened.
    static void TellMailtoFailed();
    // "I have already setup procmail myself": asks, and on Yes marks the setup as done and records
    // what the setup would have made. True on Yes.
    static bool DeclareAlreadySetUp();

    // --- The connect page ---
    // ".forward" or ".qmail" after the Forward page's choice; empty for neither or none chosen.
    static QString ForwardName();
    static QString DirectoryLabel(const QString& dir);
    static QString PermissionText(const Permissions& permissions);
    // Connects, makes the directories, saves the host's own files, uploads, changes permissions.
    // True when the Setup Test comes next; false after an error was shown (and the uploads were
    // offered for deletion).
    bool Connect(const Options& options, const Permissions& permissions);

    // --- The Setup Test dialog ---
    QString TestText() const;
    enum class TestEnd { StayOpen, Succeeded, Failed };
    // "I received my test message": the log check when the test .procmailrc went up.
    TestEnd MailReceived();
    void MailNotReceived();
    void CancelTest();
    // "Close" and Esc.
    void CloseTest();
    // After the test ended well: the log download time and the closing message.
    void Complete();

    // Shown on success (the Pending Files dialog), and asked for when the log lacks the line.
    void SetShowPendingFiles(std::function<void()> show) { m_showPendingFiles = std::move(show); }
    void SetViewLog(std::function<void(const QByteArray& log)> view) { m_viewLog = std::move(view); }

    // What the last Connect did.
    bool AnythingUploaded() const { return m_forwardUploaded || m_qmailUploaded || m_testUploaded; }
    QString ExpectedLine() const { return m_expectedLine; }
    // (remote name, local path) of each original of the host that this wizard kept, over all its
    // Connects.
    QList<QPair<QString, QString>> SavedOriginals() const { return m_originals; }

    // The test .procmailrc of a time stamp.
    static QByteArray TestProcmailrc(const QDateTime& stamp);
    static QString TestLogName() { return QStringLiteral("zeph.test.log"); }
    static QString TestProcmailrcPath();
    // Where the host's own copy of `remote` is kept: "<name>.host-original" in the Document Folder.
    static QString OriginalPath(const QString& remote);

private:
    bool makeDirectories(const QStringList& wanted);
    bool visitDirectory(const QString& path, const QString& loginDir);
    bool saveOriginals(const QStringList& names);
    bool saveOriginal(const QString& remote);
    bool upload(const QString& local, const QString& remote);
    void changePermissions(const Permissions& permissions);
    bool chmodOne(const QString& name, const QString& shownName, int mode);
    // The deletions offered after a failed Connect (`afterConnect`) or from the test dialog.
    void backOut(bool afterConnect);
    bool deleteRemote(const QString& name);
    QString originalNote(const QString& remote) const;
    bool checkLog();
    void failConnect();

    CRemoteHost& m_host;
    std::function<void()> m_showPendingFiles;
    std::function<void(const QByteArray&)> m_viewLog;
    QStringList m_directories;
    bool m_permissionsChanged = false;
    bool m_forwardUploaded = false;
    bool m_qmailUploaded = false;
    bool m_testUploaded = false;
    QString m_expectedLine;
    QList<QPair<QString, QString>> m_originals;
};
