#include "gui/common/CDocumentWindow.h"

#include "core/common/Prompt.h"

#include <QApplication>
#include <QFileInfo>
#include <QStyle>

CDocumentWindow::CDocumentWindow(DocumentKind kind, QWidget* parent)
    : QWidget(parent)
    , m_kind(kind)
{
}

bool CDocumentWindow::QueryClose()
{
    if (!IsModified())
        return true;
    QString name = Path().isEmpty() ? Title() : QFileInfo(Path()).fileName();
    if (name.endsWith(QLatin1String(" *")))
        name.chop(2);
    const Prompt::Button answer = Prompt::Ask(QStringLiteral("Save changes to %1?").arg(name),
        QStringLiteral("ZEPH"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel, Prompt::Yes);
    if (answer == Prompt::Cancel)
        return false;
    if (answer == Prompt::Yes)
        return Save();
    DiscardChanges();
    return true;
}

QIcon CDocumentWindow::Icon() const
{
    return QApplication::style()->standardIcon(QStyle::SP_FileIcon);
}

bool CDocumentWindow::HasCommand(int) const
{
    return false;
}

bool CDocumentWindow::IsCommandEnabled(int) const
{
    return true;
}

bool CDocumentWindow::IsCommandChecked(int) const
{
    return false;
}

void CDocumentWindow::RunCommand(int) { }
