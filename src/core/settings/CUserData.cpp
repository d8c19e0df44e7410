#include "core/settings/CUserData.h"

#include "core/settings/CArchive.h"

#include <limits>

namespace {

constexpr quint32 SectionSchema = 1;
constexpr quint32 UserSchema = 1;

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

template <typename List> auto findByName(List& list, const QString& name) -> decltype(&list.first())
{
    for (auto& item : list) {
        if (sameName(item.name, name))
            return &item;
    }
    return nullptr;
}

template <typename List> auto findOrCreate(List& list, const QString& name) -> decltype(&list.first())
{
    if (auto* found = findByName(list, name))
        return found;
    list.emplaceBack();
    list.last().name = name;
    return &list.last();
}

// Takes the text before the first comma and removes it with the comma; with no comma left the
// token is empty and the rest stays as it is.
QString nextToken(QString* rest)
{
    const qsizetype comma = rest->indexOf(QLatin1Char(','));
    if (comma < 0)
        return QString();
    const QString token = rest->left(comma);
    rest->remove(0, comma + 1);
    return token;
}

bool loadHeader(CArchive& archive, QString* name)
{
    quint32 schema = 0;
    if (!archive.ReadDword(&schema))
        return false;
    if (schema != SectionSchema)
        return archive.Fail(QStringLiteral("The file has a bad format."));
    return archive.ReadText(name);
}

} // namespace

int CUserData::LeadingInt(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size()
        && (text[i] == QLatin1Char(' ') || (text[i] >= QLatin1Char('\t') && text[i] <= QLatin1Char('\r'))))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            value = qint64(std::numeric_limits<int>::max()) + 1;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        value = std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

QString CUserData::GetString(const QString& section, const QString& key, const QString& defaultValue) const
{
    for (const auto& s : stringSections) {
        if (!sameName(s.name, section))
            continue;
        for (const auto& entry : s.entries) {
            if (sameName(entry.first, key))
                return entry.second;
        }
        return defaultValue;
    }
    return defaultValue;
}

bool CUserData::SetString(const QString& section, const QString& key, const QString& value)
{
    if (section.isEmpty() || key.isEmpty())
        return false;
    CStringSection* s = findOrCreate(stringSections, section);
    for (auto& entry : s->entries) {
        if (sameName(entry.first, key)) {
            entry.second = value;
            return true;
        }
    }
    s->entries.append({ key, value });
    return true;
}

int CUserData::GetInt(const QString& section, const QString& key, int defaultValue) const
{
    const QString text = GetString(section, key, QString());
    return text.isEmpty() ? defaultValue : LeadingInt(text);
}

bool CUserData::SetInt(const QString& section, const QString& key, int value)
{
    return SetString(section, key, QString::number(value));
}

QString CUserData::FormatTime(const QDateTime& time)
{
    const QDateTime local = time.toLocalTime();
    const QDate d = local.date();
    const QTime t = local.time();
    return QStringLiteral("%1,%2,%3,%4,%5,%6,")
        .arg(d.year())
        .arg(d.month())
        .arg(d.day())
        .arg(t.hour())
        .arg(t.minute())
        .arg(t.second());
}

bool CUserData::ParseTime(const QString& text, QDateTime* time)
{
    QString rest = text;
    int v[6];
    for (int& value : v)
        value = LeadingInt(nextToken(&rest));
    const int year = v[0], month = v[1], day = v[2], hour = v[3], minute = v[4], second = v[5];
    if (!(year > 1969 && year <= 2038 && month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour >= 0
            && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59))
        return false;
    // A day past the month's end rolls over into the next month, as the C library does.
    const QDate date = QDate(year, month, 1).addDays(day - 1);
    *time = QDateTime(date, QTime(hour, minute, second), Qt::LocalTime);
    return true;
}

bool CUserData::GetTime(const QString& section, const QString& key, QDateTime* time) const
{
    return ParseTime(GetString(section, key), time);
}

bool CUserData::SetTime(const QString& section, const QString& key, const QDateTime& time)
{
    return SetString(section, key, FormatTime(time));
}

QString CUserData::FormatFont(const CFontDescription& f)
{
    QStringList parts;
    for (qint32 v : { f.height, f.width, f.escapement, f.orientation, f.weight })
        parts << QString::number(v);
    for (quint8 v : { f.italic, f.underline, f.strikeOut, f.charSet, f.outPrecision, f.clipPrecision,
             f.quality, f.pitchAndFamily })
        parts << QString::number(v);
    parts << f.faceName.left(31);
    return parts.join(QLatin1Char(',')) + QLatin1Char(',');
}

bool CUserData::ParseFont(const QString& text, CFontDescription* font)
{
    if (text.isEmpty())
        return false;
    QString rest = text;
    CFontDescription f;
    for (qint32* v : { &f.height, &f.width, &f.escapement, &f.orientation, &f.weight })
        *v = LeadingInt(nextToken(&rest));
    for (quint8* v : { &f.italic, &f.underline, &f.strikeOut, &f.charSet, &f.outPrecision, &f.clipPrecision,
             &f.quality, &f.pitchAndFamily })
        *v = static_cast<quint8>(LeadingInt(nextToken(&rest)));
    // A longer stored face name is cut, as a font description holds at most 31 characters.
    f.faceName = nextToken(&rest).left(31);
    *font = f;
    return true;
}

bool CUserData::GetFont(const QString& section, const QString& key, CFontDescription* font) const
{
    return ParseFont(GetString(section, key), font);
}

bool CUserData::SetFont(const QString& section, const QString& key, const CFontDescription& font)
{
    const QString text = FormatFont(font);
    return !text.isEmpty() && SetString(section, key, text);
}

bool CUserData::DeleteKey(const QString& section, const QString& key)
{
    CStringSection* s = findByName(stringSections, section);
    if (!s)
        return false;
    for (qsizetype i = 0; i < s->entries.size(); ++i) {
        if (sameName(s->entries[i].first, key)) {
            s->entries.removeAt(i);
            return true;
        }
    }
    return false;
}

bool CUserData::GetStringArray(const QString& arrayName, QStringList* list) const
{
    for (const auto& s : stringArraySections) {
        if (sameName(s.name, arrayName)) {
            *list = s.values;
            return true;
        }
    }
    return false;
}

bool CUserData::SetStringArray(const QString& arrayName, const QStringList& list)
{
    if (arrayName.isEmpty())
        return false;
    findOrCreate(stringArraySections, arrayName)->values = list;
    return true;
}

bool CUserData::DeleteStringArray(const QString& arrayName)
{
    for (qsizetype i = 0; i < stringArraySections.size(); ++i) {
        if (sameName(stringArraySections[i].name, arrayName)) {
            stringArraySections.removeAt(i);
            return true;
        }
    }
    return false;
}

bool CUserData::GetIntArray(const QString& arrayName, QList<qint32>* list) const
{
    for (const auto& s : intArraySections) {
        if (sameName(s.name, arrayName)) {
            *list = s.values;
            return true;
        }
    }
    return false;
}

bool CUserData::SetIntArray(const QString& arrayName, const QList<qint32>& list)
{
    if (arrayName.isEmpty())
        return false;
    findOrCreate(intArraySections, arrayName)->values = list;
    return true;
}

void CUserData::Store(CArchive& archive) const
{
    archive.WriteDword(UserSchema);
    archive.WriteText(name);
    archive.WriteDword(static_cast<quint32>(stringSections.size()));
    archive.WriteDword(static_cast<quint32>(stringArraySections.size()));
    archive.WriteDword(static_cast<quint32>(intArraySections.size()));
    archive.WriteDword(static_cast<quint32>(byteArraySections.size()));
    for (const auto& s : stringSections) {
        archive.WriteDword(SectionSchema);
        archive.WriteText(s.name);
        archive.WriteDword(static_cast<quint32>(s.entries.size()));
        for (const auto& entry : s.entries) {
            archive.WriteText(entry.first);
            archive.WriteText(entry.second);
        }
    }
    for (const auto& s : stringArraySections) {
        archive.WriteDword(SectionSchema);
        archive.WriteText(s.name);
        archive.WriteCount(static_cast<quint32>(s.values.size()));
        for (const auto& value : s.values)
            archive.WriteText(value);
    }
    for (const auto& s : intArraySections) {
        archive.WriteDword(SectionSchema);
        archive.WriteText(s.name);
        archive.WriteCount(static_cast<quint32>(s.values.size()));
        for (qint32 value : s.values)
            archive.WriteInt32(value);
    }
    for (const auto& s : byteArraySections) {
        archive.WriteDword(SectionSchema);
        archive.WriteText(s.name);
        archive.WriteCount(static_cast<quint32>(s.values.size()));
        archive.WriteBytes(s.values);
    }
}

bool CUserData::Load(CArchive& archive)
{
    quint32 schema = 0;
    if (!archive.ReadDword(&schema))
        return false;
    if (schema != UserSchema)
        return archive.Fail(QStringLiteral("The file has a bad format."));
    quint32 counts[4];
    if (!archive.ReadText(&name))
        return false;
    // Each section takes at least a schema, a name length and a count: 7 bytes.
    for (quint32& count : counts) {
        if (!archive.ReadCountedDword(&count, 7))
            return false;
    }
    for (quint32 i = 0; i < counts[0]; ++i) {
        CStringSection s;
        quint32 n = 0;
        if (!loadHeader(archive, &s.name) || !archive.ReadCountedDword(&n, 2))
            return false;
        for (quint32 k = 0; k < n; ++k) {
            QString key, value;
            if (!archive.ReadText(&key) || !archive.ReadText(&value))
                return false;
            s.entries.append({ key, value });
        }
        stringSections.append(s);
    }
    for (quint32 i = 0; i < counts[1]; ++i) {
        CStringArraySection s;
        quint32 n = 0;
        if (!loadHeader(archive, &s.name) || !archive.ReadItemCount(&n, 1))
            return false;
        for (quint32 k = 0; k < n; ++k) {
            QString value;
            if (!archive.ReadText(&value))
                return false;
            s.values.append(value);
        }
        stringArraySections.append(s);
    }
    for (quint32 i = 0; i < counts[2]; ++i) {
        CIntArraySection s;
        quint32 n = 0;
        if (!loadHeader(archive, &s.name) || !archive.ReadItemCount(&n, 4))
            return false;
        for (quint32 k = 0; k < n; ++k) {
            qint32 value = 0;
            if (!archive.ReadInt32(&value))
                return false;
            s.values.append(value);
        }
        intArraySections.append(s);
    }
    for (quint32 i = 0; i < counts[3]; ++i) {
        CByteArraySection s;
        quint32 n = 0;
        if (!loadHeader(archive, &s.name) || !archive.ReadItemCount(&n, 1)
            || !archive.ReadBytes(n, &s.values))
            return false;
        byteArraySections.append(s);
    }
    return true;
}
