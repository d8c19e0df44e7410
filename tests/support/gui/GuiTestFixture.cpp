#include "support/gui/GuiTestFixture.h"

#include "core/common/Clock.h"
#include "core/common/Prompt.h"
#include "core/settings/CAppState.h"
#include "core/settings/CRegistry.h"
#include "core/settings/Profile.h"
#include "gui/common/CCheckQuestionDlg.h"
#include "gui/common/FileDialogs.h"

#include <QDir>
#include <QFile>

GuiTestFixture::GuiTestFixture(const QString& identity)
    : m_identity(identity)
{
}

QString GuiTestFixture::Docs() const
{
    return Home() + QStringLiteral("/docs/");
}

void GuiTestFixture::Init()
{
    CAppState::Instance().Reset();
    CAppState::Instance().SetIdentity(m_identity);
    CAppState::Instance().SetDataFilePath(Home() + QStringLiteral("/zeph.dat"));
    CRegistry::SetFilePathOverride(Home() + QStringLiteral("/registry.ini"));
    QFile::remove(CRegistry::FilePath());
    QDir(Docs()).removeRecursively();
    QDir().mkpath(Docs());
    SetSetting(Settings::DocumentDirectory, Docs());
    Prompt::ClearHistory();
    FileDialogs::ClearQueue();
    CCheckQuestionDlg::ClearQueuedCheckStates();
    Clock::SetNow(std::nullopt);
}
