#include "gui/common/CPermissionsDlg.h"

#include "core/common/Prompt.h"
#include "gui/common/CMessageLine.h"
#include "gui/common/Help.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int Controls[9]
    = { CPermissionsDlg::OwnerRead, CPermissionsDlg::OwnerWrite, CPermissionsDlg::OwnerExecute,
          CPermissionsDlg::GroupRead, CPermissionsDlg::GroupWrite, CPermissionsDlg::GroupExecute,
          CPermissionsDlg::WorldRead, CPermissionsDlg::WorldWrite, CPermissionsDlg::WorldExecute };
constexpr int Values[9] = { 400, 200, 100, 40, 20, 10, 4, 2, 1 };
} // namespace

bool CPermissionsDlg::IsValidPermission(int value)
{
    if (value < 0 || value > 777)
        return false;
    return value % 10 <= 7 && (value / 10) % 10 <= 7 && value / 100 <= 7;
}

CPermissionsDlg::CPermissionsDlg(int* result, bool isFile, QWidget* parent)
    : QDialog(parent)
    , m_result(result)
    , m_isFile(isFile)
{
    setWindowTitle(isFile ? QStringLiteral("Changing file permissions")
                          : QStringLiteral("Changing directory permissions"));
    SetHelpTopic(this, QStringLiteral("dlgPerms.html"));
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new CMessageLine(this,
        isFile ? QStringLiteral("Select the new file permissions you would like.")
               : QStringLiteral("Select the new directory permissions you would like."));
    layout->addWidget(prompt);
    auto* grid = new QGridLayout;
    const char* const who[3] = { "Owner", "Group", "World" };
    const char* const what[3] = { "Read", "Write", "Execute" };
    for (int row = 0; row < 3; ++row) {
        grid->addWidget(new QLabel(QString::fromLatin1(who[row]), this), row, 0);
        for (int column = 0; column < 3; ++column) {
            auto* box = new QCheckBox(QString::fromLatin1(what[column]), this);
            m_boxes[row * 3 + column] = box;
            grid->addWidget(box, row, column + 1);
        }
    }
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPermissionsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
        [this] { ShowHelpTopic(this, QStringLiteral("dlgPerms.html")); });
    layout->addWidget(buttons);

    // Start from the current value, so OK without a change keeps it.
    const int start = result ? *result : -1;
    if (IsValidPermission(start)) {
        m_presetting = true;
        int rest = start;
        for (int i = 0; i < 9; ++i) {
            const int digit = (i < 3 ? rest / 100 : i < 6 ? (rest / 10) % 10 : rest % 10);
            const int bit = 4 >> (i % 3);
            m_boxes[i]->setChecked((digit & bit) != 0);
        }
        m_presetting = false;
    }
    connect(m_boxes[4], &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            confirmWrite(m_boxes[4], QStringLiteral("the group write permission"),
                QStringLiteral("Group Writeable okay?"));
    });
    connect(m_boxes[7], &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            confirmWrite(m_boxes[7], QStringLiteral("the world write permission"),
                QStringLiteral("World Writeable okay?"));
    });
}

void CPermissionsDlg::confirmWrite(QCheckBox* box, const QString& whom, const QString& caption)
{
    if (!m_isFile || m_presetting)
        return;
    const Prompt::Button answer
        = Prompt::Ask(QStringLiteral("It's generally not a good idea to give anyone other than yourself "
                                     "write permissions.  Are you sure "
                                     "you want to give %1?")
                          .arg(whom),
            caption, Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel, Prompt::No);
    if (answer != Prompt::Yes) {
        const QSignalBlocker blocker(box);
        box->setChecked(false);
    }
}

QCheckBox* CPermissionsDlg::Box(int control) const
{
    for (int i = 0; i < 9; ++i) {
        if (Controls[i] == control)
            return m_boxes[i];
    }
    return nullptr;
}

int CPermissionsDlg::Value() const
{
    int value = 0;
    for (int i = 0; i < 9; ++i) {
        if (m_boxes[i]->isChecked())
            value += Values[i];
    }
    return value;
}

void CPermissionsDlg::accept()
{
    if (m_result)
        *m_result = Value();
    QDialog::accept();
}
