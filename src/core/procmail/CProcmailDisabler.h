#pragma once

#include <QString>
#include <QStringList>

class CRemoteHost;

// Switching procmail off on the host without deleting anything: the procmail files are renamed to
// "disabled" + their name, so that neither the mail transfer agent nor procmail finds them, and
// renamed back later. Also the clean-up that deletes every remote file the registry says ZEPH
// made. Each rename or deletion that works is applied to the remote-files registry. Every step
// tells the user what happened; the connection is the caller's.
class CProcmailDisabler
{
public:
    explicit CProcmailDisabler(CRemoteHost& host);

    static QString DisabledName(const QString& name) { return QStringLiteral("disabled") + name; }
    // ".procmailrc", then ".forward" or ".qmail" when the Forward page's choice names one.
    static QStringList Files();

    // "Temporarily disable procmail" and "Re-enable procmail": true when every rename worked.
    bool Disable();
    bool Enable();
    // "Delete all remote ZEPH procmail files".
    void DeleteAll();

private:
    bool renameAll(bool disable);
    bool renameOne(const QString& from, const QString& to);
    // Asks (with `question`, or the plain question for `name`) and deletes on Yes.
    void askAndDelete(const QString& name, const QString& question = QString());
    bool deleteOne(const QString& name);

    CRemoteHost& m_host;
};
