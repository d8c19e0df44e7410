#pragma once

#include "TestEnvironment.h"

#include <QString>

// The start of every main-window test: a throwaway home, a fresh identity with its own data file
// and registry file, an empty Document Folder, the real clock, and nothing queued for the
// message boxes, file dialogs and check boxes by the test before.
class GuiTestFixture
{
public:
    // Once per test program (initTestCase): the home and the identity's name.
    explicit GuiTestFixture(const QString& identity);
    // Before every test (init).
    void Init();

    QString Home() const { return m_env.Home(); }
    // The Document Folder, with a trailing slash.
    QString Docs() const;

private:
    TestEnvironment m_env;
    QString m_identity;
};
