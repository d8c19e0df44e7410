#include "gui/log/CLogOptionsSheet.h"

#include "gui/common/Help.h"
#include "gui/log/CLogDisplayView.h"
#include "gui/log/COptColorPropPg.h"
#include "gui/log/COptLogPropPg.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

CLogOptionsSheet::CLogOptionsSheet(QWidget* parent)
    : QDialog(parent)
    , m_tabs(new QTabWidget(this))
    , m_logPage(new COptLogPropPg(this))
    , m_colourPage(new COptColorPropPg(this))
{
    setWindowTitle(QStringLiteral("Options"));
    m_tabs->addTab(m_logPage, QStringLiteral("Log files"));
    m_tabs->addTab(m_colourPage, QStringLiteral("Log colors"));
    m_tabs->setCurrentIndex(0);
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [this] {
        ShowHelpTopic(this,
            m_tabs->currentWidget() == m_colourPage ? COptColorPropPg::HelpTopic()
                                                    : COptLogPropPg::HelpTopic());
    });
    SetHelpTopic(m_logPage, COptLogPropPg::HelpTopic());
    SetHelpTopic(m_colourPage, COptColorPropPg::HelpTopic());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
}

void CLogOptionsSheet::accept()
{
    const COptLogPropPg::Changes changes = m_logPage->Apply();
    const bool coloursChanged = m_colourPage->Apply();
    CLogDisplayView::OptionsChanged(changes.gridLinesClicked, changes.columnSizingClicked, coloursChanged);
    QDialog::accept();
}
