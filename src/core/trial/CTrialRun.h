#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>

// Runs a recipe file on one message with the local procmail in a throwaway folder that stands in
// for the host home, and reports what procmail did. Nothing leaves the machine: SENDMAIL is a
// stub that records each mail, PATH holds only stubs, and procmail runs inside a user, network
// and mount namespace where the user's home and mail spool are empty and a sendmail at its usual
// absolute path is the stub too, so even a hand-written recipe reaches neither the network nor
// real mail. Where namespaces are not available, only recipes that run nothing but formail and
// $SENDMAIL are tried, and the result says which were left out.
//
// Which recipe matched is read from procmail's own verbose log: before every block of the file
// (wizard-made or a run of hand-written lines alike) the copy that runs carries a marker
// assignment, which procmail logs; what procmail logs between two markers belongs to that block.
// That needs no understanding of the block's procmail text, so it stays right for anything a user
// wrote by hand.
class CTrialRun
{
public:
    struct Request
    {
        QByteArray recipes; // the recipe file
        QByteArray procmailrc; // the user's .procmailrc, which includes the recipe file; empty: none
        QByteArray message;
        int timeoutMs = 10000;
        bool mayIsolate = true; // false runs as where namespaces are not available
        // Set from another thread, it ends the run within a fraction of a second, with everything
        // procmail started; the run then fails with StoppedText().
        const std::atomic<bool>* stop = nullptr;
    };
    struct Recipe
    {
        QByteArray name; // a hand-written run of lines is named by its lines, "lines 4-6"
        bool handWritten = false;
        int firstLine = 0; // 1-based, in the recipe file
        int lastLine = 0;
        bool tried = true; // false: left out because it runs programs and nothing isolates it
        bool matched = false;
        QStringList complaints; // procmail's, while it read or ran this recipe
    };
    struct Delivery
    {
        QString folder; // relative to MAILDIR where it lies inside it
        qint64 bytes = 0;
        QStringList changes; // headers and body of this copy against the message given
    };
    struct SentMail
    {
        QStringList to;
        QString subject;
        QByteArray text;
    };
    struct Result
    {
        QList<QByteArray> matched; // names of the matched recipes, in file order
        QList<Recipe> recipes; // every recipe of the file, in file order
        QList<Delivery> deliveries;
        QList<SentMail> sent;
        QStringList errors; // all of procmail's complaints, as it wrote them
        QString note; // what limited the run, when something did
    };

    // The error of a run ended by its stop flag.
    static QString StoppedText();
    // Empty when the local procmail can run; otherwise what is missing.
    static QString Unavailable();
    // Whether procmail can run in a private user, network and mount namespace here.
    static bool NamespacesWork();

    // False when procmail could not be run, overran the time limit or was told to stop (it is
    // stopped then, with everything it started; `error` is StoppedText() for a stop); `error` says
    // why.
    static bool Run(const Request& request, Result* result, QString* error);
    static bool Run(const QByteArray& recipes, const QByteArray& message, Result* result, QString* error,
        int timeoutMs = 10000)
    {
        Request request;
        request.recipes = recipes;
        request.message = message;
        request.timeoutMs = timeoutMs;
        return Run(request, result, error);
    }

private:
    // One run; `unfinished` blocks are closed after their text. `swallowed` is the block whose
    // recipe took the next marker for its action, or -1.
    static bool RunOnce(
        const Request& request, const QSet<int>& unfinished, Result* result, QString* error, int* swallowed);
};
