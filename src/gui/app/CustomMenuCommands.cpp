#include "gui/app/CustomMenuCommands.h"

#include "core/common/Prompt.h"
#include "core/net/CustomMenus.h"
#include "gui/app/CommandRegistry.h"
#include "gui/common/CommandIds.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

namespace {

int idOf(bool upload, int index)
{
    return (upload ? Cmd::FirstUpload : Cmd::FirstDownload) + index;
}

} // namespace

CustomMenuCommands::CustomMenuCommands(CommandRegistry& commands, QObject* parent)
    : QObject(parent)
    , m_commands(commands)
{
    for (int upload = 0; upload < 2; ++upload) {
        for (int i = 0; i < Cmd::MaxCustomEntries; ++i) {
            const int id = idOf(upload != 0, i);
            auto* entry = new QAction(this);
            entry->setData(id);
            entry->setEnabled(false);
            m_commands.SetAction(id, entry);
            m_commands.SetHandler(
                id, [this, upload, i] { run(upload != 0, i); },
                [this, entry] { return m_transfer && !entry->property("customName").toString().isEmpty(); });
        }
    }
    Reload();
}

QAction* CustomMenuCommands::action(bool upload, int index) const
{
    return m_commands.Action(idOf(upload, index));
}

QString CustomMenuCommands::name(bool upload, int index) const
{
    return CustomMenus::StoredEntry(upload, index).menuName;
}

void CustomMenuCommands::SetTransfer(Transfer transfer)
{
    m_transfer = std::move(transfer);
}

void CustomMenuCommands::Reload()
{
    for (int upload = 0; upload < 2; ++upload) {
        const int entries = std::min(CustomMenus::StoredEntryCount(upload != 0), int(Cmd::MaxCustomEntries));
        bool ended = false;
        for (int i = 0; i < Cmd::MaxCustomEntries; ++i) {
            QAction* entry = action(upload != 0, i);
            const QString entryName = (i < entries && !ended) ? name(upload != 0, i) : QString();
            if (entryName.isEmpty())
                ended = true;
            QString shown = entryName;
            entry->setProperty("customName", entryName);
            entry->setText(shown.replace(QLatin1Char('&'), QLatin1String("&&")));
            entry->setIconText(
                entryName.isEmpty() ? QString::fromLatin1(upload ? "Send" : "Get") : entryName);
            entry->setStatusTip(QString::fromLatin1(upload ? "Upload " : "Download ") + entryName);
            // An entry without a file is a button that does nothing yet: say where to give it one.
            entry->setToolTip(entryName.isEmpty()
                    ? QString::fromLatin1(upload ? "Add a file with Upload > Customize Menu first"
                                                 : "Add a file with Download > Customize Menu first")
                    : QString::fromLatin1(upload ? "Send " : "Get ") + entryName);
        }
    }
}

void CustomMenuCommands::AppendEntries(QMenu* menu, bool upload) const
{
    for (int i = 0; i < Cmd::MaxCustomEntries; ++i) {
        QAction* entry = action(upload, i);
        if (entry->property("customName").toString().isEmpty())
            break;
        menu->addAction(entry);
    }
}

void CustomMenuCommands::run(bool upload, int index)
{
    // Entries with a name but no files are shown and explained, not skipped.
    const CMenuEntry entry = CustomMenus::StoredEntry(upload, index);
    const QString& local = entry.localFile;
    const QString& remote = entry.remoteFile;
    if (local.isEmpty() || remote.isEmpty()) {
        const QString verb = QString::fromLatin1(upload ? "Upload" : "Download");
        Prompt::Tell(
            QStringLiteral(
                "You haven't associated any filenames with this button.  ZEPH doesn't know what file "
                "to %1.  Please select 'Customize menu' from the '%2' menu to specify which file you "
                "would like %3 when this button is selected.")
                .arg(verb, verb, QString::fromLatin1(upload ? "uploaded" : "downloaded")),
            QStringLiteral("No files specified"), Prompt::Information);
        return;
    }
    if (m_transfer)
        m_transfer(upload, local, remote);
}
