#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Runs a recipe file on one message with the local procmail in a throwaway folder that stands in
// for the host home, and reports what procmail did. Nothing leaves the machine: SENDMAIL is a
// stub that records each mail, PATH holds only stubs, and procmail runs inside a user and network
// namespace so that even a recipe piping to an absolute path reaches no network.
//
// Which recipe matched is read from procmail's own verbose log: before every block of the file
// (wizard-made or a wrapped run of hand-written lines alike) the copy that runs carries a marker
// assignment, which procmail logs; what procmail logs between two markers belongs to that block.
// That needs no understanding of the block's procmail text, so it stays right for anything a user
// wrote by hand.
class CTrialRun
{
public:
    struct Delivery
    {
        QString folder; // relative to MAILDIR where it lies inside it
        qint64 bytes = 0;
    };
    struct SentMail
    {
        QStringList to;
        QString subject;
        QByteArray text;
    };
    struct Result
    {
        QList<QByteArray> matched; // block names in file order
        QList<Delivery> deliveries;
        QList<SentMail> sent;
        QStringList errors; // procmail's complaints, as it wrote them
    };

    // Empty when the local procmail and unshare can run; otherwise what is missing.
    static QString Unavailable();

    // False when procmail could not be run or overran `timeoutMs` (it is killed then); `error`
    // says why.
    static bool Run(const QByteArray& recipeText, const QByteArray& message, Result* result, QString* error,
        int timeoutMs = 10000);
};
