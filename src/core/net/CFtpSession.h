#pragma once

#include "core/net/CTimedSocket.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// The FTP control connection and its data connections. Commands and replies run on the calling
// thread; each download, upload or listing runs its data loop on a transfer thread of its own, so
// the caller stays free to abort it. While a transfer runs, every other thread's request fails with
// "Connection is busy" except WaitTransfer, Cancel, Quit and Interrupt.
class CFtpSession : public CTimedSocket
{
public:
    enum SessionStatus {
        LoginFailed = 1001,
        RemoteFileCommandFailed = 1002,
        ThreadCreationFailed = 1003,
        LocalFileOpenFailed = 1004,
        LocalFileCreateFailed = 1005,
        LocalFileReadFailed = 1006,
        LocalFileWriteFailed = 1007,
        DataConnectionFailed = 1008,
        DataReadFailed = 1009,
        DataSendFailed = 1010,
        DataTransferFailed = 1011,
        ConnectionBusy = 1012,
        EventCreationFailed = 1013,
        InvalidCommandText = 1014,
        TlsNotOffered = 1015,
    };
    // How the session is secured: not at all, by AUTH TLS after the greeting, or by TLS from the
    // first byte (a port of its own, usually 990).
    enum TlsMode { NoTls = 0, ExplicitTls = 1, ImplicitTls = 2 };
    enum TransferKind { Download, Upload, Listing };

    // Longest command text sent, without the final CR LF.
    static constexpr int MaxCommandLength = 4094;
    // Longest reply line kept; the rest of a longer line is dropped.
    static constexpr int MaxReplyLine = 1022;
    // How long an exchange that only tidies up may wait: the QUIT, the ABOR after an abort, and
    // a stale reply read before a command. Their outcome changes nothing for the user, and after
    // a failure the server may well never answer; a live one answers within a round trip.
    static constexpr int CleanupGraceSeconds = 2;
    // A reply is read in blocks of this size.
    static constexpr int ReplyBlockSize = 4096;
    // A reply that keeps coming is not a reply: one reply may bring at most this many bytes.
    static constexpr qint64 MaxReplyBytes = 256 * 1024;
    // What one listing may hold: every byte received counts, and every line ListingLineCost bytes
    // more for its bookkeeping in memory (list slot, buffer header, allocation rounding), so that
    // neither long lines nor many short ones hold much more than this. 32 MiB is some 250,000
    // entries of a usual LIST line, far more than an account's folder holds or a file dialog can
    // show, and still a bound that a server sending without end reaches within a second. Over
    // it the listing fails with "Data transfer failed".
    static constexpr qint64 MaxListingBytes = 32 * 1024 * 1024;
    static constexpr qint64 ListingLineCost = 64;

    struct Callbacks
    {
        std::function<void(const QByteArray& line)> log;
        std::function<void(qint64 expected, qint64 bytes)> progress;
        // Called on the transfer thread once the transfer has finished and the session is idle.
        std::function<void(TransferKind kind, bool ok)> transferDone;
    };

    explicit CFtpSession(bool nonBlocking = true);
    ~CFtpSession() override;

    QString StatusText() const override;
    static QString SessionStatusText(int status);

    void SetCallbacks(Callbacks callbacks) { m_callbacks = std::move(callbacks); }
    void SetTimeouts(int seconds);
    // Before Login: the TLS mode and the fingerprint pinned for this host (empty for none).
    void SetTls(int mode, const QByteArray& pinned);

    bool Login(const QByteArray& host, const QByteArray& user, const QByteArray& password, int port);
    bool SendCommand(const QByteArray& text, bool waitForReply);
    bool ReadReply();
    bool ReplyIs(const char* prefix) const;
    bool SetType(bool binary);
    bool Retrieve(const QByteArray& remote, const QString& local, bool binary, bool passive);
    bool Store(const QByteArray& remote, const QString& local, bool binary, bool passive);
    bool List(const QByteArray& path, bool namesOnly, bool passive);
    bool Rename(const QByteArray& from, const QByteArray& to);
    bool Command(const QByteArray& text);
    bool WaitTransfer(int seconds);
    bool Cancel(int seconds);
    bool Quit();

    // Raises the abort flag and wakes every wait of the three sockets at once. Safe from any thread.
    void InterruptAll();

    QByteArray LastReplyLine() const;
    QByteArray ReplyCode() const { return m_replyCode; }
    // The lines of the last listing, each still ending in its carriage return when it had one.
    QList<QByteArray> TakeListLines();
    qint64 BytesMoved() const { return m_bytesMoved.load(); }
    qint64 ExpectedSize() const { return m_expectedSize.load(); }
    bool IsTransferring() const;

    // The code that ends a reply ("226 " of "226 Done"); empty for a line that does not end one.
    // CR and LF are left out wherever they stand.
    static QByteArray ParseReplyCode(const QByteArray& replyLine);
    // The "(N bytes)" size of a 150 reply line, or 0.
    static qint64 ParseExpectedSize(const QByteArray& replyLine);
    // Address and port of a 227 reply line; false when it does not have the expected shape.
    static bool ParsePasvReply(const QByteArray& replyLine, QByteArray* address, int* port);

private:
    bool busy();
    // The handshake of the control connection; the session's description goes to the log.
    bool startControlTls();
    // The handshake of a data connection, which must resume the control connection's session
    // (servers check that the data comes from the client that logged in) and show the same
    // certificate or one trusted the same way.
    bool startDataTls();
    void log(const QByteArray& line);
    void processReplyLine(const QByteArray& line);
    // ReadReply with every read ending by `deadline`.
    bool readReply(Clock::time_point deadline);
    // SendCommand whose every wait ends by `deadline`; with NoDeadline the reply gets the read
    // time-out.
    bool sendCommand(const QByteArray& text, bool waitForReply, Clock::time_point deadline);
    // The deadline of a tidying exchange: the grace, or the read time-out when that is shorter.
    Clock::time_point cleanupDeadline() const;
    bool failKeeping(int status);
    bool closeKeepingStatus();
    bool openDataConnection(const QByteArray& verb, const QByteArray& argument, bool quote, bool passive);
    // Accepts the active-mode data connection, from the server's address only.
    bool acceptFromServer();
    bool startTransfer(TransferKind kind);
    void transferMain(TransferKind kind);
    // One block from the data connection into `buffer`; 0, or the status that ends the loop.
    int readDataBlock(QByteArray& buffer, qint64* length);
    int receiveLoop();
    int sendLoop();
    int listLoop();
    bool finishTransfer();
    void signalIdle();
    void reportProgress();
    void discardLocalFile();

    Callbacks m_callbacks;
    int m_tlsMode = NoTls;
    QByteArray m_pinned;
    QByteArray m_host;
    std::shared_ptr<CTlsSessionPool> m_tlsSessions; // of the control connection and its data connections
    QString m_tlsFailure; // OpenSSL's reason for the last TLS failure of either connection
    CTimedSocket m_data { false };
    CTimedSocket m_listener { false };

    bool m_preliminarySeen = false;
    bool m_binary = false; // the type the host was last told
    QByteArray m_replyCode;
    QByteArray m_replyLine;
    mutable std::mutex m_replyLock;

    std::atomic<bool> m_abort { false };
    std::atomic<qint64> m_bytesMoved { 0 };
    std::atomic<qint64> m_expectedSize { 0 };
    std::atomic<std::thread::id> m_transferThreadId { std::thread::id() };
    std::thread m_transferThread;
    std::mutex m_startLock;
    std::mutex m_idleLock;
    std::condition_variable m_idleSignal;
    bool m_idle = true;
    int m_savedStatus = 0;

    // The transfer in progress.
    bool m_transferBinary = false;
    int m_localFd = -1;
    QString m_localTarget; // download: the file replaced on success
    QByteArray m_localTemp; // download: the temporary file written
    QList<QByteArray> m_listLines;
};
