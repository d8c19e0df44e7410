#pragma once

#include <QByteArray>

// A sleep for a recipe that a test must see stopped. Its length carries this process's id, so no
// other test run on the machine shares its command line, and Running() finds only this one.
class TestSleeper
{
public:
    explicit TestSleeper(int seconds);

    // The command a recipe pipes to: "/bin/sleep <seconds>.<pid>".
    QByteArray Command() const { return m_command; }
    // Whether a process with exactly that command line runs.
    bool Running() const;

private:
    QByteArray m_command;
};
