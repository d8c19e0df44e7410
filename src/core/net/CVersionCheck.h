#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// The check for a newer ZEPH: the version file is fetched on a worker thread of its own while
// the caller polls Busy() and offers Cancel. Each check owns its state, shared with its worker
// only, so a worker that is left to finish after a cancel writes into nothing of the caller's.
class CVersionCheck
{
public:
    enum Outcome {
        Unreachable, // nothing usable came: "Unable to check version."
        NoOwnBuild, // the program's own build number cannot be read
        Current,
        Newer,
        Unverified, // the file names an older build, or no number at all
    };

    CVersionCheck();
    // Cancels a running fetch; never waits for the worker or ends it.
    ~CVersionCheck();
    CVersionCheck(const CVersionCheck&) = delete;
    CVersionCheck& operator=(const CVersionCheck&) = delete;

    // Starts fetching `url`; false when no worker could be started.
    bool Start(const QByteArray& url, int timeoutMs);
    bool Busy() const;
    void Cancel();
    // After the worker is done: the body of a complete 200 response, or empty.
    QByteArray Fetched() const;
    // Why the fetch failed, for the record.
    QString ErrorText() const;

    // The build number of a version text: commas become points, blanks go, and the text after
    // the last point is read as a number. -1 when that text is empty.
    static qint64 BuildOf(const QString& version);
    // The leading digits of `text` after any blanks, saturating; -1 without a digit.
    static qint64 LeadingNumber(QByteArrayView text);
    // What a fetched text means against the own version text.
    static Outcome Compare(const QByteArray& fetched, const QString& ownVersion);

private:
    struct State;
    std::shared_ptr<State> m_state;
};
