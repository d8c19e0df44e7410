#include "gui/net/CFtpDlg.h"

#include "core/common/Prompt.h"
#include "core/net/CFtpListing.h"
#include "core/net/PendingFiles.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CInputDlg.h"
#include "gui/common/CPermissionsDlg.h"
#include "gui/common/CTextViewerDlg.h"
#include "gui/common/CWorkingDlg.h"
#include "gui/common/Help.h"
#include "gui/common/IShell.h"
#include "gui/net/CFtpPaneModel.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <memory>

namespace {

const char* const NotConnectedText = "Press 'Connect' to view remote files";

QTreeView* makeList(CFtpPaneModel* model, QWidget* parent)
{
    auto* view = new QTreeView(parent);
    view->setModel(model);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->header()->setStretchLastSection(true);
    view->header()->setSectionsClickable(false);
    return view;
}

void tellNoSelection(const QString& text)
{
    Prompt::Tell(text, QStringLiteral("No file selected"), Prompt::Information);
}

} // namespace

CFtpDlg::CFtpDlg(QWidget* parent, IShell* shell)
    : CResizingDialog(129, parent, QString(), 1.0)
    , m_shell(shell)
{
    setWindowTitle(QStringLiteral("FTP"));
    buildControls();
    SetHelpTopic(this, HelpTopic());
    m_status->setText(QLatin1String(NotConnectedText));
    m_ascii->setChecked(true);
    // The FTP dialogue goes to the log box; the progress window then shows no details.
    m_host.SetLogOutput([this](const QString& line) { m_log->appendPlainText(line); });
    SetLocalFolder(Workspace::GetDocumentFolder());
    for (int i = 0; i < m_drives->count(); ++i) {
        if (m_localFolder.startsWith(m_drives->itemData(i).toString(), Qt::CaseInsensitive)) {
            const QSignalBlocker blocker(m_drives);
            m_drives->setCurrentIndex(i);
        }
    }
    m_stateTimer = new QTimer(this);
    m_stateTimer->setInterval(250);
    connect(m_stateTimer, &QTimer::timeout, this, [this] {
        if (!m_busy)
            updateConnectionState();
    });
    m_stateTimer->start();
}

CFtpDlg::~CFtpDlg()
{
    m_host.SetLogOutput({});
    m_host.Disconnect();
    m_host.CloseProgress();
}

QPushButton* CFtpDlg::Button(int id) const
{
    return qobject_cast<QPushButton*>(m_controls.value(id));
}

QPushButton* CFtpDlg::addButton(int id, const QString& text)
{
    auto* button = new QPushButton(text, this);
    button->setAutoDefault(false);
    m_controls.insert(id, button);
    return button;
}

void CFtpDlg::buildControls()
{
    m_localModel = new CFtpPaneModel(QStringLiteral("Local Files"), this);
    m_remoteModel = new CFtpPaneModel(QStringLiteral("Remote Files"), this);

    // Local side.
    m_drives = new QComboBox(this);
    QFileIconProvider icons;
    for (const QFileInfo& drive : QDir::drives())
        m_drives->addItem(
            icons.icon(QAbstractFileIconProvider::Drive), drive.absoluteFilePath(), drive.absoluteFilePath());
    m_localPath = new QLabel(this);
    m_localView = makeList(m_localModel, this);
    auto* localChange = addButton(LocalChangeDirectory, QStringLiteral("Change Directory"));
    auto* local = new QVBoxLayout;
    local->addWidget(m_drives);
    local->addWidget(m_localPath);
    local->addWidget(m_localView, 1);
    local->addWidget(localChange, 0, Qt::AlignHCenter);

    // Middle column.
    auto* connectButton = addButton(ConnectButton, QStringLiteral("Connect"));
    auto* exitButton = addButton(ExitButton, QStringLiteral("Exit"));
    auto* send = addButton(SendFileButton, QStringLiteral("Send File"));
    auto* get = addButton(GetFileButton, QStringLiteral("Get File"));
    auto* type = new QGroupBox(QStringLiteral("Transfer type"), this);
    m_ascii = new QRadioButton(QStringLiteral("ASCII"), type);
    m_binary = new QRadioButton(QStringLiteral("Binary"), type);
    auto* typeLayout = new QVBoxLayout(type);
    typeLayout->addWidget(m_ascii);
    typeLayout->addWidget(m_binary);
    auto* help = addButton(HelpButton, QStringLiteral("Help"));
    auto* middle = new QVBoxLayout;
    middle->addSpacing(40);
    middle->addWidget(connectButton);
    middle->addWidget(exitButton);
    middle->addSpacing(20);
    middle->addWidget(send);
    middle->addWidget(get);
    middle->addWidget(type);
    middle->addStretch();
    middle->addWidget(help);

    // Remote side.
    m_status = new QLabel(this);
    m_remotePath = new QLabel(this);
    m_remoteView = makeList(m_remoteModel, this);
    auto* remoteButtons = new QHBoxLayout;
    const QList<QPair<int, const char*>> actions = { { ViewButton, "View" },
        { PermissionButton, "Permission" }, { DeleteButton, "Delete" }, { RenameButton, "Rename" },
        { MakeDirButton, "Make Dir" }, { RawDirListButton, "Raw Dir List" } };
    for (const auto& [id, text] : actions)
        remoteButtons->addWidget(addButton(id, QLatin1String(text)));
    auto* remoteChange = addButton(RemoteChangeDirectory, QStringLiteral("Change Directory"));
    auto* remote = new QVBoxLayout;
    remote->addWidget(m_status);
    remote->addWidget(m_remotePath);
    remote->addWidget(m_remoteView, 1);
    remote->addLayout(remoteButtons);
    remote->addWidget(remoteChange, 0, Qt::AlignHCenter);

    m_log = new QPlainTextEdit(this);
    m_log->setReadOnly(true);
    m_log->setMaximumBlockCount(5000);
    m_log->setMinimumHeight(80);

    auto* panes = new QHBoxLayout;
    panes->addLayout(local, 1);
    panes->addLayout(middle);
    panes->addLayout(remote, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panes, 1);
    layout->addWidget(m_log);
    resize(720, 520);

    m_controls.insert(DriveSelector, m_drives);
    m_controls.insert(LocalPathLabel, m_localPath);
    m_controls.insert(LocalList, m_localView);
    m_controls.insert(AsciiButton, m_ascii);
    m_controls.insert(BinaryButton, m_binary);
    m_controls.insert(StatusText, m_status);
    m_controls.insert(RemotePathLabel, m_remotePath);
    m_controls.insert(RemoteList, m_remoteView);
    m_controls.insert(LogBox, m_log);

    connect(connectButton, &QPushButton::clicked, this, &CFtpDlg::onConnect);
    connect(exitButton, &QPushButton::clicked, this, &CFtpDlg::reject);
    connect(send, &QPushButton::clicked, this, &CFtpDlg::onSendFile);
    connect(get, &QPushButton::clicked, this, &CFtpDlg::onGetFile);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelpTopic(this, HelpTopic()); });
    connect(m_drives, &QComboBox::currentIndexChanged, this, &CFtpDlg::onDriveChosen);
    connect(localChange, &QPushButton::clicked, this, &CFtpDlg::onLocalChangeDirectory);
    connect(m_localView, &QTreeView::doubleClicked, this, &CFtpDlg::onLocalChangeDirectory);
    connect(remoteChange, &QPushButton::clicked, this, &CFtpDlg::onRemoteChangeDirectory);
    connect(m_remoteView, &QTreeView::doubleClicked, this, &CFtpDlg::onRemoteChangeDirectory);
    connect(Button(ViewButton), &QPushButton::clicked, this, &CFtpDlg::onView);
    connect(Button(PermissionButton), &QPushButton::clicked, this, &CFtpDlg::onPermission);
    connect(Button(DeleteButton), &QPushButton::clicked, this, &CFtpDlg::onDelete);
    connect(Button(RenameButton), &QPushButton::clicked, this, &CFtpDlg::onRename);
    connect(Button(MakeDirButton), &QPushButton::clicked, this, &CFtpDlg::onMakeDir);
    connect(Button(RawDirListButton), &QPushButton::clicked, this, &CFtpDlg::onRawDirList);
}

QString CFtpDlg::ShortLocalPath(const QString& path)
{
    if (path.size() <= 30)
        return path;
    // The tail never overlaps the first three characters.
    return path.left(3) + QStringLiteral("...") + path.right(qMin<qsizetype>(30, path.size() - 4));
}

QString CFtpDlg::ShortRemotePath(const QString& path)
{
    return path.size() > 30 ? QStringLiteral("...") + path.right(30) : path;
}

void CFtpDlg::SetLocalFolder(const QString& folder)
{
    m_localFolder = QDir::cleanPath(folder);
    if (!m_localFolder.endsWith(QLatin1Char('/')))
        m_localFolder += QLatin1Char('/');
    readLocalList();
}

void CFtpDlg::readLocalList()
{
    QList<CFtpPaneModel::Item> directories;
    QList<CFtpPaneModel::Item> files;
    const QFileInfoList entries
        = QDir(m_localFolder)
              .entryInfoList(
                  QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo& entry : entries) {
        CFtpPaneModel::Item item;
        item.name = entry.fileName();
        (entry.isDir() ? directories : files).append(item);
    }
    m_localModel->SetItems(m_localFolder != QLatin1String("/"), directories, {}, files);
    m_localPath->setText(ShortLocalPath(m_localFolder));
}

bool CFtpDlg::readRemoteList()
{
    QList<QByteArray> lines;
    if (!m_host.ListDir(&lines)) {
        m_host.ShowResult();
        m_host.CloseProgress();
        return false;
    }
    m_remotePath->setText(ShortRemotePath(m_host.CurrentDir()));
    m_host.CloseProgress();
    m_remoteView->clearSelection();

    std::unique_ptr<CWorkingDlg> working;
    if (lines.size() > 50) {
        working = std::make_unique<CWorkingDlg>(this, QStringLiteral("Sorting dir list"),
            QStringLiteral("Sorting directory list.\r\n\r\nPlease wait...."), true);
        working->Create();
    }
    const qsizetype total = lines.size();
    const CFtpListingResult listing = CFtpListing::ParseAll(lines, [&working, total](qsizetype done) {
        if (!working || done == 0 || done % 26 != 0)
            return true;
        working->SetPos(int(qint64(done) * 100 / total));
        return !working->CheckCancel();
    });
    QList<CFtpPaneModel::Item> directories;
    QList<CFtpPaneModel::Item> links;
    QList<CFtpPaneModel::Item> files;
    for (const CFtpListEntry& entry : listing.entries) {
        CFtpPaneModel::Item item;
        item.name = QString::fromUtf8(entry.name);
        item.listed = entry.name;
        item.permissions = CFtpListing::PermissionValue(entry.permissions);
        (entry.type == 'd' ? directories : entry.type == 'l' ? links : files).append(item);
    }
    m_remoteModel->SetItems(true, directories, links, files);
    // Lines the parser does not understand are shown, not guessed at.
    for (QByteArray line : listing.unparsed) {
        if (line.endsWith('\r'))
            line.chop(1);
        m_log->appendPlainText(QStringLiteral("Listing line not understood: ") + QString::fromUtf8(line));
    }
    return true;
}

void CFtpDlg::updateConnectionState()
{
    const bool connected = m_host.IsConnected();
    Button(ConnectButton)->setText(connected ? QStringLiteral("Disconnect") : QStringLiteral("Connect"));
    if (connected == m_lastConnected && !m_status->text().isEmpty())
        return;
    m_lastConnected = connected;
    m_status->setText(
        connected ? QStringLiteral("Connected to remote host") : QLatin1String(NotConnectedText));
    QPalette palette = m_status->palette();
    palette.setColor(QPalette::WindowText, connected ? Qt::red : Qt::black);
    m_status->setPalette(palette);
}

int CFtpDlg::selectedRow(QTreeView* view) const
{
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

bool CFtpDlg::binary() const
{
    return m_binary->isChecked();
}

bool CFtpDlg::passive() const
{
    return CRemoteHost::PassiveSetting() != 0;
}

void CFtpDlg::finishRemote(bool ok, bool changed)
{
    if (ok)
        m_host.ShowMessage();
    else
        m_host.ShowResult();
    m_host.CloseProgress();
    if (ok && changed)
        readRemoteList();
    updateConnectionState();
}

void CFtpDlg::reject()
{
    m_host.Disconnect();
    m_host.CloseProgress();
    updateConnectionState();
    if (m_host.IsConnected())
        return;
    CResizingDialog::reject();
}

void CFtpDlg::onConnect()
{
    m_busy = true;
    if (m_host.IsConnected()) {
        m_host.Disconnect();
        m_host.CloseProgress();
    } else if (m_host.Connect()) {
        updateConnectionState();
        readRemoteList();
    }
    m_host.CloseProgress();
    updateConnectionState();
    m_busy = false;
}

void CFtpDlg::onDriveChosen(int index)
{
    if (index >= 0)
        SetLocalFolder(m_drives->itemData(index).toString());
}

void CFtpDlg::onLocalChangeDirectory()
{
    const int row = selectedRow(m_localView);
    if (row < 0)
        return;
    switch (m_localModel->KindOf(row)) {
    case CFtpPaneModel::Up:
        SetLocalFolder(QFileInfo(m_localFolder.chopped(1)).path());
        break;
    case CFtpPaneModel::Directory:
        SetLocalFolder(m_localFolder + m_localModel->ItemAt(row).name);
        break;
    default:
        break;
    }
}

void CFtpDlg::onRemoteChangeDirectory()
{
    const int row = selectedRow(m_remoteView);
    if (row < 0)
        return;
    const CFtpPaneModel::Kind kind = m_remoteModel->KindOf(row);
    if (kind == CFtpPaneModel::File)
        return;
    m_busy = true;
    if (m_host.Connect()) {
        const QString command = kind == CFtpPaneModel::Up
            ? QStringLiteral("CDUP")
            : QStringLiteral("CWD ") + m_remoteModel->ItemAt(row).name;
        if (m_host.Command(command)) {
            readRemoteList();
        } else {
            // The list stays as it was.
            m_host.ShowResult();
            m_host.CloseProgress();
        }
    }
    updateConnectionState();
    m_busy = false;
}

void CFtpDlg::onSendFile()
{
    const int row = selectedRow(m_localView);
    if (row < 0) {
        tellNoSelection(QStringLiteral("Please select a local file to upload."));
        return;
    }
    if (m_localModel->KindOf(row) != CFtpPaneModel::File) {
        tellNoSelection(QStringLiteral(
            "Please select a local file to upload to the remote host.  Folders cannot be uploaded."));
        return;
    }
    const QString name = m_localModel->ItemAt(row).name;
    const QString local = m_localFolder + name;
    if (m_shell && !m_shell->PrepareUpload(local, false))
        return;
    m_busy = true;
    if (m_host.Connect()) {
        const bool ok = m_host.Transfer(local, name, false, binary(), passive());
        if (ok)
            RemovePending(local, name);
        finishRemote(ok, true);
    }
    updateConnectionState();
    m_busy = false;
}

void CFtpDlg::onGetFile()
{
    const int row = selectedRow(m_remoteView);
    if (row < 0) {
        tellNoSelection(QStringLiteral("Please select a remote file to download."));
        return;
    }
    if (m_remoteModel->KindOf(row) != CFtpPaneModel::File) {
        tellNoSelection(QStringLiteral(
            "Please select a remote file to download to your computer.  Folders cannot be downloaded."));
        return;
    }
    const CFtpPaneModel::Item item = m_remoteModel->ItemAt(row);
    // The host chooses the names it lists; one with a path in it must not write elsewhere.
    if (!CFtpListing::IsUsableLocalName(item.listed)) {
        Prompt::Tell(
            QStringLiteral("The remote name %1 cannot be used as a local file name.  Rename it on the "
                           "remote host first.")
                .arg(item.name),
            QStringLiteral("Invalid file name"), Prompt::Warning);
        return;
    }
    const QString local = m_localFolder + item.name;
    // Unsaved edits of that file are never thrown away by the download.
    if (m_shell && !m_shell->CloseDocumentFor(local))
        return;
    m_busy = true;
    if (m_host.Connect()) {
        const bool ok = m_host.Transfer(local, item.name, true, binary(), passive());
        finishRemote(ok, false);
        if (ok)
            readLocalList();
    }
    updateConnectionState();
    m_busy = false;
}

void CFtpDlg::onView()
{
    const int row = selectedRow(m_remoteView);
    if (row < 0) {
        tellNoSelection(QStringLiteral("Please select a remote file to view."));
        return;
    }
    if (m_remoteModel->KindOf(row) != CFtpPaneModel::File) {
        onRemoteChangeDirectory();
        return;
    }
    const QString name = m_remoteModel->ItemAt(row).name;
    m_busy = true;
    if (m_host.Connect()) {
        const QString temporary = Workspace::MakeTempFile();
        if (!temporary.isEmpty()) {
            if (m_host.Transfer(temporary, name, true, false, passive())) {
                QFile file(temporary);
                const QByteArray text = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
                file.close();
                QFile::remove(temporary);
                m_host.CloseProgress();
                CTextViewerDlg viewer(QString::fromUtf8(text), QStringLiteral("Remote file"), this,
                    QStringLiteral("Remote file: %1").arg(name), false, 1.7);
                viewer.exec();
            } else {
                QFile::remove(temporary);
                m_host.ShowResult();
                m_host.CloseProgress();
            }
        }
    }
    updateConnectionState();
    m_busy = false;
}

void CFtpDlg::onPermission()
{
    const int row = selectedRow(m_remoteView);
    if (row < 0) {
        tellNoSelection(QStringLiteral("Please select a remote file or folder to change permissions for."));
        return;
    }
    const CFtpPaneModel::Kind kind = m_remoteModel->KindOf(row);
    if (kind == CFtpPaneModel::Up)
        return;
    const CFtpPaneModel::Item item = m_remoteModel->ItemAt(row);
    int permissions = item.permissions;
    CPermissionsDlg dialog(&permissions, kind == CFtpPaneModel::File, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_busy = true;
    if (m_host.Connect())
        finishRemote(m_host.Chmod(item.name, permissions), true);
    updateConnectionState();
    m_busy = false;
}

void CFtpDlg::onDelete()
{
    const int row = selectedRow(m_remoteView);
    if (row < 0) {
        tellNoSelection(QStringLiteral("Please select a remote file to delete."));
        return;
    }
    const CFtpPaneModel::Kind kind = m_remoteModel->KindOf(row);
    if (kind == CFtpPaneModel::Up)
        return;
    const QString name = m_remoteModel->ItemAt(row).name;
    const bool directory = kind == CFtpPaneModel::Directory;
    const Prompt::Button answer = directory
        ? Prompt::Ask(QStringLiteral("Are you sure you want to delete the remote directory %1?").arg(name),
            QStringLiteral("Confirm directory delete"), Prompt::Question,
            Prompt::Yes | Prompt::No | Prompt::Cancel, Prompt::No)
        : Prompt::Ask(QStringLiteral("Are you sure you want to delete the remote file %1?").arg(name),
            QStringLiteral("Confirm file delete"), Prompt::Question,
            Prompt::Yes | Prompt::No | Prompt::Cancel, Prompt::No);
    if (answer != Prompt::Yes)
        return;
    m_busy = true;
    if (m_host.Connect())
        finishRemote(directory ? m_host.RemoveDir(name) : m_host.DeleteFile(name), true);
    updateConnectionState();
    m_busy = false;
}

void CFtpDlg::onRename()
{
    const int row = selectedRow(m_remoteView);
    if (row < 0) {
        tellNoSelection(QStringLiteral("Please select a remote file to rename."));
        return;
    }
    if (m_remoteModel->KindOf(row) == CFtpPaneModel::Up)
        return;
    const QString name = m_remoteModel->ItemAt(row).name;
    QString newName;
    CInputDlg input(
        QStringLiteral("Renaming"), QStringLiteral("New name:"), &newName, QString(), nullptr, this);
    if (input.exec() != QDialog::Accepted)
        return;
    if (!CRemoteHost::IsCommandSafe(newName)) {
        CRemoteHost::TellInvalidEntry();
        return;
    }
    m_busy = true;
    if (m_host.Connect())
        finishRemote(m_host.Rename(name, newName), true);
    updateConnectionState();
    m_busy = false;
}

void CFtpDlg::onMakeDir()
{
    QString name;
    CInputDlg input(QStringLiteral("Creating directory"), QStringLiteral("Remote directory to create:"),
        &name, QString(), nullptr, this);
    if (input.exec() != QDialog::Accepted)
        return;
    if (!CRemoteHost::IsCommandSafe(name)) {
        CRemoteHost::TellInvalidEntry();
        return;
    }
    m_busy = true;
    if (m_host.Connect())
        finishRemote(m_host.MakeDir(name), true);
    updateConnectionState();
    m_busy = false;
}

void CFtpDlg::onRawDirList()
{
    m_busy = true;
    if (m_host.Connect()) {
        QByteArray text;
        if (m_host.RawList(&text)) {
            m_host.CloseProgress();
            CTextViewerDlg viewer(QString::fromUtf8(text), QStringLiteral("Remote directory list"), this,
                QStringLiteral("Remote directory list"), true, 1.7);
            viewer.exec();
        } else {
            m_host.ShowResult();
            m_host.CloseProgress();
        }
    }
    updateConnectionState();
    m_busy = false;
}
