#include "gui/app/COpeningFormView.h"

#include "core/settings/Profile.h"
#include "gui/app/CommandIcons.h"
#include "gui/app/CommandTable.h"
#include "gui/common/Help.h"
#include "gui/common/IShell.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

const QList<COpeningFormView::ButtonInfo>& COpeningFormView::Buttons()
{
    static const QList<ButtonInfo> buttons = {
        { "Recipe Wizard", RecipeWizardButton, Cmd::NewRecipe, "Display Recipe Wizard" },
        { "Position/Edit Recipes", PositionEditButton, Cmd::PositionEdit,
            "Position and/or edit existing recipes" },
        { "Send Pending Files", SendPendingFilesButton, Cmd::PendingFiles, "Display Pending Files Dialog" },
        { "Get Log", GetLogButton, Cmd::LogDownload, "Download zeph.log from the remote host" },
        { "Settings", SettingsButton, Cmd::Settings, "Modify settings" },
        { "Initial Setup", InitialSetupButton, Cmd::InitialSetup, "Display Initial Setup Wizard" },
        { "Backup E-Mail", BackupButton, Cmd::Backup, "Display Backup Mail Dialog" },
        { "Disable Procmail", DisableProcmailButton, Cmd::DisableProcmail, "Stop procmail filtering" },
        { "Options", OptionsButton, Cmd::Options, "Modify Options" },
        { "Remote Files && Folders", RemoteFilesFoldersButton, Cmd::RemoteFilesFolders,
            "Display Remote Files and Folders Dialog" },
        { "Send Feedback", SendFeedbackButton, Cmd::SendFeedback, "Send email to author" },
        { "Help", HelpButton, 0, "Display Help" },
    };
    return buttons;
}

COpeningFormView::COpeningFormView(IShell& shell, QWidget* parent)
    : CDocumentWindow(DocumentKind::ButtonPage, parent)
    , m_showAtStartup(new QCheckBox(QStringLiteral("Show this page at startup"), this))
{
    SetShell(&shell);
    setObjectName(QStringLiteral("ButtonPage"));
    SetHelpTopic(this, QStringLiteral("dlgMainPg.html"));
    setMouseTracking(true);
    installEventFilter(this);
    m_grid = new QGridLayout;
    m_grid->setSpacing(8);
    const QList<ButtonInfo>& infos = Buttons();
    for (int i = 0; i < infos.size(); ++i) {
        const ButtonInfo& info = infos[i];
        auto* button = new QToolButton(this);
        button->setText(QString::fromLatin1(info.text));
        button->setToolTip(QString::fromLatin1(info.tooltip));
        button->setIcon(CommandIcon(info.command ? info.command : int(Cmd::HelpContents)));
        button->setIconSize(QSize(32, 32));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setProperty("control", info.control);
        button->installEventFilter(this);
        const int command = info.command;
        connect(button, &QToolButton::clicked, this, [this, command] {
            IShell* shell = Shell();
            if (!shell)
                return;
            shell->SetIdleText();
            if (command == 0)
                PressHelp();
            else
                shell->RunCommand(command);
        });
        m_buttons.append(button);
    }
    // All buttons as wide as the widest one needs, and no wider: on a wide window the block stays
    // a block in the middle, at the top of the page, rather than a stretched band of buttons.
    int width = 190;
    int height = 48;
    for (QToolButton* button : std::as_const(m_buttons)) {
        width = qMax(width, button->sizeHint().width() + 24);
        height = qMax(height, button->sizeHint().height());
    }
    for (QToolButton* button : std::as_const(m_buttons))
        button->setFixedSize(width, height);

    auto* centred = new QHBoxLayout;
    centred->addStretch();
    centred->addLayout(m_grid);
    centred->addStretch();
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(24, 24, 24, 24);
    outer->addLayout(centred);
    outer->addSpacing(12);
    outer->addWidget(m_showAtStartup, 0, Qt::AlignHCenter);
    outer->addStretch();
    m_showAtStartup->setChecked(GetSetting(Settings::ShowButtonPage) != 0);
    connect(m_showAtStartup, &QCheckBox::toggled, this,
        [](bool checked) { SetSetting(Settings::ShowButtonPage, checked ? 1 : 0); });
    for (const ButtonInfo& info : infos) {
        if (QAction* action = info.command ? shell.CommandAction(info.command) : nullptr)
            connect(action, &QAction::changed, this, &COpeningFormView::refreshStates);
    }
    refreshStates();
}

COpeningFormView::~COpeningFormView()
{
    SetSetting(Settings::ShowButtonPage, m_showAtStartup->isChecked() ? 1 : 0);
}

QIcon COpeningFormView::Icon() const
{
    return style()->standardIcon(QStyle::SP_DesktopIcon);
}

QToolButton* COpeningFormView::ButtonFor(int control) const
{
    for (QToolButton* button : m_buttons) {
        if (button->property("control").toInt() == control)
            return button;
    }
    return nullptr;
}

void COpeningFormView::refreshStates()
{
    IShell* shell = Shell();
    const QList<ButtonInfo>& infos = Buttons();
    QList<QToolButton*> shown;
    for (int i = 0; i < infos.size() && i < m_buttons.size(); ++i) {
        QToolButton* button = m_buttons[i];
        if (infos[i].command != 0) {
            QAction* action = shell ? shell->CommandAction(infos[i].command) : nullptr;
            // Like its menu item, a button whose command nothing performs yet is left out, and a
            // disabled one says what to do first where the command knows.
            button->setVisible(action && action->isVisible());
            button->setEnabled(action && action->isEnabled());
            const CommandInfo* info = FindCommand(infos[i].command);
            const bool why = action && !action->isEnabled() && info
                && action->toolTip() != QString::fromLatin1(info->tooltip);
            button->setToolTip(why ? action->toolTip() : QString::fromLatin1(infos[i].tooltip));
        }
        if (!button->isHidden())
            shown.append(button);
    }
    // The buttons that are left fill the grid in their order, three to a row.
    for (QToolButton* button : std::as_const(m_buttons))
        m_grid->removeWidget(button);
    for (int i = 0; i < shown.size(); ++i)
        m_grid->addWidget(shown[i], i / 3, i % 3);
}

bool COpeningFormView::HasCommand(int id) const
{
    return id == Cmd::Save;
}

bool COpeningFormView::IsCommandEnabled(int) const
{
    return false;
}

void COpeningFormView::PressHelp()
{
    if (GetSetting(Settings::HelpButtonOnButtonPageUsed) == 0) {
        SetSetting(Settings::HelpButtonOnButtonPageUsed, 1);
        ShowHelpTopic(this, QStringLiteral("welcome.html"));
    } else {
        ShowHelpTopic(this, QStringLiteral("dlgMainPg.html"));
    }
}

bool COpeningFormView::eventFilter(QObject* watched, QEvent* event)
{
    IShell* shell = Shell();
    if (shell && event->type() == QEvent::Enter) {
        if (auto* button = qobject_cast<QToolButton*>(watched)) {
            const int control = button->property("control").toInt();
            for (const ButtonInfo& info : Buttons()) {
                if (info.control != control)
                    continue;
                const CommandInfo* command
                    = FindCommand(info.command ? info.command : int(Cmd::HelpContents));
                shell->SetMessageText(command ? QString::fromLatin1(command->prompt) : QString());
            }
        } else if (watched == this) {
            shell->SetIdleText();
        }
    } else if (shell && event->type() == QEvent::Leave && watched != this) {
        shell->SetIdleText();
    }
    return CDocumentWindow::eventFilter(watched, event);
}
