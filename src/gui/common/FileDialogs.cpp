#include "gui/common/FileDialogs.h"

#include <QFileDialog>
#include <QStringList>

namespace {
QStringList& queue()
{
    static QStringList answers;
    return answers;
}
} // namespace

namespace FileDialogs {

QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter)
{
    if (!queue().isEmpty())
        return queue().takeFirst();
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString GetSaveFileName(
    QWidget* parent, const QString& caption, const QString& suggestedPath, const QString& filter)
{
    if (!queue().isEmpty())
        return queue().takeFirst();
    return QFileDialog::getSaveFileName(parent, caption, suggestedPath, filter);
}

QString GetExistingDirectory(QWidget* parent, const QString& caption, const QString& folder)
{
    if (!queue().isEmpty())
        return queue().takeFirst();
    return QFileDialog::getExistingDirectory(parent, caption, folder);
}

void QueueAnswer(const QString& path)
{
    queue().append(path);
}

void ClearQueue()
{
    queue().clear();
}

} // namespace FileDialogs
