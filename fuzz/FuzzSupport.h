#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

class CRecipeDefinition;
class Serializable;
struct RecipeTextSettings;

// What every harness shares. A failed check aborts, so that libFuzzer keeps the input that broke
// the property just like one that crashed.
namespace FuzzSupport {

// Once per process: message boxes answer with their default button and show nothing, the clock
// stands still (so a record stored twice gives the same bytes), and HOME with the XDG folders
// points into a throwaway folder so that nothing reaches the real user's files.
void Init();

inline QByteArray Bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// A file name in the throwaway folder (on tmpfs when the machine has one).
QString ScratchPath(const QString& name);

[[noreturn]] void Fail(const char* what, const QByteArray& detail = QByteArray());
inline void Check(bool holds, const char* what, const QByteArray& detail = QByteArray())
{
    if (!holds)
        Fail(what, detail);
}

// The data-file bytes of a record, as the program stores them.
QByteArray Stored(const Serializable& record);

// A definition that passed Validate must give its recipe text, summary and block without a NUL,
// and the block must read back from a recipe file as exactly that one recipe, enabled, and
// disabled again after DisableRecipeText.
void CheckBuilds(const CRecipeDefinition& definition, const RecipeTextSettings& settings);

} // namespace FuzzSupport
