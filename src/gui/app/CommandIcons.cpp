#include "gui/app/CommandIcons.h"

#include "gui/common/CommandIds.h"
#include "gui/common/ThemeIcon.h"

#include <QHash>

namespace {

// The freedesktop icon name of each command that has an image. Every name here has a bundled
// copy in gui/common/icons, so a desktop without a theme shows the same set.
const QHash<int, QLatin1String>& iconNames()
{
    static const QHash<int, QLatin1String> names = {
        { Cmd::New, QLatin1String("document-new") },
        { Cmd::Open, QLatin1String("document-open") },
        { Cmd::Save, QLatin1String("document-save") },
        { Cmd::SaveAs, QLatin1String("document-save-as") },
        { Cmd::Print, QLatin1String("document-print") },
        { Cmd::PrintPreview, QLatin1String("document-print-preview") },
        { Cmd::Undo, QLatin1String("edit-undo") },
        { Cmd::Cut, QLatin1String("edit-cut") },
        { Cmd::Copy, QLatin1String("edit-copy") },
        { Cmd::Paste, QLatin1String("edit-paste") },
        { Cmd::SelectAll, QLatin1String("edit-select-all") },
        { Cmd::Find, QLatin1String("edit-find") },
        { Cmd::Replace, QLatin1String("edit-find-replace") },
        { Cmd::NewRecipe, QLatin1String("list-add") },
        { Cmd::PositionEdit, QLatin1String("document-properties") },
        { Cmd::LogDownload, QLatin1String("go-down") },
        { Cmd::PendingFiles, QLatin1String("go-up") },
        { Cmd::DisableProcmail, QLatin1String("process-stop") },
        { Cmd::InitialSetup, QLatin1String("system-installer") },
        { Cmd::Settings, QLatin1String("preferences-system") },
        { Cmd::Options, QLatin1String("preferences-desktop") },
        { Cmd::FtpDialog, QLatin1String("folder-remote") },
        { Cmd::RemoteFilesFolders, QLatin1String("folder-remote") },
        { Cmd::Backup, QLatin1String("drive-harddisk") },
        { Cmd::SendEmailDialog, QLatin1String("mail-message-new") },
        { Cmd::SendFeedback, QLatin1String("mail-message-new") },
        { Cmd::NewWindow, QLatin1String("window-new") },
        { Cmd::HelpContents, QLatin1String("help-browser") },
    };
    return names;
}

} // namespace

QIcon CommandIcon(int id)
{
    const auto found = iconNames().constFind(id);
    return found == iconNames().constEnd() ? QIcon() : ThemeIcon(*found);
}
