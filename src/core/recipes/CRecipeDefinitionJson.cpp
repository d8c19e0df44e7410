#include "core/recipes/CRecipeDefinitionJson.h"

#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <cmath>

namespace {

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

    bool Int(const QJsonObject& o, const QString& where, const QString& key, int low, int high, qint32* out)
    {
        if (!o.contains(key))
            return true;
        const QJsonValue v = o.value(key);
        if (!v.isDouble())
            return Fail(where + key, QStringLiteral("must be a whole number"));
        const double d = v.toDouble();
        if (d != std::floor(d))
            return Fail(where + key, QStringLiteral("must be a whole number"));
        if (d < low || d > high)
            return Fail(where + key, QStringLiteral("%1 is out of range (%2 to %3)").arg(d, 0, 'g', 17).arg(low).arg(high));
        *out = static_cast<qint32>(d);
        return true;
    }

    bool Flag(const QJsonObject& o, const QString& where, const QString& key, qint32* out)
    {
        if (!o.contains(key))
            return true;
        const QJsonValue v = o.value(key);
        if (v.isBool()) {
            *out = v.toBool() ? 1 : 0;
            return true;
        }
        if (v.isDouble() && (v.toDouble() == 0 || v.toDouble() == 1)) {
            *out = static_cast<qint32>(v.toDouble());
            return true;
        }
        return Fail(where + key, QStringLiteral("must be true or false"));
    }

    bool Text(const QJsonObject& o, const QString& where, const QString& key, QByteArray* out, bool singleLine = true)
    {
        if (!o.contains(key))
            return true;
        const QJsonValue v = o.value(key);
        if (!v.isString())
            return Fail(where + key, QStringLiteral("must be a string"));
        const QByteArray bytes = v.toString().toUtf8();
        if (bytes.contains('\0') || (singleLine && (bytes.contains('\r') || bytes.contains('\n'))))
            return Fail(where + key, QStringLiteral("must not contain a line break or a NUL character"));
        *out = bytes;
        return true;
    }

    // An array of single-line strings, stored with CR LF between them.
    bool Lines(const QJsonObject& o, const QString& where, const QString& key, QByteArray* out)
    {
        if (!o.contains(key))
            return true;
        const QJsonValue v = o.value(key);
        if (!v.isArray())
            return Fail(where + key, QStringLiteral("must be an array of strings"));
        QList<QByteArray> lines;
        const QJsonArray array = v.toArray();
        for (qsizetype i = 0; i < array.size(); ++i) {
            const QString item = QStringLiteral("%1%2[%3]").arg(where, key).arg(i);
            if (!array.at(i).isString())
                return Fail(item, QStringLiteral("must be a string"));
            const QByteArray line = array.at(i).toString().toUtf8();
            if (line.contains('\r') || line.contains('\n') || line.contains('\0'))
                return Fail(item, QStringLiteral("must not contain a line break or a NUL character"));
            lines.append(line);
        }
        *out = lines.join("\r\n");
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

bool CRecipeDefinitionJson::FromJson(const QByteArray& json, CRecipeDefinition* definition,
                                     RecipeTextSettings* settings, QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = QStringLiteral("not valid JSON at offset %1: %2").arg(parseError.offset).arg(parseError.errorString());
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
                {QStringLiteral("name"), QStringLiteral("nameHeader"), QStringLiteral("logging"),
                 QStringLiteral("conditions"), QStringLiteral("actions"), QStringLiteral("settings")});
    QByteArray name;
    qint32 nameHeader = 0, logging = 1;
    if (!root.contains(QStringLiteral("name")))
        r.Fail(QStringLiteral("name"), QStringLiteral("is required"));
    r.Text(root, QString(), QStringLiteral("name"), &name);
    if (r.error.isEmpty() && name.trimmed().isEmpty())
        r.Fail(QStringLiteral("name"), QStringLiteral("must not be empty"));
    r.Flag(root, QString(), QStringLiteral("nameHeader"), &nameHeader);
    r.Int(root, QString(), QStringLiteral("logging"), 0, 2, &logging);
    d.SetName(name);
    d.SetNameHeader(nameHeader != 0);
    d.SetLoggingChoice(logging);

    // Conditions.
    const QJsonValue conditions = root.value(QStringLiteral("conditions"));
    if (r.error.isEmpty() && (!conditions.isArray() || conditions.toArray().isEmpty()))
        r.Fail(QStringLiteral("conditions"), QStringLiteral("must be an array of at least one condition"));
    const QJsonArray conditionArray = conditions.toArray();
    for (qsizetype k = 0; r.error.isEmpty() && k < conditionArray.size(); ++k) {
        const QString where = QStringLiteral("conditions[%1].").arg(k);
        if (!conditionArray.at(k).isObject()) {
            r.Fail(where.chopped(1), QStringLiteral("must be an object"));
            break;
        }
        const QJsonObject o = conditionArray.at(k).toObject();
        r.CheckKeys(o, where,
                    {QStringLiteral("field"), QStringLiteral("toKind"), QStringLiteral("customHeader"),
                     QStringLiteral("invert"), QStringLiteral("entries"), QStringLiteral("size"),
                     QStringLiteral("join")});
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
        if (c.field != CRecipeCondition::CustomHeader && !c.customHeader.isEmpty())
            r.Fail(where + QStringLiteral("customHeader"), QStringLiteral("applies only to field 11"));
        if (c.field == CRecipeCondition::CustomHeader && c.customHeader.trimmed().isEmpty())
            r.Fail(where + QStringLiteral("customHeader"), QStringLiteral("is required for field 11"));
        if (c.field != CRecipeCondition::Size && !c.size.isEmpty())
            r.Fail(where + QStringLiteral("size"), QStringLiteral("applies only to field 9"));
        if (c.field == CRecipeCondition::Size) {
            bool digits = !c.size.isEmpty();
            for (char ch : c.size)
                digits = digits && ch >= '0' && ch <= '9';
            if (!digits)
                r.Fail(where + QStringLiteral("size"), QStringLiteral("must be a number of bytes for field 9"));
        }
        if ((c.field == CRecipeCondition::Size || c.field == CRecipeCondition::AllMessages) && !c.entries.isEmpty())
            r.Fail(where + QStringLiteral("entries"), QStringLiteral("does not apply to fields 9 and 10"));
        if (c.field == CRecipeCondition::AllMessages && c.invert != 0)
            r.Fail(where + QStringLiteral("invert"), QStringLiteral("does not apply to field 10"));
        d.Conditions().append(c);
    }

    // Actions.
    const QJsonValue actions = root.value(QStringLiteral("actions"));
    if (r.error.isEmpty() && (!actions.isArray() || actions.toArray().isEmpty()))
        r.Fail(QStringLiteral("actions"), QStringLiteral("must be an array of at least one action"));
    const QJsonArray actionArray = actions.toArray();
    // The keys each action type takes besides "type".
    static const QHash<int, QStringList> ownKeys = {
        {ActionAddSubject, {QStringLiteral("addSubject")}},
        {ActionRemoveSubject, {QStringLiteral("removeSubject")}},
        {ActionAddHeader, {QStringLiteral("headerName"), QStringLiteral("headerValue")}},
        {ActionRemoveHeader, {QStringLiteral("headerToRemove")}},
        {ActionModifyBody,
         {QStringLiteral("removeBetween"), QStringLiteral("betweenTop"), QStringLiteral("betweenBottom"),
          QStringLiteral("topMode"), QStringLiteral("topCount"), QStringLiteral("topLine"), QStringLiteral("bottomMode"),
          QStringLiteral("bottomCount"), QStringLiteral("bottomLine")}},
        {ActionExitCode, {QStringLiteral("exitCode")}},
        {ActionDelete, {}},
        {ActionForward, {QStringLiteral("forwardAddresses"), QStringLiteral("copy")}},
        {ActionReply,
         {QStringLiteral("responseFile"), QStringLiteral("includeBody"), QStringLiteral("includeHeaders"),
          QStringLiteral("responseAtTop"), QStringLiteral("copy")}},
        {ActionSave, {QStringLiteral("mailboxMode"), QStringLiteral("customMailbox"), QStringLiteral("copy")}},
    };
    static const QSet<QString> allActionKeys = {
        QStringLiteral("type"), QStringLiteral("mailboxMode"), QStringLiteral("exitCode"),
        QStringLiteral("forwardAddresses"), QStringLiteral("customMailbox"), QStringLiteral("headerName"),
        QStringLiteral("headerValue"), QStringLiteral("headerToRemove"), QStringLiteral("addSubject"),
        QStringLiteral("removeSubject"), QStringLiteral("removeBetween"), QStringLiteral("betweenTop"),
        QStringLiteral("betweenBottom"), QStringLiteral("topMode"), QStringLiteral("topCount"),
        QStringLiteral("topLine"), QStringLiteral("bottomMode"), QStringLiteral("bottomCount"),
        QStringLiteral("bottomLine"), QStringLiteral("responseFile"), QStringLiteral("includeBody"),
        QStringLiteral("includeHeaders"), QStringLiteral("responseAtTop"), QStringLiteral("copy")};
    for (qsizetype j = 0; r.error.isEmpty() && j < actionArray.size(); ++j) {
        const QString where = QStringLiteral("actions[%1].").arg(j);
        if (!actionArray.at(j).isObject()) {
            r.Fail(where.chopped(1), QStringLiteral("must be an object"));
            break;
        }
        const QJsonObject o = actionArray.at(j).toObject();
        if (!r.CheckKeys(o, where, allActionKeys))
            break;
        qint32 type = -1;
        if (!o.contains(QStringLiteral("type")))
            r.Fail(where + QStringLiteral("type"), QStringLiteral("is required"));
        if (!r.Int(o, where, QStringLiteral("type"), 0, 9, &type) || !r.error.isEmpty())
            break;
        for (auto it = o.begin(); it != o.end(); ++it) {
            if (it.key() != QStringLiteral("type") && !ownKeys.value(type).contains(it.key()))
                r.Fail(where + it.key(), QStringLiteral("does not apply to an action of type %1").arg(type));
        }
        CActionDetails a;
        r.Int(o, where, QStringLiteral("mailboxMode"), 0, 1, &a.mailboxMode);
        r.Int(o, where, QStringLiteral("exitCode"), -2147483647 - 1, 2147483647, &a.exitCode);
        r.Lines(o, where, QStringLiteral("forwardAddresses"), &a.forwardAddresses);
        r.Text(o, where, QStringLiteral("customMailbox"), &a.customMailbox);
        r.Text(o, where, QStringLiteral("headerName"), &a.headerName);
        r.Text(o, where, QStringLiteral("headerValue"), &a.headerValue);
        r.Text(o, where, QStringLiteral("headerToRemove"), &a.headerToRemove);
        r.Text(o, where, QStringLiteral("addSubject"), &a.addSubject);
        r.Text(o, where, QStringLiteral("removeSubject"), &a.removeSubject);
        r.Flag(o, where, QStringLiteral("removeBetween"), &a.removeBetween);
        r.Text(o, where, QStringLiteral("betweenTop"), &a.betweenTop);
        r.Text(o, where, QStringLiteral("betweenBottom"), &a.betweenBottom);
        r.Int(o, where, QStringLiteral("topMode"), 0, 2, &a.topMode);
        r.Int(o, where, QStringLiteral("topCount"), 0, 2147483646, &a.topCount);
        r.Text(o, where, QStringLiteral("topLine"), &a.topLine);
        r.Int(o, where, QStringLiteral("bottomMode"), 0, 2, &a.bottomMode);
        r.Int(o, where, QStringLiteral("bottomCount"), 0, 2147483646, &a.bottomCount);
        r.Text(o, where, QStringLiteral("bottomLine"), &a.bottomLine);
        r.Text(o, where, QStringLiteral("responseFile"), &a.responseFile);
        r.Flag(o, where, QStringLiteral("includeBody"), &a.includeBody);
        r.Flag(o, where, QStringLiteral("includeHeaders"), &a.includeHeaders);
        r.Flag(o, where, QStringLiteral("responseAtTop"), &a.responseAtTop);
        r.Flag(o, where, QStringLiteral("copy"), &a.copy);
        if (type == ActionSave && !o.contains(QStringLiteral("mailboxMode")) && !a.customMailbox.isEmpty())
            a.mailboxMode = 1;
        d.AddAction(type, a);
    }

    // Settings of the identity the text is built for.
    if (r.error.isEmpty() && root.contains(QStringLiteral("settings"))) {
        const QJsonValue value = root.value(QStringLiteral("settings"));
        if (!value.isObject()) {
            r.Fail(QStringLiteral("settings"), QStringLiteral("must be an object"));
        } else {
            const QJsonObject o = value.toObject();
            const QString where = QStringLiteral("settings.");
            r.CheckKeys(o, where,
                        {QStringLiteral("maildirFormat"), QStringLiteral("returnAddress"), QStringLiteral("name"),
                         QStringLiteral("outOfMemory")});
            qint32 maildir = 0, oom = 0;
            r.Flag(o, where, QStringLiteral("maildirFormat"), &maildir);
            r.Flag(o, where, QStringLiteral("outOfMemory"), &oom);
            r.Text(o, where, QStringLiteral("returnAddress"), &s.returnAddress);
            r.Text(o, where, QStringLiteral("name"), &s.name);
            s.maildirFormat = maildir != 0;
            s.outOfMemory = oom != 0;
        }
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
        auto text = [&o](const char* key, const QByteArray& value) {
            o.insert(QLatin1String(key), QString::fromUtf8(value));
        };
        switch (type) {
        case ActionAddSubject:
            text("addSubject", a.addSubject);
            break;
        case ActionRemoveSubject:
            text("removeSubject", a.removeSubject);
            break;
        case ActionAddHeader:
            text("headerName", a.headerName);
            text("headerValue", a.headerValue);
            break;
        case ActionRemoveHeader:
            text("headerToRemove", a.headerToRemove);
            break;
        case ActionModifyBody:
            o.insert(QStringLiteral("removeBetween"), a.removeBetween != 0);
            text("betweenTop", a.betweenTop);
            text("betweenBottom", a.betweenBottom);
            o.insert(QStringLiteral("topMode"), a.topMode);
            o.insert(QStringLiteral("topCount"), a.topCount);
            text("topLine", a.topLine);
            o.insert(QStringLiteral("bottomMode"), a.bottomMode);
            o.insert(QStringLiteral("bottomCount"), a.bottomCount);
            text("bottomLine", a.bottomLine);
            break;
        case ActionExitCode:
            o.insert(QStringLiteral("exitCode"), a.exitCode);
            break;
        case ActionForward:
            o.insert(QStringLiteral("forwardAddresses"), SplitLines(a.forwardAddresses));
            o.insert(QStringLiteral("copy"), a.copy != 0);
            break;
        case ActionReply:
            text("responseFile", a.responseFile);
            o.insert(QStringLiteral("includeBody"), a.includeBody != 0);
            o.insert(QStringLiteral("includeHeaders"), a.includeHeaders != 0);
            o.insert(QStringLiteral("responseAtTop"), a.responseAtTop != 0);
            o.insert(QStringLiteral("copy"), a.copy != 0);
            break;
        case ActionSave:
            o.insert(QStringLiteral("mailboxMode"), a.mailboxMode);
            text("customMailbox", a.customMailbox);
            o.insert(QStringLiteral("copy"), a.copy != 0);
            break;
        default:
            break;
        }
        actions.append(o);
    }
    root.insert(QStringLiteral("actions"), actions);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}
