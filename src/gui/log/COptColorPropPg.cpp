#include "gui/log/COptColorPropPg.h"

#include "core/log/CLogColourRules.h"
#include "core/log/CLogEntry.h"
#include "core/settings/Profile.h"
#include "core/settings/SettingsTable.h"
#include "gui/common/CColourPopup.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QColor toColor(quint32 colour, const QWidget* widget)
{
    if (colour == CLogEntry::AutomaticColour)
        return widget->palette().color(QPalette::WindowText);
    return QColor((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

QIcon swatch(const QColor& color)
{
    QPixmap pixmap(32, 14);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::gray);
    painter.drawRect(0, 0, 31, 13);
    return QIcon(pixmap);
}

} // namespace

COptColorPropPg::COptColorPropPg(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("COptColorPropPg"));
    auto* intro = new QLabel(
        QStringLiteral("If the field selected in the left box contains the text specified in the "
                       "middle box, the text of the log entry will be the color selected on the "
                       "right button."),
        this);
    intro->setWordWrap(true);
    auto* grid = new QGridLayout;
    for (int n = 1; n <= Settings::LogColourRuleCount; ++n) {
        Row row;
        row.field = new QComboBox(this);
        row.field->addItems(
            { QStringLiteral("Envelope From"), QStringLiteral("Folder"), QStringLiteral("From"),
                QStringLiteral("Recipe Name"), QStringLiteral("Subject"), QStringLiteral("To") });
        row.text = new QLineEdit(this);
        row.button = new QToolButton(this);
        row.button->setAccessibleName(QStringLiteral("Colour of rule %1").arg(n));
        const QString rule = QString::number(n);
        row.openedField = GetSetting({ Settings::LogColourRuleField, rule });
        row.field->setCurrentIndex(row.openedField >= 0 && row.openedField < 6 ? row.openedField : -1);
        row.openedField = row.field->currentIndex();
        row.openedText = GetSettingString({ Settings::LogColourRuleText, rule });
        row.text->setText(row.openedText);
        const int stored = GetSetting({ Settings::LogColourRuleColour, rule });
        row.openedColour = stored == -1 ? CLogEntry::AutomaticColour : static_cast<quint32>(stored);
        row.colour = row.openedColour;
        grid->addWidget(row.field, n - 1, 0);
        grid->addWidget(row.text, n - 1, 1);
        grid->addWidget(row.button, n - 1, 2);
        m_rows.append(row);
        const int index = n - 1;
        connect(row.button, &QToolButton::clicked, this, [this, index] { ChooseColour(index); });
    }
    for (int i = 0; i < m_rows.size(); ++i)
        SetRowColour(i, m_rows[i].colour);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(grid);
    layout->addStretch();
}

void COptColorPropPg::SetRowColour(int row, quint32 colour)
{
    m_rows[row].colour = colour;
    m_rows[row].button->setIcon(swatch(toColor(colour, this)));
    m_rows[row].button->setToolTip(
        colour == CLogEntry::AutomaticColour ? QStringLiteral("Automatic") : toColor(colour, this).name());
}

void COptColorPropPg::ChooseColour(int row)
{
    QToolButton* button = m_rows[row].button;
    auto* popup = new CColourPopup(button->mapToGlobal(QPoint(0, button->height())), m_rows[row].colour,
        QStringLiteral("Automatic"), QStringLiteral("More Colors..."), this);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    connect(popup, &CColourPopup::ColourAccepted, this,
        [this, row](quint32 colour) { SetRowColour(row, colour); });
    popup->show();
}

bool COptColorPropPg::Apply()
{
    bool changed = false;
    for (int i = 0; i < m_rows.size(); ++i) {
        const Row& row = m_rows[i];
        const QString rule = QString::number(i + 1);
        SetSetting({ Settings::LogColourRuleText, rule },
            row.text->text().isNull() ? QStringLiteral("") : row.text->text());
        SetSetting({ Settings::LogColourRuleField, rule }, row.field->currentIndex());
        SetSetting({ Settings::LogColourRuleColour, rule }, static_cast<int>(row.colour));
        changed = changed || row.text->text() != row.openedText
            || row.field->currentIndex() != row.openedField || row.colour != row.openedColour;
    }
    return changed;
}
