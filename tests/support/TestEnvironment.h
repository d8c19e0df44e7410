#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// A throwaway home for one test: HOME and the XDG folders point into a temporary folder and no
// session bus is named, so the data file, documents, registry files, locks and keychain never
// touch the real user's.
class TestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment();

    QString Home() const { return m_dir.path(); }
    QString DataFilePath() const; // where the data file lands in this home
    // The same variables for a child process.
    QProcessEnvironment ProcessEnvironment() const;

private:
    QTemporaryDir m_dir;
    QProcessEnvironment m_saved;
};

// The identity "Default" with nothing loaded, its data file in the current home, and no message
// box of an earlier test in the history: the start of a core test that touches settings.
void StartFreshIdentity();
