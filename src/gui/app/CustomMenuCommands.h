#pragma once

#include <QList>
#include <QObject>

#include <functional>

class CommandRegistry;
class QAction;
class QMenu;

// The user's own Upload and Download entries: up to 50 commands each, named in the sections
// "Menus\Upload" and "Menus\Download" of the identity's settings. An entry with file names runs
// the transfer function the remote commands set; without them it only says so.
class CustomMenuCommands : public QObject
{
    Q_OBJECT

public:
    using Transfer = std::function<void(bool upload, const QString& local, const QString& remote)>;

    // Makes the entries' actions and hooks them into `commands`.
    CustomMenuCommands(CommandRegistry& commands, QObject* parent);

    void SetTransfer(Transfer transfer);
    // Reads the names again (after the customise dialogs saved them).
    void Reload();
    // Appends the named entries, in order up to the first without a name.
    void AppendEntries(QMenu* menu, bool upload) const;

private:
    QAction* action(bool upload, int index) const;
    QString name(bool upload, int index) const;
    void run(bool upload, int index);

    CommandRegistry& m_commands;
    Transfer m_transfer;
};
