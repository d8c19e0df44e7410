#include "core/recipes/CRecipeDefinitionJson.h"

#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <cmath>

namespace {

// A string without line break or NUL, as UTF-8; otherwise what is wrong with the value.
QString SingleLine(const QJsonValue& v, QByteArray* out)
{
    if (!v.isString())
        return QStringLiteral("must be a string");
    const QByteArray bytes = v.toString().toUtf8();
    if (bytes.contains('\0') || bytes.contains('\r') || bytes.contains('\n'))
        return QStringLiteral("must not contain a line break or a NUL character");
    *out = bytes;
    return QString();
}

// Reads values and keeps the first problem, naming the key it was found at; `where` is the path of
// the object read ("conditions[0].").
struct Reader
{
    QString error;

    bool Fail(const QString& key, const QString& text)
    {
        if (error.isEmpty())
            error = QStringLiteral("%1: %2").arg(key, text);
        return false;
    }

    bool CheckKeys(const QJsonObject& object, const QString& where, const QSet<QString>& allowed)
    {
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (!allowed.contains(it.key()))
                return Fail(where + it.key(), QStringLiteral("unknown key"));
        }
        return true;
    }

    bool Required(const QJsonObject& o, const QString& where, const QString& key)
    {
        return o.contains(key) || Fail(where + key, QStringLiteral("is required"));
    }

    // The value at `where` as an object; `where` ends in the point that its keys follow.
    bool Object(const QJsonValue& v, const QString& where, QJsonObject* out)
    {
        if (!v.isObject())
            return Fail(where.chopped(1), QStringLiteral("must be an object"));
        *out = v.toObject();
        return true;
    }

    // The array at `key`, which must hold at least one `what`.
    QJsonArray NonEmptyArray(const QJsonObject& o, const QString& key, const QString& what)
    {
        const QJsonValue v = o.value(key);
        if (error.isEmpty() && (!v.isArray() || v.toArray().isEmpty()))
            Fail(key, QStringLiteral("must be an array of at least one %1").arg(what));
        return v.toArray();
    }

    // An absent key keeps the reset value; a present one goes through `convert`, which stores it
    // or says what is wrong with it.
    template <typename Convert>
    bool Read(const QJsonObject& o, const QString& where, const QString& key, Convert convert)
    {
        const auto it = o.constFind(key);
        if (it == o.constEnd())
            return true;
        const QString problem = convert(it.value());
        return problem.isEmpty() || Fail(where + key, problem);
    }

    bool Int(const QJsonObject& o, const QString& where, const QString& key, int low, int high, qint32* out)
    {
        return Read(o, where, key, [&](const QJsonValue& v) -> QString {
            const double d = v.toDouble();
            if (!v.isDouble() || d != std::floor(d))
                return QStringLiteral("must be a whole number");
            if (d < low || d > high)
                return QStringLiteral("%1 is out of range (%2 to %3)").arg(d, 0, 'g', 17).arg(low).arg(high);
            *out = static_cast<qint32>(d);
            return QString();
        });
    }

    bool Flag(const QJsonObject& o, const QString& where, const QString& key, qint32* out)
    {
        return Read(o, where, key, [&](const QJsonValue& v) -> QString {
            if (v.isBool())
                *out = v.toBool() ? 1 : 0;
            else if (v.isDouble() && (v.toDouble() == 0 || v.toDouble() == 1))
                *out = static_cast<qint32>(v.toDouble());
            else
                return QStringLiteral("must be true or false");
            return QString();
        });
    }

    bool Text(const QJsonObject& o, const QString& where, const QString& key, QByteArray* out)
    {
        return Read(o, where, key, [&](const QJsonValue& v) { return SingleLine(v, out); });
    }

    // An array of single-line strings, stored with CR LF between them.
    bool Lines(const QJsonObject& o, const QString& where, const QString& key, QByteArray* out)
    {
        return Read(o, where, key, [&](const QJsonValue& v) -> QString {
            if (!v.isArray())
                return QStringLiteral("must be an array of strings");
            QList<QByteArray> lines;
            const QJsonArray array = v.toArray();
            for (qsizetype i = 0; i < array.size(); ++i) {
                QByteArray line;
                const QString problem = SingleLine(array.at(i), &line);
                if (!problem.isEmpty()) {
                    // The first message stands, so it names the item rather than the key.
                    Fail(QStringLiteral("%1%2[%3]").arg(where, key).arg(i), problem);
                    return problem;
                }
                lines.append(line);
            }
            *out = lines.join("\r\n");
            return QString();
        });
    }

    // An action's detail value as its field says.
    bool Detail(const QJsonObject& o, const QString& where, const CActionDetailField& f, CActionDetails* a)
    {
        const QString key = QLatin1String(f.name);
        switch (f.kind) {
        case CActionDetailField::Number:
            return Int(o, where, key, f.low, f.high, &(a->*f.number));
        case CActionDetailField::Flag:
            return Flag(o, where, key, &(a->*f.number));
        case CActionDetailField::Text:
            return Text(o, where, key, &(a->*f.text));
        case CActionDetailField::Lines:
            return Lines(o, where, key, &(a->*f.text));
        }
        return true;
    }
};

QJsonArray SplitLines(const QByteArray& text)
{
    QByteArray unified = text;
    unified.replace("\r\n", "\n");
    unified.replace('\r', '\n');
    QJsonArray array;
    if (unified.isEmpty())
        return array;
    for (const QByteArray& line : unified.split('\n'))
        array.append(QString::fromUtf8(line));
    return array;
}

} // namespace

bool CRecipeDefinitionJson::FromJson(
    const QByteArray& json, CRecipeDefinition* definition, RecipeTextSettings* settings, QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = QStringLiteral("not valid JSON at offset %1: %2")
                     .arg(parseError.offset)
                     .arg(parseError.errorString());
        return false;
    }
    if (!document.isObject()) {
        *error = QStringLiteral("the definition must be a JSON object");
        return false;
    }
    const QJsonObject root = document.object();
    Reader r;
    CRecipeDefinition d;
    RecipeTextSettings s;

    r.CheckKeys(root, QString(),
        { QStringLiteral("name"), QStringLiteral("nameHeader"), QStringLiteral("logging"),
            QStringLiteral("conditions"), QStringLiteral("actions"), QStringLiteral("settings") });
    QByteArray name;
    qint32 nameHeader = 0, logging = 1;
    r.Required(root, QString(), QStringLiteral("name"));
    r.Text(root, QString(), QStringLiteral("name"), &name);
    r.Flag(root, QString(), QStringLiteral("nameHeader"), &nameHeader);
    r.Int(root, QString(), QStringLiteral("logging"), 0, 2, &logging);
    d.SetName(name);
    d.SetNameHeader(nameHeader != 0);
    d.SetLoggingChoice(logging);

    // Conditions.
    const QJsonArray conditionArray
        = r.NonEmptyArray(root, QStringLiteral("conditions"), QStringLiteral("condition"));
    for (qsizetype k = 0; r.error.isEmpty() && k < conditionArray.size(); ++k) {
        const QString where = QStringLiteral("conditions[%1].").arg(k);
        QJsonObject o;
        if (!r.Object(conditionArray.at(k), where, &o))
            break;
        r.CheckKeys(o, where,
            { QStringLiteral("field"), QStringLiteral("toKind"), QStringLiteral("customHeader"),
                QStringLiteral("invert"), QStringLiteral("entries"), QStringLiteral("size"),
                QStringLiteral("join") });
        CRecipeCondition c;
        const bool last = k == conditionArray.size() - 1;
        c.join = last ? CRecipeCondition::JoinNone : CRecipeCondition::JoinAnd;
        r.Int(o, where, QStringLiteral("field"), 0, 11, &c.field);
        r.Int(o, where, QStringLiteral("toKind"), 100, 102, &c.toKind);
        r.Text(o, where, QStringLiteral("customHeader"), &c.customHeader);
        r.Flag(o, where, QStringLiteral("invert"), &c.invert);
        r.Lines(o, where, QStringLiteral("entries"), &c.entries);
        if (o.value(QStringLiteral("size")).isDouble()) {
            qint32 size = 0;
            if (r.Int(o, where, QStringLiteral("size"), 0, 2147483647, &size))
                c.size = QByteArray::number(size);
        } else {
            r.Text(o, where, QStringLiteral("size"), &c.size);
        }
        if (last)
            r.Int(o, where, QStringLiteral("join"), 0, 0, &c.join);
        else
            r.Int(o, where, QStringLiteral("join"), 1, 2, &c.join);
        if (!r.error.isEmpty())
            break;
        // What a condition of its field may hold is the rule set's (Validate, below).
        d.Conditions().append(c);
    }

    // Actions.
    const QJsonArray actionArray = r.NonEmptyArray(root, QStringLiteral("actions"), QStringLiteral("action"));
    static const QHash<QString, const CActionDetailField*> detailFields = [] {
        QHash<QString, const CActionDetailField*> byName;
        for (const CActionDetailField& f : CRecipeDefinition::DetailFields()) {
            if (f.owners != 0)
                byName.insert(QLatin1String(f.name), &f);
        }
        return byName;
    }();
    static const QSet<QString> allActionKeys = [] {
        QSet<QString> keys(detailFields.keyBegin(), detailFields.keyEnd());
        keys.insert(QStringLiteral("type"));
        return keys;
    }();
    for (qsizetype j = 0; r.error.isEmpty() && j < actionArray.size(); ++j) {
        const QString where = QStringLiteral("actions[%1].").arg(j);
        QJsonObject o;
        if (!r.Object(actionArray.at(j), where, &o) || !r.CheckKeys(o, where, allActionKeys))
            break;
        qint32 type = -1;
        r.Required(o, where, QStringLiteral("type"));
        if (!r.Int(o, where, QStringLiteral("type"), 0, 9, &type) || !r.error.isEmpty())
            break;
        for (auto it = o.begin(); it != o.end(); ++it) {
            if (it.key() != QStringLiteral("type") && !detailFields.value(it.key())->UsedBy(type))
                r.Fail(where + it.key(), QStringLiteral("does not apply to an action of type %1").arg(type));
        }
        CActionDetails a;
        for (const CActionDetailField& f : CRecipeDefinition::DetailFields()) {
            if (f.owners != 0)
                r.Detail(o, where, f, &a);
        }
        if (type == ActionSave && !o.contains(QStringLiteral("mailboxMode")) && !a.customMailbox.isEmpty())
            a.mailboxMode = 1;
        d.AddAction(type, a);
    }

    // Settings of the identity the text is built for.
    const QString where = QStringLiteral("settings.");
    QJsonObject o;
    if (r.error.isEmpty() && root.contains(QStringLiteral("settings"))
        && r.Object(root.value(QStringLiteral("settings")), where, &o)) {
        r.CheckKeys(o, where,
            { QStringLiteral("maildirFormat"), QStringLiteral("returnAddress"), QStringLiteral("name"),
                QStringLiteral("outOfMemory") });
        qint32 maildir = 0, oom = 0;
        r.Flag(o, where, QStringLiteral("maildirFormat"), &maildir);
        r.Flag(o, where, QStringLiteral("outOfMemory"), &oom);
        r.Text(o, where, QStringLiteral("returnAddress"), &s.returnAddress);
        r.Text(o, where, QStringLiteral("name"), &s.name);
        s.maildirFormat = maildir != 0;
        s.outOfMemory = oom != 0;
    }

    if (!r.error.isEmpty()) {
        *error = r.error;
        return false;
    }
    d.DataMgr().SetCurrentAction(d.GetActionCount());
    QString problem;
    if (!d.Validate(&problem)) {
        *error = QStringLiteral("the definition cannot be used: %1").arg(problem);
        return false;
    }
    *definition = d;
    if (settings)
        *settings = s;
    return true;
}

QByteArray CRecipeDefinitionJson::ToJson(const CRecipeDefinition& d)
{
    QJsonObject root;
    root.insert(QStringLiteral("name"), QString::fromUtf8(d.GetName()));
    root.insert(QStringLiteral("nameHeader"), d.HasNameHeader());
    root.insert(QStringLiteral("logging"), d.GetLoggingChoice());
    QJsonArray conditions;
    for (const CRecipeCondition& c : d.Conditions()) {
        QJsonObject o;
        o.insert(QStringLiteral("field"), c.field);
        o.insert(QStringLiteral("toKind"), c.toKind);
        if (c.field == CRecipeCondition::CustomHeader)
            o.insert(QStringLiteral("customHeader"), QString::fromUtf8(c.customHeader));
        o.insert(QStringLiteral("invert"), c.invert != 0);
        if (c.field != CRecipeCondition::Size && c.field != CRecipeCondition::AllMessages)
            o.insert(QStringLiteral("entries"), SplitLines(c.entries));
        if (c.field == CRecipeCondition::Size)
            o.insert(QStringLiteral("size"), QString::fromUtf8(c.size));
        o.insert(QStringLiteral("join"), c.join);
        conditions.append(o);
    }
    root.insert(QStringLiteral("conditions"), conditions);
    QJsonArray actions;
    for (int j = 0; j < d.GetActionCount(); ++j) {
        const CActionDetails& a = d.Action(j);
        const int type = d.GetActionType(j);
        QJsonObject o;
        o.insert(QStringLiteral("type"), type);
        for (const CActionDetailField& f : CRecipeDefinition::DetailFields()) {
            if (!f.UsedBy(type))
                continue;
            const QString key = QLatin1String(f.name);
            switch (f.kind) {
            case CActionDetailField::Number:
                o.insert(key, a.*f.number);
                break;
            case CActionDetailField::Flag:
                o.insert(key, a.*f.number != 0);
                break;
            case CActionDetailField::Text:
                o.insert(key, QString::fromUtf8(a.*f.text));
                break;
            case CActionDetailField::Lines:
                o.insert(key, SplitLines(a.*f.text));
                break;
            }
        }
        actions.append(o);
    }
    root.insert(QStringLiteral("actions"), actions);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}
