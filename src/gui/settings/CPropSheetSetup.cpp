#include "gui/settings/CPropSheetSetup.h"

#include "core/net/PendingFiles.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CommandIds.h"
#include "gui/common/Help.h"
#include "gui/common/IShell.h"
#include "gui/settings/CPropPageEmail.h"
#include "gui/settings/CPropPageFTP.h"
#include "gui/settings/CPropPageForward.h"
#include "gui/settings/CPropPageProcmailrc.h"

#include <QDialogButtonBox>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

CPropSheetSetup::CPropSheetSetup(const QString& caption, QWidget* parent, int firstPage, bool showApply)
    : QDialog(parent)
    , m_tabs(new QTabWidget(this))
{
    setObjectName(QStringLiteral("PropSheetSetup"));
    setWindowTitle(caption);
    m_ftp = new CPropPageFTP(this);
    CPropPageFTP* ftp = m_ftp;
    m_forward = new CPropPageForward([ftp] { return ftp->CurrentUserName(); }, this);
    m_misc = new CPropPageEmail(this);
    m_procmailrc = new CPropPageProcmailrc(this);
    m_tabs->addTab(m_ftp, QStringLiteral("FTP"));
    m_tabs->addTab(m_forward, QStringLiteral(".forward/.qmail"));
    m_tabs->addTab(m_misc, QStringLiteral("Misc"));
    m_tabs->addTab(m_procmailrc, QStringLiteral(".procmailrc"));
    m_tabs->setCurrentIndex(firstPage >= 0 && firstPage < m_tabs->count() ? firstPage : 0);

    QDialogButtonBox::StandardButtons buttons
        = QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help;
    if (showApply)
        buttons |= QDialogButtonBox::Apply;
    m_buttons = new QDialogButtonBox(buttons, this);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_buttons, &QDialogButtonBox::helpRequested, this, [this] {
        static const QString topics[] = { QStringLiteral("settingsFTP.html"), CPropPageForward::HelpTopic(),
            CPropPageEmail::HelpTopic(), CPropPageProcmailrc::HelpTopic() };
        ShowHelpTopic(this, topics[m_tabs->currentIndex()]);
    });
    if (QPushButton* apply = m_buttons->button(QDialogButtonBox::Apply))
        connect(apply, &QPushButton::clicked, this, &CPropSheetSetup::Apply);
    SetHelpTopic(this, QStringLiteral("settings.html"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_buttons);
}

bool CPropSheetSetup::Apply()
{
    const std::function<bool()> pages[] = {
        [this] { return m_ftp->OnOK(); },
        [this] { return m_forward->OnOK(); },
        [this] { return m_misc->OnOK(); },
        [this] { return m_procmailrc->OnOK(); },
    };
    for (int index = 0; index < m_tabs->count(); ++index) {
        if (!pages[index]()) {
            m_tabs->setCurrentIndex(index);
            return false;
        }
    }
    return true;
}

void CPropSheetSetup::accept()
{
    if (Apply())
        QDialog::accept();
}

int CPropSheetSetup::Run(IShell& shell, const QString& caption, int firstPage, bool showApply)
{
    // The sheet rewrites these files; an editor window must not keep an older text of one.
    for (const QString& path :
        { Workspace::GetForwardPath(), Workspace::GetQmailPath(), Workspace::GetProcmailrcPath() }) {
        if (!shell.CloseDocumentFor(path))
            return QDialog::Rejected;
    }
    int result = QDialog::Rejected;
    {
        CPropSheetSetup sheet(caption, shell.Window(), firstPage, showApply);
        result = sheet.exec();
    }
    shell.UpdateCommandStates();
    // Before the setup has run, the Pending Files dialog is not shown at all; the offer stays
    // silent then rather than closing the sheet with a message the user did not ask for.
    if (GetSetting(Settings::ShowPendingFilesDlg) != 0 && GetSetting(Settings::SetupWizRun) != 0
        && HasPending()) {
        // Posted, so the dialog opens after the sheet and its caller are done.
        IShell* target = &shell;
        QTimer::singleShot(0, shell.Window(), [target] { target->RunCommand(Cmd::PendingFiles); });
    }
    return result;
}
