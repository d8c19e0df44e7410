#include "gui/net/CPendingFilesDlg.h"

#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/net/PendingFiles.h"
#include "core/settings/CAppState.h"
#include "core/settings/Profile.h"
#include "gui/common/Help.h"
#include "gui/net/CMenuEntryDlg.h"
#include "gui/net/NetCommands.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

CPendingFilesDlg::CPendingFilesDlg(bool quitting, QWidget* parent)
    : CResizingDialog(167, parent, QStringLiteral("Pending Files"), 1.0)
    , m_quitting(quitting)
{
    setObjectName(QStringLiteral("PendingFilesDlg"));
    setWindowTitle(QStringLiteral("Pending files to upload"));
    auto* layout = new QVBoxLayout(this);
    m_text = new QLabel(this);
    m_text->setWordWrap(true);
    layout->addWidget(m_text);
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHeaderLabels({ QStringLiteral("Local file name"), QStringLiteral("Remote file name") });
    layout->addWidget(m_list, 1);
    auto* buttons = new QHBoxLayout;
    m_send = new QPushButton(QStringLiteral("&Send Files Now"), this);
    m_close = new QPushButton(QStringLiteral("&Close"), this);
    m_add = new QPushButton(QStringLiteral("&Add File"), this);
    m_remove = new QPushButton(QStringLiteral("&Remove File"), this);
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    for (QPushButton* b : { m_send, m_close, m_add, m_remove, help })
        buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(m_send, &QPushButton::clicked, this, &CPendingFilesDlg::accept);
    connect(m_close, &QPushButton::clicked, this, &CPendingFilesDlg::reject);
    connect(m_add, &QPushButton::clicked, this, &CPendingFilesDlg::AddFile);
    connect(m_remove, &QPushButton::clicked, this, &CPendingFilesDlg::RemoveFiles);
    connect(help, &QPushButton::clicked, this,
        [this] { ShowHelpTopic(this, QStringLiteral("dlgPendingFiles.html")); });
    SetHelpTopic(this, QStringLiteral("dlgPendingFiles.html"));
    // A first opening gets this size, and none is smaller; later ones the size the user left.
    setMinimumSize(640, 320);
    Reload();
}

void CPendingFilesDlg::Reload()
{
    m_list->clear();
    const QList<QPair<QString, QString>> pairs = PendingPairs();
    for (const auto& [local, remote] : pairs)
        m_list->addTopLevelItem(new QTreeWidgetItem({ local, remote }));
    m_list->header()->resizeSections(QHeaderView::ResizeToContents);
    const QString start
        = pairs.size() < 2 ? QStringLiteral("The file ") : QStringLiteral("The %1 files ").arg(pairs.size());
    if (m_quitting)
        m_text->setText(start
            + QStringLiteral("listed below should be uploaded to your ISP.  To do so, select the "
                             "'Send Files Now' button.  To ignore this message and continue "
                             "quitting, hit 'Close'."));
    else if (!pairs.isEmpty())
        m_text->setText(start
            + QStringLiteral("listed below should be uploaded to your ISP.\r\nTo do so, select the "
                             "'Send Files Now' button."));
    else
        m_text->setText(
            QStringLiteral("There are no files pending to be sent to your ISP.  To add a file to the list, "
                           "select the 'Add File' button."));
    if (const QString note = PendingUploadNote(); !note.isEmpty() && !pairs.isEmpty())
        m_text->setText(m_text->text() + QStringLiteral("\n\n") + note);
    const bool empty = pairs.isEmpty();
    m_add->setDefault(empty);
    m_send->setDefault(!empty);
    m_close->setDefault(false);
    m_remove->setDefault(false);
}

void CPendingFilesDlg::AddFile()
{
    QString name;
    QString remote;
    QString local;
    CMenuEntryDlg dialog(CMenuEntryDlg::NewPending, &name, &remote, &local, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!AddPending(local, remote)) {
        const auto answer = Prompt::Ask(
            QStringLiteral("The file %1 has already been uploaded to the remote host and hasn't been "
                           "modified since is was last uploaded (or is already listed in the pending files "
                           "to upload).  If you would like to force the file to be added to the pending "
                           "files list anyway hit 'Yes'.  Click 'No' if you don't want to add the file to "
                           "the list.\n\nAdd %2 to pending files list?")
                .arg(local, local),
            QStringLiteral("Add file to list?"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel,
            Prompt::No);
        if (answer == Prompt::Yes) {
            CAppState::Instance().RemoteFiles().TouchLocal(local);
            AddPending(local, remote);
        }
    }
    Reload();
}

void CPendingFilesDlg::RemoveFiles()
{
    bool asked = false;
    for (int row = m_list->topLevelItemCount() - 1; row >= 0; --row) {
        QTreeWidgetItem* item = m_list->topLevelItem(row);
        if (!item->isSelected())
            continue;
        if (!asked) {
            asked = true;
            if (Prompt::Ask(QStringLiteral(
                                "Only advanced users who are sure of the consequences should remove a file "
                                "from the list.  Are you sure you want to remove the selected files(s) from "
                                "the list?"),
                    QStringLiteral("Okay to remove?"), Prompt::Warning,
                    Prompt::Yes | Prompt::No | Prompt::Cancel, Prompt::No)
                != Prompt::Yes)
                return;
        }
        RemovePending(item->text(0), item->text(1));
        delete item;
    }
    if (!asked)
        Prompt::Tell(QStringLiteral("Please select a file in the list to remove."),
            QStringLiteral("Nothing selected!"), Prompt::Information);
    else
        Reload();
}

bool SendPending(bool showSetupMessage, bool quitting, QWidget* parent)
{
    if (GetSetting(Settings::SetupWizRun) == 0) {
        if (showSetupMessage)
            Prompt::Tell(
                QStringLiteral("The Pending Files dialog will not be displayed until you run the Initial "
                               "Setup Wizard.  To do so, from the 'Tools' menu select 'Initial Setup'."),
                QStringLiteral("Setup not initialized"), Prompt::Information);
        return false;
    }
    CPendingFilesDlg dialog(quitting, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (!HasPending())
        return true;
    // The main window's connection when there is one, so that a connection left open by the
    // disconnect setting stays usable and Disconnect can end it.
    if (CRemoteHost* shared = NetCommands::SharedHost())
        return SendPendingNow(*shared);
    CRemoteHost host;
    return SendPendingNow(host);
}
