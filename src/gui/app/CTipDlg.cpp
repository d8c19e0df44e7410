#include "gui/app/CTipDlg.h"

#include "core/settings/Profile.h"
#include "gui/common/CommandIds.h"
#include "gui/common/Help.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char* const Tips[16] = {
    "To begin, please hit the 'Help' button and read the Initial Setup Steps. To get help at any time, hit "
    "the F1 key.",
    "To temporarily disable all procmail filtering, select 'Disable Procmail' on the 'Tools' menu.",
    "You should always backup your mail.  To do so, on the 'Recipes' menu select 'Backup'.",
    "The position of your recipes is important.  Use the \"Position/Edit Recipes Dialog\" to reposition your "
    "recipes.  From the 'Recipes' menu select 'Position/Edit'.",
    "You can customize the display of log files.  From the 'Tools' menu select 'Options'.",
    "If you regularly edit the same text files, you can instruct ZEPH to open them at startup.  From the "
    "'Tools' menu select 'Options', then the 'Files' tab.",
    "You can create multiple identities for use with multiple accounts.  From the 'Tools' menu select "
    "'Options', then the 'Identities' tab.",
    "To see a list of files that ZEPH has uploaded to the remote host, from the 'Tools' menu select 'Remote "
    "Files & Folders'.  From there you can delete and change the permissions of those files.",
    "To send a test mail message to yourself with custom headers, from the the 'Tools' menu select 'Send "
    "E-Mail Dialog'.",
    "To share a recipe  with others that was generated via the Recipe Wizard, send them the corresponding "
    ".zeph data file.  To import a recipe (created by someone else with the Recipe Wizard) from the "
    "'Recipes' menu select 'Import'.",
    "You can customize the Download and Upload menus.  From the Download (or Upload) menu select 'Customize "
    "Menu'.",
    "To change the permissions of files and folders on the remote host, from the 'Tools' menu select 'Remote "
    "Files & Folders'.  You can also change the permissions of your $HOME directory there.",
    "To see which version of procmail is installed at your site, from the 'Help' menu select 'Procmail "
    "Version'.",
    "To customize the look of the toolbar from the 'View' menu select 'Button Toolbar' then 'Customize'.",
    "To view various manual pages as installed at your site, from the 'Help' menu select 'Man Pages'.",
    "The position of your recipes is important.  Use the \"Position/Edit Recipes Dialog\" to reposition your "
    "recipes.  From the 'Recipes' menu select 'Position/Edit'.",
};

// The commands each tip sends the user to, by the tip's index.
const QList<int> TipCommandIds[16] = {
    {},
    { Cmd::DisableProcmail },
    { Cmd::Backup },
    { Cmd::PositionEdit },
    { Cmd::Options },
    { Cmd::Options },
    { Cmd::Options },
    { Cmd::RemoteFilesFolders },
    { Cmd::SendEmailDialog },
    { Cmd::Import },
    { Cmd::CustomizeDownloadMenu, Cmd::CustomizeUploadMenu },
    { Cmd::RemoteFilesFolders },
    { Cmd::VersionView },
    { Cmd::CustomizeButtonToolbar },
    { Cmd::ManProcmail },
    { Cmd::PositionEdit },
};

} // namespace

CTipPanel::CTipPanel(QWidget* parent)
    : QWidget(parent)
{
}

void CTipPanel::SetLineLimit(int limit)
{
    if (limit >= 1 && limit <= 100)
        m_limit = limit;
}

QStringList CTipPanel::BreakIntoLines(const QString& tip, int limit)
{
    QStringList lines;
    QString line;
    int count = 0;
    const QStringList words = tip.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& word : words) {
        const int length = int(word.size()) + 1;
        // A word longer than a whole line still gets a line of its own.
        if (line.isEmpty() || count + length < limit) {
            line += word + QLatin1Char(' ');
            count += length;
            continue;
        }
        lines.append(line);
        if (lines.size() == 10)
            return lines;
        line = word + QLatin1Char(' ');
        count = length;
    }
    if (!line.isEmpty())
        lines.append(line);
    return lines;
}

void CTipPanel::SetTip(const QString& tip)
{
    m_lines = BreakIntoLines(tip, m_limit);
    update();
}

namespace {

const int BandWidth = 50;
const int TextLeft = BandWidth + 5;
const int TextTop = 38;
const int Margin = 8;

QFont bodyFont()
{
    QFont body(QStringLiteral("Arial"));
    body.setPixelSize(16);
    return body;
}

} // namespace

int CTipPanel::TextHeight(const QStringList& lines, int width) const
{
    // Each line is laid out with the font's own line spacing, and one that is still wider than
    // the panel wraps at a blank: nothing is cut off, whatever font the system substitutes.
    const QFontMetrics metrics(bodyFont());
    int height = 0;
    for (const QString& line : lines)
        height += metrics.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, line).height();
    return height;
}

int CTipPanel::RequiredHeight() const
{
    return TextTop + TextHeight(m_lines, width() - TextLeft - 5) + Margin;
}

QSize CTipPanel::sizeHint() const
{
    // Tall enough for the longest tip, so that the dialog keeps its size from tip to tip.
    const int width = 420;
    int text = 0;
    for (int i = 0; i < 16; ++i)
        text = std::max(text, TextHeight(BreakIntoLines(CTipDlg::Tip(i), m_limit), width - TextLeft - 5));
    return { width, TextTop + text + Margin };
}

void CTipPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    painter.fillRect(area, Qt::white);
    painter.fillRect(QRect(0, 0, BandWidth, area.height()), QColor(132, 130, 132));
    const QIcon icon = QApplication::windowIcon().isNull()
        ? style()->standardIcon(QStyle::SP_MessageBoxInformation)
        : QApplication::windowIcon();
    painter.drawPixmap((BandWidth - 32) / 2, 6, icon.pixmap(32, 32));
    painter.fillRect(QRect(BandWidth, 30, area.width() - BandWidth, 3), QColor(132, 130, 132));
    QFont heading(QStringLiteral("Times New Roman"));
    heading.setPixelSize(22);
    heading.setBold(true);
    painter.setFont(heading);
    painter.setPen(Qt::black);
    painter.drawText(QRect(TextLeft, 5, area.width() - TextLeft - 5, 25), Qt::AlignLeft | Qt::AlignTop,
        QStringLiteral("Did you know..."));
    painter.setFont(bodyFont());
    const int width = area.width() - TextLeft - 5;
    int top = TextTop;
    for (const QString& line : std::as_const(m_lines)) {
        const int height = TextHeight({ line }, width);
        painter.drawText(
            QRect(TextLeft, top, width, height), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, line);
        top += height;
    }
}

CTipDlg::CTipDlg(QWidget* parent, std::function<bool(int id)> available)
    : QDialog(parent)
    , m_available(std::move(available))
    , m_panel(new CTipPanel(this))
    , m_showAtStartup(new QCheckBox(QStringLiteral("Show tips at startup"), this))
{
    setWindowTitle(QStringLiteral("Tip of the day"));
    SetHelpTopic(this, QStringLiteral("intro.html"));
    m_panel->SetLineLimit(45);
    m_panel->setMinimumSize(m_panel->sizeHint());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_panel, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(m_showAtStartup);
    row->addStretch();
    auto* next = new QPushButton(QStringLiteral("&Next tip"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    next->setDefault(true);
    row->addWidget(next);
    row->addWidget(close);
    layout->addLayout(row);
    m_showAtStartup->setChecked(GetSetting(Settings::ShowTipOfDay) != 0);
    connect(next, &QPushButton::clicked, this, &CTipDlg::ShowNextTip);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    ShowNextTip();
}

QString CTipDlg::Tip(int index)
{
    return QString::fromLatin1(Tips[((index % 16) + 16) % 16]);
}

int CTipDlg::NextIndex()
{
    const int stored = GetSetting(Settings::NextTipOfDay);
    return ((stored % 16) + 16) % 16;
}

QList<int> CTipDlg::TipCommands(int index)
{
    return TipCommandIds[((index % 16) + 16) % 16];
}

void CTipDlg::ShowNextTip()
{
    // The first tip names no command, so the search always ends.
    for (int tried = 0; tried < 16; ++tried) {
        const int index = NextIndex();
        SetSetting(Settings::NextTipOfDay, (index + 1) % 16);
        const QList<int> commands = TipCommands(index);
        if (!m_available || std::all_of(commands.begin(), commands.end(), m_available)) {
            m_panel->SetTip(Tip(index));
            return;
        }
    }
}

void CTipDlg::showEvent(QShowEvent* event)
{
    // At start-up the main window may not be placed yet when the tip comes: centre on it here.
    if (QWidget* owner = parentWidget()) {
        adjustSize();
        QRect frame = frameGeometry();
        frame.moveCenter(owner->window()->frameGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}

void CTipDlg::done(int result)
{
    SetSetting(Settings::ShowTipOfDay, m_showAtStartup->isChecked() ? 1 : 0);
    QDialog::done(result);
}
