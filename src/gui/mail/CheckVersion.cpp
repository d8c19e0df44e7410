#include "gui/mail/CheckVersion.h"

#include "core/common/Prompt.h"
#include "core/net/CHttpGet.h"
#include "core/net/CVersionCheck.h"
#include "core/settings/Profile.h"
#include "gui/common/CHyperLink.h"
#include "gui/common/CWorkingDlg.h"
#include "gui/mail/WorkerWait.h"

#include <QCoreApplication>

namespace {

void offerDownloadPage(const QString& text)
{
    if (Prompt::Ask(text, QStringLiteral("Go to web site?"), Prompt::Question,
            Prompt::Yes | Prompt::No | Prompt::Cancel, Prompt::Yes)
        == Prompt::Yes)
        CHyperLink::OpenAddress(GetSettingString(Settings::DownloadPageUrl));
}

} // namespace

void CheckVersion(QWidget* parent)
{
    CVersionCheck check;
    bool canceled = false;
    {
        CWorkingDlg working(parent, QStringLiteral("Checking version"),
            QStringLiteral("Checking version, please wait..."), true);
        working.Create();
        working.SetPos(50);
        if (check.Start(GetSettingString(Settings::VersionFileUrl).toUtf8(), CHttpGet::DefaultTimeoutMs)) {
            // Cancel ends the wait at once; the worker finishes alone, into its own state.
            canceled = WaitForWorker(
                working, [&check] { return check.Busy(); }, [&check] { check.Cancel(); }, {}, 0);
        }
    }
    QString own = QCoreApplication::applicationVersion();
    if (own.isEmpty())
        own = QStringLiteral(ZEPH_VERSION);
    const CVersionCheck::Outcome outcome
        = canceled ? CVersionCheck::Unreachable : CVersionCheck::Compare(check.Fetched(), own);
    switch (outcome) {
    case CVersionCheck::Unreachable:
        offerDownloadPage(QStringLiteral("Unable to check version.  Would you like to visit our web site?"));
        break;
    case CVersionCheck::NoOwnBuild:
        offerDownloadPage(QStringLiteral(
            "Unexpected error while checking version.  Would you like to visit our web site?"));
        break;
    case CVersionCheck::Current:
        Prompt::Tell(QStringLiteral("You are using the most recent version of ZEPH."),
            QStringLiteral("Current Version"), Prompt::Information);
        break;
    case CVersionCheck::Newer:
        offerDownloadPage(QStringLiteral(
            "A newer version of ZEPH is available.  Would you like to visit our download page?"));
        break;
    case CVersionCheck::Unverified:
        offerDownloadPage(
            QStringLiteral("Unable to verify version information.  Would you like to visit our web site?"));
        break;
    }
}
