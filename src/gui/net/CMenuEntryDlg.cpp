#include "gui/net/CMenuEntryDlg.h"

#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/net/CustomMenus.h"
#include "core/workspace/Workspace.h"
#include "gui/common/Help.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CMenuEntryDlg::CMenuEntryDlg(
    Mode mode, QString* menuName, QString* remoteFile, QString* localFile, QWidget* parent)
    : QDialog(parent)
    , m_mode(mode)
    , m_menuNameOut(menuName)
    , m_remoteOut(remoteFile)
    , m_localOut(localFile)
{
    setObjectName(QStringLiteral("MenuEntryDlg"));
    const bool upload = mode == AddUpload || mode == EditUpload;
    setWindowTitle(mode == NewPending ? QStringLiteral("New pending file to upload")
            : upload                  ? QStringLiteral("Upload menu entry")
                                      : QStringLiteral("Download menu entry"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_local = new QLineEdit(this);
    auto* select = new QPushButton(QStringLiteral("Select..."), this);
    auto* localRow = new QHBoxLayout;
    localRow->addWidget(m_local);
    localRow->addWidget(select);
    m_remote = new QLineEdit(this);
    m_menuName = new QLineEdit(this);
    m_menuName->setMaxLength(CustomMenus::MaxMenuName);
    auto* localLabel = new QLabel(QStringLiteral("&Local filename:"), this);
    localLabel->setBuddy(m_local);
    form->addRow(localLabel, localRow);
    form->addRow(QStringLiteral("&Remote filename:"), m_remote);
    form->addRow(QStringLiteral("&Menu name:"), m_menuName);
    layout->addLayout(form);
    if (mode == NewPending) {
        form->labelForField(m_menuName)->hide();
        m_menuName->hide();
    }
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    layout->addWidget(buttons);
    const QString topic = mode == NewPending ? QStringLiteral("dlgPendingFilesAdd.html")
        : upload                             ? QStringLiteral("cusMenuEntryUpDlg.html")
                                             : QStringLiteral("cusMenuEntryDownDlg.html");
    SetHelpTopic(this, topic);
    connect(buttons, &QDialogButtonBox::accepted, this, &CMenuEntryDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMenuEntryDlg::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [this, topic] { ShowHelpTopic(this, topic); });
    connect(select, &QPushButton::clicked, this, &CMenuEntryDlg::select);
    if (mode == EditUpload || mode == EditDownload) {
        m_menuName->setText(*menuName);
        m_remote->setText(*remoteFile);
        m_local->setText(*localFile);
    }
}

void CMenuEntryDlg::select()
{
    QFileDialog dialog(this,
        isDownload() ? QStringLiteral("Enter local filename") : QStringLiteral("Select local file to upload"),
        Workspace::GetDocumentFolder(), QStringLiteral("All files (*);;Text files (*.txt)"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("OK"));
    dialog.setFileMode(isDownload() ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    ApplySelectedFile(dialog.selectedFiles().first());
}

void CMenuEntryDlg::ApplySelectedFile(const QString& path)
{
    m_local->setText(path);
    const QString name = QFileInfo(path).fileName();
    if (m_remote->text().isEmpty())
        m_remote->setText(name == QLatin1String(".procmailrc")
                ? name
                : Workspace::GetRemoteZephDir() + QLatin1Char('/') + name);
    if (m_menuName->text().isEmpty() && m_mode != NewPending)
        m_menuName->setText(name.left(CustomMenus::MaxMenuName));
}

void CMenuEntryDlg::refuse(QLineEdit* edit, const QString& text, const QString& caption)
{
    Prompt::Tell(text, caption, Prompt::Warning);
    edit->setFocus();
    edit->selectAll();
}

void CMenuEntryDlg::accept()
{
    const QString local = m_local->text();
    const QString remote = m_remote->text();
    if (local.isEmpty())
        return refuse(m_local,
            QStringLiteral("You have not specified a local file name.  Please enter a name in the "
                           "\"Local filename\" box."),
            QStringLiteral("No local filename"));
    if (remote.isEmpty())
        return refuse(m_remote,
            QStringLiteral("You have not specified a remote file name.  Please enter a name in the "
                           "\"Remote filename\" box."),
            QStringLiteral("No remote filename"));
    if (m_mode != NewPending && m_menuName->text().isEmpty())
        return refuse(m_menuName,
            QStringLiteral("You have not specified a menu name.  Please enter a name in the "
                           "\"Menu name\" box."),
            QStringLiteral("No menu name"));
    // The remote name goes into an FTP command.
    if (!CRemoteHost::IsCommandSafe(remote)) {
        CRemoteHost::TellInvalidEntry();
        m_remote->setFocus();
        m_remote->selectAll();
        return;
    }
    const QFileInfo info(local);
    if (isDownload()) {
        const QString folder = local.left(local.lastIndexOf(QLatin1Char('/')));
        if (!QFileInfo(folder.isEmpty() ? QStringLiteral("/") : folder).isDir())
            return refuse(m_local,
                QStringLiteral("The directory \"%1\" doesn't exist.  Please specify an existing "
                               "directory for the local file name.")
                    .arg(folder),
                QStringLiteral("Directory doesn't exist!"));
    } else if (!info.exists() || info.isDir()) {
        return refuse(m_local,
            QStringLiteral("The file \"%1\" doesn't exist.  Please specify an existing file for the "
                           "local file name.")
                .arg(local),
            QStringLiteral("File doesn't exist!"));
    }
    *m_localOut = local;
    *m_remoteOut = remote;
    if (m_mode != NewPending)
        *m_menuNameOut = m_menuName->text();
    QDialog::accept();
}
