#include "gui/app/CTipDlg.h"

#include "core/settings/Profile.h"
#include "gui/common/Help.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

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

QSize CTipPanel::sizeHint() const
{
    return { 420, 38 + 16 * 10 + 8 };
}

void CTipPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    painter.fillRect(area, Qt::white);
    painter.fillRect(QRect(0, 0, 50, area.height()), QColor(132, 130, 132));
    const QIcon icon = QApplication::windowIcon().isNull()
        ? style()->standardIcon(QStyle::SP_MessageBoxInformation)
        : QApplication::windowIcon();
    painter.drawPixmap((50 - 32) / 2, 6, icon.pixmap(32, 32));
    painter.fillRect(QRect(50, 30, area.width() - 50, 3), QColor(132, 130, 132));
    QFont heading(QStringLiteral("Times New Roman"));
    heading.setPixelSize(22);
    heading.setBold(true);
    painter.setFont(heading);
    painter.setPen(Qt::black);
    painter.drawText(
        QRect(55, 5, area.width() - 60, 25), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Did you know..."));
    QFont body(QStringLiteral("Arial"));
    body.setPixelSize(16);
    painter.setFont(body);
    painter.setClipRect(QRect(55, 34, area.width() - 60, area.height() - 34));
    for (int i = 0; i < m_lines.size(); ++i)
        painter.drawText(
            QRect(55, 38 + 16 * i, area.width() - 60, 16), Qt::AlignLeft | Qt::AlignTop, m_lines[i]);
}

CTipDlg::CTipDlg(QWidget* parent)
    : QDialog(parent)
    , m_panel(new CTipPanel(this))
    , m_showAtStartup(new QCheckBox(QStringLiteral("Show tips at startup"), this))
{
    setWindowTitle(QStringLiteral("Tip of the day"));
    SetHelpTopic(this, QStringLiteral("intro.html"));
    m_panel->SetLineLimit(45);
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

void CTipDlg::ShowNextTip()
{
    const int index = NextIndex();
    m_panel->SetTip(Tip(index));
    SetSetting(Settings::NextTipOfDay, (index + 1) % 16);
}

void CTipDlg::done(int result)
{
    SetSetting(Settings::ShowTipOfDay, m_showAtStartup->isChecked() ? 1 : 0);
    QDialog::done(result);
}
