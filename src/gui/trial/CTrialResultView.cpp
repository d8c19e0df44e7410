#include "gui/trial/CTrialResultView.h"

#include "gui/common/CTextViewerDlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QTreeWidget* MakeList(const QStringList& columns, QWidget* parent, const QString& name)
{
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setRootIsDecorated(false);
    list->setHeaderLabels(columns);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->header()->setStretchLastSection(true);
    return list;
}

QString SizeText(qint64 bytes)
{
    return bytes == 1 ? QStringLiteral("1 byte") : QStringLiteral("%1 bytes").arg(bytes);
}

// How a recipe is named in the list: its name, or its first line for lines outside any recipe.
QString DisplayName(const CRecipeListEntry& entry)
{
    if (!entry.unparsed)
        return QString::fromUtf8(entry.name);
    // The first line after the generated begin line: what the user wrote there.
    const QList<QByteArray> lines = entry.text.split('\n');
    const QByteArray first = lines.size() > 1 ? lines[1].trimmed() : QByteArray();
    return QStringLiteral("Lines outside any recipe: %1").arg(QString::fromUtf8(first));
}

QString StateText(const CRecipeListEntry& entry, bool matched, bool unknown)
{
    if (entry.disabled)
        return QStringLiteral("Switched off");
    if (unknown)
        return QStringLiteral("Unknown");
    return matched ? QStringLiteral("Matched") : QStringLiteral("Not matched");
}

} // namespace

CTrialResultView::CTrialResultView(QWidget* parent)
    : QWidget(parent)
    , m_note(new QLabel(this))
    , m_recipes(
          MakeList({ QStringLiteral("Recipe"), QStringLiteral("Result") }, this, QStringLiteral("recipes")))
    , m_deliveries(
          MakeList({ QStringLiteral("Folder"), QStringLiteral("Size"), QStringLiteral("Changes on the way") },
              this, QStringLiteral("deliveries")))
    , m_sent(MakeList({ QStringLiteral("To"), QStringLiteral("Subject") }, this, QStringLiteral("sent")))
    , m_viewSent(new QPushButton(QStringLiteral("&View Text..."), this))
    , m_complaints(new QPlainTextEdit(this))
{
    m_note->setObjectName(QStringLiteral("note"));
    m_note->setWordWrap(true);
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_viewSent->setObjectName(QStringLiteral("viewSent"));
    m_viewSent->setEnabled(false);
    m_complaints->setObjectName(QStringLiteral("complaints"));
    m_complaints->setReadOnly(true);
    m_complaints->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_complaints->setMaximumHeight(90);
    m_deliveries->setMaximumHeight(80);
    m_sent->setMaximumHeight(90);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_note);
    layout->addWidget(new QLabel(QStringLiteral("Recipes, in the order procmail reads them:"), this));
    layout->addWidget(m_recipes, 1);
    layout->addWidget(new QLabel(QStringLiteral("Where the message lands:"), this));
    layout->addWidget(m_deliveries);
    layout->addWidget(new QLabel(QStringLiteral("Mail that would be sent (nothing is sent):"), this));
    auto* sentRow = new QHBoxLayout;
    sentRow->addWidget(m_sent, 1);
    sentRow->addWidget(m_viewSent, 0, Qt::AlignTop);
    layout->addLayout(sentRow);
    layout->addWidget(new QLabel(QStringLiteral("What procmail said about the recipes:"), this));
    layout->addWidget(m_complaints);

    connect(m_sent, &QTreeWidget::itemSelectionChanged, this,
        [this] { m_viewSent->setEnabled(!m_sent->selectedItems().isEmpty()); });
    connect(m_sent, &QTreeWidget::itemDoubleClicked, this, &CTrialResultView::ViewSelectedMail);
    connect(m_viewSent, &QPushButton::clicked, this, &CTrialResultView::ViewSelectedMail);
}

void CTrialResultView::SetEntries(const QList<CRecipeListEntry>& entries)
{
    m_entries = entries;
    m_recipes->clear();
    for (const CRecipeListEntry& entry : entries) {
        auto* item = new QTreeWidgetItem(m_recipes, { DisplayName(entry), QString() });
        item->setToolTip(0, QString::fromUtf8(entry.text));
    }
    m_recipes->resizeColumnToContents(0);
}

void CTrialResultView::ShowNote(const QString& text)
{
    for (int i = 0; i < m_recipes->topLevelItemCount(); ++i)
        m_recipes->topLevelItem(i)->setText(1, QString());
    m_deliveries->clear();
    m_sent->clear();
    m_sentTexts.clear();
    m_complaints->clear();
    m_note->setText(text);
}

void CTrialResultView::ShowOutcome(const CTrialWorker::Outcome& outcome)
{
    if (!outcome.ok) {
        ShowNote(outcome.error);
        return;
    }
    const CTrialRun::Result& result = outcome.result;
    // What limited the run (no namespaces: recipes that run programs were left out).
    ShowNote(result.note);
    const QSet<QByteArray> matched(result.matched.cbegin(), result.matched.cend());
    for (int i = 0; i < m_entries.size() && i < m_recipes->topLevelItemCount(); ++i) {
        const CRecipeListEntry& entry = m_entries[i];
        m_recipes->topLevelItem(i)->setText(
            1, StateText(entry, matched.contains(entry.name), m_unknown.contains(entry.name)));
    }
    for (const CTrialRun::Delivery& delivery : result.deliveries)
        new QTreeWidgetItem(m_deliveries,
            { delivery.folder, SizeText(delivery.bytes), delivery.changes.join(QStringLiteral("; ")) });
    if (result.deliveries.isEmpty())
        new QTreeWidgetItem(m_deliveries, { QStringLiteral("(none)") });
    for (const CTrialRun::SentMail& mail : result.sent) {
        new QTreeWidgetItem(m_sent, { mail.to.join(QStringLiteral(", ")), mail.subject });
        m_sentTexts << mail.text;
    }
    m_complaints->setPlainText(result.errors.join(QLatin1Char('\n')));
}

void CTrialResultView::ViewSelectedMail()
{
    const int row = m_sent->indexOfTopLevelItem(m_sent->currentItem());
    if (row < 0 || row >= m_sentTexts.size())
        return;
    CTextViewerDlg viewer(QString::fromUtf8(m_sentTexts[row]), QStringLiteral("Mail that would be sent"),
        window(), QStringLiteral("Mail that would be sent"), true, 1.0);
    viewer.exec();
}
