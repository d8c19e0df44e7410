#include "gui/common/COptPropSheet.h"

#include "gui/common/Help.h"

#include <QDialogButtonBox>
#include <QMap>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

struct Registration
{
    QString tabText;
    COptPropSheet::PageFactory factory;
};

QMap<int, Registration>& registrations()
{
    static QMap<int, Registration> pages;
    return pages;
}

} // namespace

void COptPropSheet::RegisterPage(int index, const QString& tabText, PageFactory factory)
{
    registrations().insert(index, { tabText, std::move(factory) });
}

COptPropSheet::COptPropSheet(const QString& caption, QWidget* parent, int firstPage, bool withApply)
    : QDialog(parent)
    , m_tabs(new QTabWidget(this))
{
    setWindowTitle(caption);
    for (auto it = registrations().cbegin(); it != registrations().cend(); ++it) {
        Page page = it->factory(this);
        if (!page.widget)
            continue;
        m_tabs->addTab(page.widget, it->tabText);
        if (!page.helpTopic.isEmpty())
            SetHelpTopic(page.widget, page.helpTopic);
        if (it.key() == firstPage)
            m_tabs->setCurrentWidget(page.widget);
        m_pages.append({ it.key(), page });
    }
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    if (withApply) {
        m_apply = buttons->addButton(QDialogButtonBox::Apply);
        connect(m_apply, &QPushButton::clicked, this, &COptPropSheet::ApplyAll);
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [this] {
        QString topic = HelpTopic();
        for (const Shown& shown : std::as_const(m_pages)) {
            if (shown.page.widget == m_tabs->currentWidget() && !shown.page.helpTopic.isEmpty())
                topic = shown.page.helpTopic;
        }
        ShowHelpTopic(this, topic);
    });
    SetHelpTopic(this, HelpTopic());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
}

QWidget* COptPropSheet::PageWidget(int index) const
{
    for (const Shown& shown : m_pages) {
        if (shown.index == index)
            return shown.page.widget;
    }
    return nullptr;
}

bool COptPropSheet::ApplyAll()
{
    for (const Shown& shown : std::as_const(m_pages)) {
        if (shown.page.apply && !shown.page.apply()) {
            m_tabs->setCurrentWidget(shown.page.widget);
            return false;
        }
    }
    return true;
}

void COptPropSheet::accept()
{
    if (ApplyAll())
        QDialog::accept();
}
