#include "gui/settings/FileEdit.h"

#include "gui/common/CFileEditorDlg.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace {

struct Stamp
{
    QDateTime time;
    QByteArray bytes;
    bool operator==(const Stamp&) const = default;
};

Stamp stampOf(const QString& path)
{
    QFile file(path);
    Stamp stamp { QFileInfo(path).lastModified(), QByteArray() };
    if (file.open(QIODevice::ReadOnly))
        stamp.bytes = file.readAll();
    return stamp;
}

} // namespace

bool EditLocalFile(const QString& path, QWidget* parent)
{
    // The bytes count too: two saves within the clock's resolution keep the same time.
    const Stamp before = stampOf(path);
    CFileEditorDlg editor(path, parent, false);
    editor.exec();
    return !(stampOf(path) == before);
}
