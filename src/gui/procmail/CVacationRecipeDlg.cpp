#include "gui/procmail/CVacationRecipeDlg.h"

#include "core/common/Clock.h"
#include "core/common/Prompt.h"
#include "core/net/PendingFiles.h"
#include "core/procmail/VacationTask.h"
#include "core/recipes/ResponseFile.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CFileEditorDlg.h"
#include "gui/common/FileDialogs.h"
#include "gui/common/Help.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString HelpTopic = QStringLiteral("rVacationCreate.html");
const QString DayFormat = QStringLiteral("yyyy-MM-dd");

// A response text is a short letter; the preview shows no more than this of a file chosen by mistake.
constexpr qint64 PreviewLimit = 64 * 1024;

QDate storedDay(Settings::Key key)
{
    return QDate::fromString(GetSettingString(key), DayFormat);
}

// An optional day: the box switches the date on; without a stored day it offers today.
void setUpDay(QCheckBox* use, QDateEdit* edit, Settings::Key key)
{
    const QDate day = storedDay(key);
    edit->setDisplayFormat(DayFormat);
    edit->setCalendarPopup(true);
    edit->setDate(day.isValid() ? day : Clock::Now().date());
    use->setChecked(day.isValid());
    edit->setEnabled(day.isValid());
    QObject::connect(use, &QCheckBox::toggled, edit, &QWidget::setEnabled);
}

} // namespace

CVacationRecipeDlg::CVacationRecipeDlg(
    const QString& recipeFile, std::function<bool()> modifyAddress, QWidget* parent)
    : QDialog(parent)
    , m_recipeFile(recipeFile)
    , m_modifyAddressSheet(std::move(modifyAddress))
    , m_to(new QComboBox(this))
    , m_file(new QLineEdit(this))
    , m_new(new QRadioButton(QStringLiteral("3.14 or later"), this))
    , m_old(new QRadioButton(QStringLiteral("Earlier than 3.14"), this))
    , m_useFirst(new QCheckBox(QStringLiteral("First day:"), this))
    , m_first(new QDateEdit(this))
    , m_useLast(new QCheckBox(QStringLiteral("Last day:"), this))
    , m_last(new QDateEdit(this))
    , m_preview(new QPlainTextEdit(this))
    , m_modifyAddress(new QPushButton(QStringLiteral("Modify Address"), this))
    , m_select(new QPushButton(QStringLiteral("Select...."), this))
    , m_create(new QPushButton(QStringLiteral("Create...."), this))
    , m_add(new QPushButton(QStringLiteral("Add Recipe"), this))
{
    setWindowTitle(QStringLiteral("Vacation"));
    SetHelpTopic(this, HelpTopic);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Reply to these messages: "), this), 0, 0);
    grid->addWidget(m_to, 0, 1);
    grid->addWidget(m_modifyAddress, 0, 2);
    auto* fileLabel = new QLabel(QStringLiteral("Response file name:"), this);
    fileLabel->setBuddy(m_file);
    grid->addWidget(fileLabel, 1, 0, 1, 3);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(m_select);
    fileRow->addWidget(m_create);
    grid->addLayout(fileRow, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    auto* version = new QGroupBox(QStringLiteral("procmail version"), this);
    auto* versionLayout = new QHBoxLayout(version);
    versionLayout->addWidget(m_new);
    versionLayout->addWidget(m_old);

    auto* days = new QGroupBox(QStringLiteral("Vacation days (optional, both days included)"), this);
    auto* daysLayout = new QGridLayout(days);
    daysLayout->addWidget(m_useFirst, 0, 0);
    daysLayout->addWidget(m_first, 0, 1);
    daysLayout->addWidget(m_useLast, 1, 0);
    daysLayout->addWidget(m_last, 1, 1);
    auto* zone = new QLabel(
        QStringLiteral("procmail checks the dates on the mail host, by the host's clock and time zone, which "
                       "may differ from this computer's.  Outside these days no reply is sent and no "
                       "sender is recorded."),
        days);
    zone->setWordWrap(true);
    daysLayout->addWidget(zone, 2, 0, 1, 2);
    daysLayout->setColumnStretch(1, 1);

    m_preview->setReadOnly(true);
    m_preview->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_preview->setObjectName(QStringLiteral("preview"));

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    m_add->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : { m_add, cancel, help })
        buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(version);
    layout->addWidget(days);
    layout->addWidget(new QLabel(QStringLiteral("The reply a sender gets:"), this));
    layout->addWidget(m_preview, 1);
    layout->addLayout(buttons);

    fillList();
    m_to->setCurrentIndex(qBound(0, GetSetting(Settings::VacationDlgToCombo), m_to->count() - 1));
    m_file->setText(GetSettingString(Settings::VacationDlgLastFilename));
    (GetSetting(Settings::VacationDlgOldVersion) != 0 ? m_old : m_new)->setChecked(true);
    setUpDay(m_useFirst, m_first, Settings::VacationDlgFirstDay);
    setUpDay(m_useLast, m_last, Settings::VacationDlgLastDay);
    updatePreview();

    connect(m_modifyAddress, &QPushButton::clicked, this, [this] {
        if (m_modifyAddressSheet && m_modifyAddressSheet()) {
            const int index = m_to->currentIndex();
            fillList();
            m_to->setCurrentIndex(index);
            updatePreview();
        }
    });
    connect(m_select, &QPushButton::clicked, this, &CVacationRecipeDlg::selectFile);
    connect(m_create, &QPushButton::clicked, this, &CVacationRecipeDlg::createFile);
    connect(m_file, &QLineEdit::textChanged, this, &CVacationRecipeDlg::updatePreview);
    connect(m_add, &QPushButton::clicked, this, &CVacationRecipeDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelpTopic(this, HelpTopic); });
}

void CVacationRecipeDlg::fillList()
{
    const QString address = GetSettingString(Settings::EmailAddress);
    m_to->clear();
    for (const QString& entry :
        { QStringLiteral("To: or Cc: %1"), QStringLiteral("TO_ %1 (using the TO_ macro)"),
            QStringLiteral("TO %1 (using the TO macro)"), QStringLiteral("To: %1") })
        m_to->addItem(entry.arg(address));
    m_to->addItem(QStringLiteral("All messages"));
    const QFontMetrics metrics(m_to->font());
    m_to->view()->setMinimumWidth(
        metrics.horizontalAdvance(m_to->itemText(1)) + metrics.horizontalAdvance(QLatin1Char('0')));
}

void CVacationRecipeDlg::selectFile()
{
    const QString path = FileDialogs::GetOpenFileName(this, QStringLiteral("Select vacation reply message"),
        Workspace::GetDocumentFolder(), QStringLiteral("Text files (*.txt);;All files (*)"));
    if (!path.isEmpty() && QFileInfo(path).isFile())
        m_file->setText(path);
}

void CVacationRecipeDlg::createFile()
{
    QString saved;
    CFileEditorDlg editor(&saved, this, GetSetting(Settings::WordWrapOn) != 0);
    if (editor.exec() == QDialog::Accepted && !saved.isEmpty())
        m_file->setText(saved);
    // The letter may have been saved again under the name already shown.
    updatePreview();
}

void CVacationRecipeDlg::updatePreview()
{
    const QString path = m_file->text();
    QFile file(path);
    if (path.isEmpty() || !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        m_preview->setPlainText(QStringLiteral("(Choose or create a response file to see the reply.)"));
        return;
    }
    QByteArray text = file.read(PreviewLimit);
    if (!file.atEnd())
        text += "\n[...]\n";
    m_preview->setPlainText(QString::fromUtf8(VacationRecipe::PreviewReply(options(path), text)));
}

VacationRecipe::Options CVacationRecipeDlg::options(const QString& responseFile) const
{
    VacationRecipe::Options o = VacationTask::OptionsFromSettings(responseFile);
    o.selection = m_to->currentIndex();
    o.oldProcmail = m_old->isChecked();
    o.firstDay = m_useFirst->isChecked() ? m_first->date() : QDate();
    o.lastDay = m_useLast->isChecked() ? m_last->date() : QDate();
    return o;
}

void CVacationRecipeDlg::focusFile()
{
    m_file->setFocus();
    m_file->selectAll();
}

bool CVacationRecipeDlg::checkResponseFile(const QString& path)
{
    if (!ResponseFile::ConfirmForUse(path)) {
        focusFile();
        return false;
    }
    updatePreview(); // a wrap may have changed the text
    return true;
}

void CVacationRecipeDlg::accept()
{
    const QString path = m_file->text();
    // The days first: the file checks may already rewrite the response file.
    const VacationRecipe::Options values = options(path);
    const QString dateProblem = VacationRecipe::CheckDates(values.firstDay, values.lastDay);
    if (!dateProblem.isEmpty()) {
        Prompt::Tell(dateProblem, QStringLiteral("Vacation days"), Prompt::Information);
        m_last->setFocus();
        return;
    }
    if (!checkResponseFile(path))
        return;
    const VacationTask::Written written = VacationTask::AddRecipe(m_recipeFile, path, values,
        [](const QString& local, const QString& remote) { AddPending(local, remote); });
    // The recipe file has told the user why it failed; OK would claim a recipe that is not there.
    if (written == VacationTask::Written::Failed)
        QDialog::reject();
    else
        QDialog::accept();
}
