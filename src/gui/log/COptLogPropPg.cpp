#include "gui/log/COptLogPropPg.h"

#include "core/settings/Profile.h"
#include "core/settings/SettingsTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

COptLogPropPg::COptLogPropPg(QWidget* parent)
    : QWidget(parent)
    , m_fitColumns(new QRadioButton(QStringLiteral("Size columns to fit data"), this))
    , m_savedColumns(new QRadioButton(QStringLiteral("Use previous column sizes"), this))
    , m_alwaysText(new QCheckBox(QStringLiteral("Always open log as text file"), this))
    , m_gridLines(new QCheckBox(QStringLiteral("Show gridlines"), this))
    , m_tooltips(new QCheckBox(QStringLiteral("Show tooltips"), this))
    , m_deleteRemote(new QCheckBox(QStringLiteral("Delete remote log after download"), this))
    , m_warn(new QCheckBox(QStringLiteral("Every"), this))
    , m_warnDays(new QSpinBox(this))
    , m_format(new QComboBox(this))
    , m_separator(new QLineEdit(this))
    , m_example(new QLabel(this))
{
    setObjectName(QStringLiteral("COptLogPropPg"));
    (GetSetting(Settings::LogUseSavedColSizes) == 1 ? m_savedColumns : m_fitColumns)->setChecked(true);
    m_alwaysText->setChecked(GetSetting(Settings::LogAlwaysOpenAsText) != 0);
    m_gridLines->setChecked(GetSetting(Settings::LogShowGridlines) != 0);
    m_tooltips->setChecked(GetSetting(Settings::LogShowTooltips) != 0);
    m_deleteRemote->setChecked(GetSetting(Settings::DeleteLogAfterDownload) != 0);
    m_warn->setChecked(GetSetting(Settings::WarnDownloadLog) != 0);
    m_warnDays->setRange(0, 999);
    m_warnDays->setValue(qBound(0, GetSetting(Settings::WarnDays), 999));
    m_format->addItems({ QStringLiteral("Month - Day - Year"), QStringLiteral("Day - Month - Year"),
        QStringLiteral("Year - Month - Day") });
    const int format = GetSetting(Settings::LogDateFormat);
    m_format->setCurrentIndex(format >= 0 && format <= 2 ? format : 0);
    m_separator->setMaxLength(1);
    m_separator->setText(GetSettingString(Settings::LogDateSeparator).left(1));

    connect(m_gridLines, &QCheckBox::clicked, this, [this] { m_gridClicked = true; });
    connect(m_fitColumns, &QRadioButton::clicked, this, [this] { m_sizingClicked = true; });
    connect(m_savedColumns, &QRadioButton::clicked, this, [this] { m_sizingClicked = true; });
    connect(m_format, &QComboBox::currentIndexChanged, this, &COptLogPropPg::UpdateExample);
    connect(m_separator, &QLineEdit::textChanged, this, &COptLogPropPg::UpdateExample);
    connect(m_warn, &QCheckBox::toggled, m_warnDays, &QWidget::setEnabled);
    m_warnDays->setEnabled(m_warn->isChecked());

    auto* columns = new QGroupBox(QStringLiteral("Columns"), this);
    auto* columnsLayout = new QVBoxLayout(columns);
    columnsLayout->addWidget(m_fitColumns);
    columnsLayout->addWidget(m_savedColumns);

    auto* warnRow = new QHBoxLayout;
    warnRow->addWidget(m_warn);
    warnRow->addWidget(m_warnDays);
    warnRow->addWidget(new QLabel(QStringLiteral("days, warn if log hasn't been downloaded"), this));
    warnRow->addStretch();

    auto* dates = new QGroupBox(QStringLiteral("Dates"), this);
    auto* datesLayout = new QFormLayout(dates);
    datesLayout->addRow(QStringLiteral("Format"), m_format);
    datesLayout->addRow(QStringLiteral("Separator"), m_separator);
    datesLayout->addRow(m_example);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(columns);
    layout->addWidget(m_alwaysText);
    layout->addWidget(m_gridLines);
    layout->addWidget(m_tooltips);
    layout->addWidget(m_deleteRemote);
    layout->addLayout(warnRow);
    layout->addWidget(dates);
    layout->addStretch();
    UpdateExample();
}

QString COptLogPropPg::ExampleText(int format, const QString& separator)
{
    switch (format) {
    case 0:
        return QStringLiteral("12") + separator + QStringLiteral("01") + separator + QStringLiteral("07");
    case 1:
        return QStringLiteral("01") + separator + QStringLiteral("12") + separator + QStringLiteral("07");
    case 2:
        return QStringLiteral("07") + separator + QStringLiteral("12") + separator + QStringLiteral("01");
    default:
        return QStringLiteral("Unexpected error!");
    }
}

void COptLogPropPg::UpdateExample()
{
    const QString separator = m_separator->text();
    m_example->setVisible(separator.size() == 1);
    m_example->setText(QStringLiteral("The first of December, 2007 will appear as:\n")
        + ExampleText(m_format->currentIndex(), separator));
}

COptLogPropPg::Changes COptLogPropPg::Apply()
{
    SetSetting(Settings::LogUseSavedColSizes, m_savedColumns->isChecked() ? 1 : 0);
    SetSetting(Settings::LogAlwaysOpenAsText, m_alwaysText->isChecked() ? 1 : 0);
    SetSetting(Settings::LogShowGridlines, m_gridLines->isChecked() ? 1 : 0);
    SetSetting(Settings::LogShowTooltips, m_tooltips->isChecked() ? 1 : 0);
    SetSetting(Settings::DeleteLogAfterDownload, m_deleteRemote->isChecked() ? 1 : 0);
    SetSetting(Settings::WarnDownloadLog, m_warn->isChecked() ? 1 : 0);
    SetSetting(Settings::WarnDays, m_warnDays->value());
    SetSetting(Settings::LogDateFormat, m_format->currentIndex());
    SetSetting(Settings::LogDateSeparator, m_separator->text());
    Changes changes;
    changes.gridLinesClicked = m_gridClicked;
    changes.columnSizingClicked = m_sizingClicked;
    return changes;
}
