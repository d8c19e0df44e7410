// The recipe file: the user may have edited it by hand, another program may have written it, and
// it comes back from the host. The list parse, the recipe-name reader and Locate read it; a list
// written back and read again must hold the same recipes.
#include "FuzzSupport.h"
#include "core/recipes/CRecipeFile.h"

#include <QFile>

namespace {

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text = FuzzSupport::Bytes(data, size);
    QList<CRecipeListEntry> list;
    QList<QByteArray> groups;
    FuzzSupport::Check(CRecipeFile::ParseRecipeText(text, &list, &groups), "the list parse failed");
    const QList<QByteArray> names = CRecipeFile::ReadRecipeNames(text);

    // Every named block of the list is among the names the reader finds, in the same order.
    qsizetype at = 0;
    for (const CRecipeListEntry& entry : list) {
        FuzzSupport::Check(
            entry.text.endsWith('\n'), "an entry's text does not end its last line", entry.text);
        FuzzSupport::Check(entry.disabled == CRecipeFile::IsDisabledText(entry.text),
            "an entry's disabled flag does not match its text", entry.text);
        if (entry.unparsed || entry.name.isEmpty())
            continue;
        while (at < names.size() && names.at(at) != entry.name)
            ++at;
        FuzzSupport::Check(at < names.size(), "a recipe of the list is missing from the names", entry.name);
        ++at;
    }

    // Written back and read again: the same recipes, the wrapped outside lines now as blocks.
    const QString path = FuzzSupport::ScratchPath(QStringLiteral("recipes"));
    QString error;
    FuzzSupport::Check(CRecipeFile::WriteRecipeList(path, list, &error), "writing the list failed");
    QList<CRecipeListEntry> again;
    FuzzSupport::Check(
        CRecipeFile::ParseRecipeList(path, &again, &groups, {}, &error), "reading the list failed");
    FuzzSupport::Check(again.size() == list.size(), "the list written back has another length");
    for (qsizetype i = 0; i < list.size(); ++i) {
        const CRecipeListEntry& before = list.at(i);
        const CRecipeListEntry& after = again.at(i);
        FuzzSupport::Check(after.name == before.name && after.text == before.text
                && after.disabled == before.disabled && !after.unparsed,
            "an entry changed when the list was written back", before.text);
    }

    // Locate on the file as it came, for the first few names found and one that is not there.
    FuzzSupport::Check(WriteFile(path, text), "writing the scratch file failed");
    CRecipeFile file(path);
    QList<QByteArray> wanted = names.mid(0, 4);
    wanted.append("no such recipe");
    for (const QByteArray& name : wanted) {
        int begin = 0, end = 0;
        if (file.Locate(name, &begin, &end) == CRecipeFile::LocateFound)
            FuzzSupport::Check(begin >= 1 && begin <= end, "Locate found the end before the beginning");
    }
    return 0;
}
