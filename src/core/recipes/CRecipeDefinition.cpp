#include "core/recipes/CRecipeDefinition.h"

#include "core/common/Prompt.h"
#include "core/settings/CArchive.h"
#include "core/settings/CProtectedFile.h"
#include "core/settings/CRandom.h"
#include "core/settings/ProtectedKeys.h"
#include "core/workspace/Workspace.h"

#include <initializer_list>
#include <type_traits>

const char CRecipeDefinition::Magic[] = "ZEPH Recipe Wizard file";

namespace {

unsigned Of(std::initializer_list<int> types)
{
    unsigned bits = 0;
    for (int type : types)
        bits |= 1u << type;
    return bits;
}

// Values of its own type survive the reset that storing an action begins with.
CActionDetails OwnValues(int type, const CActionDetails& from)
{
    CActionDetails d;
    for (const CActionDetailField& f : CRecipeDefinition::DetailFields()) {
        if (!f.UsedBy(type))
            continue;
        if (f.number)
            d.*f.number = from.*f.number;
        else
            d.*f.text = from.*f.text;
    }
    return d;
}

// Multi-line values hold CR LF between lines. A file may carry lone CR or LF (the builders read
// them as line breaks too); the definition keeps one form so that it exports and imports as it
// was loaded.
QByteArray UnifyLineBreaks(const QByteArray& text)
{
    QByteArray unified = text;
    unified.replace("\r\n", "\n");
    unified.replace('\r', '\n');
    unified.replace("\n", "\r\n");
    return unified;
}

QString BadFormat(const QString& detail)
{
    return QStringLiteral("The recipe data file has a bad format: %1").arg(detail);
}

void WriteItem(CArchive& archive, qint32 value)
{
    archive.WriteInt32(value);
}

void WriteItem(CArchive& archive, const QByteArray& value)
{
    archive.WriteString(value);
}

bool ReadItem(CArchive& archive, qint32* value)
{
    return archive.ReadInt32(value);
}

bool ReadItem(CArchive& archive, QByteArray* value)
{
    return archive.ReadString(value);
}

// A count, then the items: integers of four bytes or strings of at least one.
template <typename Value> void WriteList(CArchive& archive, const QList<Value>& list)
{
    archive.WriteCount(static_cast<quint32>(list.size()));
    for (const Value& v : list)
        WriteItem(archive, v);
}

template <typename Value> bool ReadList(CArchive& archive, QList<Value>* list)
{
    constexpr quint32 smallestItem = std::is_same_v<Value, qint32> ? 4 : 1;
    quint32 count = 0;
    if (!archive.ReadItemCount(&count, smallestItem))
        return false;
    list->clear();
    list->reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        Value v {};
        if (!ReadItem(archive, &v))
            return false;
        list->append(v);
    }
    return true;
}

// One member of every item, in item order: a list as the recipe data file stores it.
template <typename Item, typename Value> QList<Value> Column(const QList<Item>& items, Value Item::*member)
{
    QList<Value> list;
    list.reserve(items.size());
    for (const Item& item : items)
        list.append(item.*member);
    return list;
}

// The reverse: `values` (as long as `items`) go into the member of every item.
template <typename Item, typename Value>
void Fill(QList<Item>* items, Value Item::*member, const QList<Value>& values)
{
    for (qsizetype i = 0; i < items->size(); ++i)
        (*items)[i].*member = values.at(i);
}

bool ReadSchema(CArchive& archive, const char* section)
{
    quint32 schema = 0;
    if (!archive.ReadDword(&schema))
        return false;
    if (schema != CRecipeDefinition::SectionSchema)
        return archive.Fail(BadFormat(QStringLiteral("the %1 section has the unknown schema %2.")
                                          .arg(QLatin1String(section))
                                          .arg(schema)));
    quint32 position = 0; // where the page stood; the wizard always starts at the first item
    return archive.ReadDword(&position);
}

} // namespace

const QList<CActionDetailField>& CRecipeDefinition::DetailFields()
{
    using F = CActionDetailField;
    using D = CActionDetails;
    const unsigned body = Of({ ActionModifyBody });
    const unsigned reply = Of({ ActionReply });
    // Counts stop one short of the largest number: the generator adds one to the bottom count.
    static const QList<CActionDetailField> fields = {
        { .name = "mailboxMode",
            .kind = F::Number,
            .number = &D::mailboxMode,
            .owners = Of({ ActionSave }),
            .high = 1 },
        { .name = "exitCode",
            .kind = F::Number,
            .number = &D::exitCode,
            .owners = Of({ ActionExitCode }),
            .low = -2147483647 - 1,
            .high = 2147483647 },
        { .name = "forwardAddresses",
            .kind = F::Lines,
            .text = &D::forwardAddresses,
            .owners = Of({ ActionForward }),
            .label = "forward addresses" },
        { .name = "customMailbox",
            .kind = F::Text,
            .text = &D::customMailbox,
            .owners = Of({ ActionSave }),
            .label = "custom mailbox" },
        { .name = "headerName",
            .kind = F::Text,
            .text = &D::headerName,
            .owners = Of({ ActionAddHeader }),
            .label = "header name" },
        { .name = "headerValue",
            .kind = F::Text,
            .text = &D::headerValue,
            .owners = Of({ ActionAddHeader }),
            .label = "header value" },
        { .name = "headerToRemove",
            .kind = F::Text,
            .text = &D::headerToRemove,
            .owners = Of({ ActionRemoveHeader }),
            .label = "header to remove" },
        { .name = "addSubject",
            .kind = F::Text,
            .text = &D::addSubject,
            .owners = Of({ ActionAddSubject }),
            .label = "string to add to the Subject" },
        { .name = "removeSubject",
            .kind = F::Text,
            .text = &D::removeSubject,
            .owners = Of({ ActionRemoveSubject }),
            .label = "string to remove from the Subject" },
        { .name = "removeBetween", .kind = F::Flag, .number = &D::removeBetween, .owners = body },
        { .name = "betweenTop",
            .kind = F::Text,
            .text = &D::betweenTop,
            .owners = body,
            .label = "between top line" },
        { .name = "betweenBottom",
            .kind = F::Text,
            .text = &D::betweenBottom,
            .owners = body,
            .label = "between bottom line" },
        { .name = "topMode", .kind = F::Number, .number = &D::topMode, .owners = body, .high = 2 },
        { .name = "topCount", .kind = F::Number, .number = &D::topCount, .owners = body, .high = 2147483646 },
        { .name = "topLine", .kind = F::Text, .text = &D::topLine, .owners = body, .label = "top line" },
        { .name = "bottomMode", .kind = F::Number, .number = &D::bottomMode, .owners = body, .high = 2 },
        { .name = "bottomCount",
            .kind = F::Number,
            .number = &D::bottomCount,
            .owners = body,
            .high = 2147483646 },
        { .name = "bottomLine",
            .kind = F::Text,
            .text = &D::bottomLine,
            .owners = body,
            .label = "bottom line" },
        { .name = "responseFile",
            .kind = F::Text,
            .text = &D::responseFile,
            .owners = reply,
            .label = "response file" },
        { .name = "includeBody", .kind = F::Flag, .number = &D::includeBody, .owners = reply },
        { .name = "includeHeaders", .kind = F::Flag, .number = &D::includeHeaders, .owners = reply },
        { .name = "reserved", .kind = F::Number, .number = &D::reserved },
        { .name = "responseAtTop", .kind = F::Flag, .number = &D::responseAtTop, .owners = reply },
        { .name = "copy",
            .kind = F::Flag,
            .number = &D::copy,
            .owners = Of({ ActionForward, ActionReply, ActionSave }) },
        { .name = "anotherAction", .kind = F::Flag, .number = &D::anotherAction },
    };
    return fields;
}

QByteArray CRecipeCondition::HeaderName() const
{
    static const char* const headers[]
        = { nullptr, "Cc:", "From:", "Sender:", "Subject:", "Received:", "Reply-To:" };
    switch (field) {
    case To:
        switch (toKind) {
        case ToHeader:
            return "To:";
        case ToMacro:
            return "TO";
        case ToUnderscoreMacro:
            return "TO_";
        default:
            return QByteArray();
        }
    case Cc:
    case From:
    case Sender:
    case Subject:
    case Received:
    case ReplyTo:
        return headers[field];
    case CustomHeader:
        return customHeader;
    default:
        return QByteArray();
    }
}

bool CRecipeDefinition::StartsOrGroup(int k) const
{
    if (k == 0)
        return GetJoin(0) == CRecipeCondition::JoinOr;
    return GetJoin(k) == CRecipeCondition::JoinOr && GetJoin(k - 1) != CRecipeCondition::JoinOr;
}

bool CRecipeDefinition::InOrGroup(int k) const
{
    return GetJoin(k) == CRecipeCondition::JoinOr || (k > 0 && GetJoin(k - 1) == CRecipeCondition::JoinOr);
}

bool CRecipeDefinition::EndsOrGroup(int k) const
{
    return k > 0 && GetJoin(k - 1) == CRecipeCondition::JoinOr && GetJoin(k) != CRecipeCondition::JoinOr;
}

bool CRecipeDefinition::IsAllMessages() const
{
    return !m_conditions.isEmpty() && m_conditions.at(0).field == CRecipeCondition::AllMessages;
}

void CRecipeDefinition::AddAction(int type, const CActionDetails& details)
{
    const qsizetype j = m_actionTypes.size();
    if (j > 0 && m_actionTypes.at(j - 1) != ActionDelete) {
        QList<CActionDetails> all = m_dataMgr.AllDetails();
        all[j - 1].anotherAction = 1;
        m_dataMgr.SetAllDetails(all);
    }
    m_actionTypes.append(type);
    m_dataMgr.ResetAction(j) = OwnValues(type, details);
}

QByteArray CRecipeDefinition::GetMailbox(int j) const
{
    return Action(j).mailboxMode != 0 ? Action(j).customMailbox : QByteArray("$DEFAULT");
}

int CRecipeDefinition::GetReplyMode(int j) const
{
    const CActionDetails& d = Action(j);
    const int top = d.responseAtTop != 0 ? 1 : 0;
    const bool headers = d.includeHeaders != 0;
    const bool body = d.includeBody != 0;
    if (headers && body)
        return 5 + top;
    if (body)
        return 3 + top;
    if (headers)
        return 1 + top;
    return 0;
}

QByteArray CRecipeDefinition::MakeResponseRemoteName(const QByteArray& localPath)
{
    const qsizetype slash = qMax(localPath.lastIndexOf('/'), localPath.lastIndexOf('\\'));
    QByteArray name = localPath.mid(slash + 1);
    // The name goes unquoted into a shell command line on the host.
    static const QByteArray special("<>'\"*{}^!\\[]#|&()$?~ `;");
    for (char& c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || special.contains(c))
            c = '_';
    }
    return name;
}

QByteArray CRecipeDefinition::GetResponseRemoteName(int j) const
{
    return MakeResponseRemoteName(GetResponseFile(j));
}

bool CRecipeDefinition::GetBodyEdit(int j, CBodyEdit* edit) const
{
    const CActionDetails& d = Action(j);
    if (d.topMode < 0 || d.topMode > 2 || d.bottomMode < 0 || d.bottomMode > 2)
        return false;
    *edit = CBodyEdit();
    edit->modeCode = 3 * d.topMode + d.bottomMode;
    edit->removeBetween = d.removeBetween != 0;
    edit->betweenTop = d.betweenTop;
    edit->betweenBottom = d.betweenBottom;
    if (d.topMode == 1)
        edit->topCount = d.topCount;
    if (d.topMode == 2)
        edit->topLine = d.topLine;
    if (d.bottomMode == 1)
        edit->bottomCount = d.bottomCount;
    if (d.bottomMode == 2)
        edit->bottomLine = d.bottomLine;
    return true;
}

bool CRecipeDefinition::Delivers() const
{
    const int m = GetActionCount();
    if (m == 0)
        return false;
    int j = m_dataMgr.GetCurrentAction() - 1;
    if (j < 0 || j >= m)
        j = m - 1;
    const int type = GetActionType(j);
    if (type == ActionDelete)
        return true;
    return (type == ActionForward || type == ActionReply || type == ActionSave) && !IsCopy(j);
}

int CRecipeDefinition::GetLoggingLevel() const
{
    switch (m_loggingChoice) {
    case 0:
        return 0;
    case 1:
        return 1;
    case 2:
        return Delivers() ? 2 : 3;
    default:
        return 4;
    }
}

void CRecipeDefinition::Clear()
{
    m_conditions.clear();
    m_actionTypes.clear();
    m_dataMgr.Clear();
    m_name.clear();
    m_nameHeader = 0;
    m_loggingChoice = 1;
}

QString CRecipeDefinition::RecipeDataPath(const QByteArray& name)
{
    return Workspace::GetDataFolder() + QString::fromUtf8(name) + QStringLiteral(".zeph");
}

bool CRecipeDefinition::RecipeDataExists(const QByteArray& name)
{
    return Workspace::FileExists(RecipeDataPath(name));
}

bool CRecipeDefinition::SaveRecipeData(const QByteArray& name) const
{
    const QString path = RecipeDataPath(name);
    QString error;
    if (!Workspace::CreatePath(Workspace::GetDataFolder())) {
        error = QStringLiteral("The folder %1 could not be created.").arg(Workspace::GetDataFolder());
    } else if (SaveRecipeDataTo(path, &error)) {
        return true;
    }
    Prompt::Tell(QStringLiteral("The recipe data file %1 could not be saved.\n\n%2").arg(path, error),
        QStringLiteral("Save Recipe Data"), Prompt::Warning);
    return false;
}

bool CRecipeDefinition::SaveRecipeDataTo(const QString& path, QString* error) const
{
    CProtectedFile file;
    if (file.SaveObject(*this, path, RecipeDataKey()))
        return true;
    if (error)
        *error = file.GetErrorText();
    return false;
}

bool CRecipeDefinition::LoadRecipeDataFrom(const QString& path, QString* error)
{
    CRecipeDefinition loaded;
    CProtectedFile file;
    if (!file.LoadObject(loaded, path, RecipeDataKey())) {
        if (error)
            *error = file.GetErrorText();
        return false;
    }
    *this = loaded;
    return true;
}

bool CRecipeDefinition::LoadRecipeData(const QString& path)
{
    QString error;
    if (LoadRecipeDataFrom(path, &error))
        return true;
    Prompt::Tell(QStringLiteral("The recipe data file %1 could not be read.\n\n%2").arg(path, error),
        QStringLiteral("Open Recipe Data"), Prompt::Warning);
    return false;
}

void CRecipeDefinition::Store(CArchive& archive) const
{
    const quint32 n = static_cast<quint32>(m_conditions.size());
    const quint32 m = static_cast<quint32>(m_actionTypes.size());
    archive.WriteDword(FileVersion);
    CRandom random;
    random.Seed(0);
    archive.WriteString(random.RandomString(22, 54));
    archive.WriteString(QByteArray(Magic));

    archive.WriteDword(SectionSchema);
    archive.WriteDword(n);
    WriteList(archive, Column(m_conditions, &CRecipeCondition::customHeader));
    WriteList(archive, Column(m_conditions, &CRecipeCondition::field));
    WriteList(archive, Column(m_conditions, &CRecipeCondition::toKind));
    WriteList(archive, Column(m_conditions, &CRecipeCondition::invert));

    archive.WriteDword(SectionSchema);
    archive.WriteDword(n);
    WriteList(archive, Column(m_conditions, &CRecipeCondition::join));
    WriteList(archive, Column(m_conditions, &CRecipeCondition::entries));
    WriteList(archive, Column(m_conditions, &CRecipeCondition::size));

    archive.WriteDword(SectionSchema);
    archive.WriteDword(m);
    WriteList(archive, m_actionTypes);

    archive.WriteDword(SectionSchema);
    archive.WriteDword(m);
    const QList<CActionDetails>& all = m_dataMgr.AllDetails();
    for (const CActionDetailField& f : DetailFields()) {
        if (f.number)
            WriteList(archive, Column(all, f.number));
        else
            WriteList(archive, Column(all, f.text));
    }

    archive.WriteDword(SectionSchema);
    archive.WriteString(m_name);
    archive.WriteInt32(m_nameHeader);
    archive.WriteInt32(m_loggingChoice);

    archive.WriteCount(0); // 12-byte records
    archive.WriteCount(0); // strings
    archive.WriteCount(0); // integers
}

bool CRecipeDefinition::Load(CArchive& archive)
{
    quint32 version = 0;
    if (!archive.ReadDword(&version))
        return false;
    if (version != FileVersion)
        return archive.Fail(
            BadFormat(QStringLiteral("the file version is %1, not %2.").arg(version).arg(FileVersion)));
    QByteArray filler, magic;
    if (!archive.ReadString(&filler) || !archive.ReadString(&magic))
        return false;
    if (magic != QByteArray(Magic))
        return archive.Fail(BadFormat(QStringLiteral("it is not a recipe data file.")));

    QList<QByteArray> headers, entries, sizes;
    QList<qint32> fields, toKinds, inverts, joins, types;
    if (!ReadSchema(archive, "condition fields") || !ReadList(archive, &headers)
        || !ReadList(archive, &fields) || !ReadList(archive, &toKinds) || !ReadList(archive, &inverts))
        return false;
    if (!ReadSchema(archive, "condition entries") || !ReadList(archive, &joins)
        || !ReadList(archive, &entries) || !ReadList(archive, &sizes))
        return false;
    if (!ReadSchema(archive, "action types") || !ReadList(archive, &types))
        return false;
    if (!ReadSchema(archive, "action details"))
        return false;

    struct DetailColumn
    {
        QList<qint32> numbers;
        QList<QByteArray> texts;
    };
    const QList<CActionDetailField>& detailFields = DetailFields();
    QList<DetailColumn> columns(detailFields.size());
    for (qsizetype i = 0; i < detailFields.size(); ++i) {
        if (detailFields.at(i).number ? !ReadList(archive, &columns[i].numbers)
                                      : !ReadList(archive, &columns[i].texts))
            return false;
    }

    quint32 schema = 0;
    QByteArray name;
    qint32 nameHeader = 0, logging = 0;
    if (!archive.ReadDword(&schema))
        return false;
    if (schema != SectionSchema)
        return archive.Fail(
            BadFormat(QStringLiteral("the name section has the unknown schema %1.").arg(schema)));
    if (!archive.ReadString(&name) || !archive.ReadInt32(&nameHeader) || !archive.ReadInt32(&logging))
        return false;

    quint32 reservedCount = 0;
    QByteArray ignoredBytes;
    if (!archive.ReadItemCount(&reservedCount, 12)
        || !archive.ReadBytes(qsizetype(reservedCount) * 12, &ignoredBytes))
        return false;
    QList<QByteArray> ignoredStrings;
    QList<qint32> ignoredInts;
    if (!ReadList(archive, &ignoredStrings) || !ReadList(archive, &ignoredInts))
        return false;

    const qsizetype n = fields.size();
    if (headers.size() != n || toKinds.size() != n || inverts.size() != n)
        return archive.Fail(BadFormat(QStringLiteral("the condition field lists differ in length.")));
    if (joins.size() != n || entries.size() != n || sizes.size() != n)
        return archive.Fail(
            BadFormat(QStringLiteral("the condition entry lists do not match the conditions.")));
    const qsizetype m = types.size();
    for (qsizetype i = 0; i < detailFields.size(); ++i) {
        if ((detailFields.at(i).number ? columns.at(i).numbers.size() : columns.at(i).texts.size()) != m)
            return archive.Fail(
                BadFormat(QStringLiteral("the action detail lists do not match the actions.")));
    }

    CRecipeDefinition loaded;
    loaded.m_conditions.resize(n);
    Fill(&loaded.m_conditions, &CRecipeCondition::customHeader, headers);
    Fill(&loaded.m_conditions, &CRecipeCondition::field, fields);
    Fill(&loaded.m_conditions, &CRecipeCondition::toKind, toKinds);
    Fill(&loaded.m_conditions, &CRecipeCondition::invert, inverts);
    Fill(&loaded.m_conditions, &CRecipeCondition::join, joins);
    Fill(&loaded.m_conditions, &CRecipeCondition::entries, entries);
    Fill(&loaded.m_conditions, &CRecipeCondition::size, sizes);
    for (CRecipeCondition& c : loaded.m_conditions)
        c.entries = UnifyLineBreaks(c.entries);
    QList<CActionDetails> details(m);
    for (qsizetype i = 0; i < detailFields.size(); ++i) {
        const CActionDetailField& f = detailFields.at(i);
        if (f.number)
            Fill(&details, f.number, columns.at(i).numbers);
        else
            Fill(&details, f.text, columns.at(i).texts);
        if (f.kind == CActionDetailField::Lines) {
            for (CActionDetails& a : details)
                a.*f.text = UnifyLineBreaks(a.*f.text);
        }
    }
    loaded.m_actionTypes = types;
    loaded.m_dataMgr.SetAllDetails(details);
    loaded.m_name = name;
    loaded.m_nameHeader = nameHeader;
    loaded.m_loggingChoice = logging;

    QString problem;
    if (!loaded.Validate(&problem))
        return archive.Fail(BadFormat(problem));
    *this = loaded;
    return true;
}
