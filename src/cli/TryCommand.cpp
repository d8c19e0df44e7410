#include "CliCommand.h"
#include "core/trial/CTrialRun.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

bool ReadAll(const QString& path, QByteArray* data, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    *data = file.readAll();
    return true;
}

int tryCommand(const QStringList& args)
{
    QStringList files;
    bool json = false;
    for (const QString& arg : args) {
        if (arg == QLatin1String("--json"))
            json = true;
        else if (arg.startsWith(QLatin1String("--")))
            return CliFail(QStringLiteral("try: unknown option %1").arg(arg), 2);
        else
            files << arg;
    }
    if (files.size() != 2)
        return CliFail(QStringLiteral("usage: zeph-cli try RECIPEFILE MESSAGE [--json]"), 2);
    QByteArray recipes, message;
    QString error;
    if (!ReadAll(files[0], &recipes, &error) || !ReadAll(files[1], &message, &error))
        return CliFail(error);
    CTrialRun::Result result;
    if (!CTrialRun::Run(recipes, message, &result, &error))
        return CliFail(error);

    if (json) {
        QJsonArray matched, deliveries, sent, errors;
        for (const QByteArray& name : std::as_const(result.matched))
            matched.append(QString::fromUtf8(name));
        for (const CTrialRun::Delivery& d : std::as_const(result.deliveries))
            deliveries.append(
                QJsonObject { { QStringLiteral("folder"), d.folder }, { QStringLiteral("bytes"), d.bytes } });
        for (const CTrialRun::SentMail& m : std::as_const(result.sent))
            sent.append(QJsonObject { { QStringLiteral("to"), QJsonArray::fromStringList(m.to) },
                { QStringLiteral("subject"), m.subject } });
        for (const QString& e : std::as_const(result.errors))
            errors.append(e);
        const QJsonObject object { { QStringLiteral("matched"), matched },
            { QStringLiteral("deliveries"), deliveries }, { QStringLiteral("sent"), sent },
            { QStringLiteral("errors"), errors } };
        CliOutBytes(QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n');
        return 0;
    }
    QString text;
    for (const QByteArray& name : std::as_const(result.matched))
        text += QStringLiteral("matched: %1\n").arg(QString::fromUtf8(CliPrintable(name)));
    for (const CTrialRun::Delivery& d : std::as_const(result.deliveries))
        text += QStringLiteral("delivered: %1 (%2 bytes)\n").arg(d.folder).arg(d.bytes);
    for (const CTrialRun::SentMail& m : std::as_const(result.sent))
        text += QStringLiteral("would send to %1: %2\n").arg(m.to.join(QStringLiteral(", ")), m.subject);
    for (const QString& e : std::as_const(result.errors))
        text += QStringLiteral("procmail: %1\n").arg(e);
    CliOut(text);
    return 0;
}

const CliCommandRegistration registration(CliCommand { "try",
    "  try RECIPEFILE MESSAGE [--json]\n"
    "                              runs the recipe file on one message with the local procmail\n"
    "                              in a throwaway folder (nothing is sent) and prints the recipes\n"
    "                              matched, each delivery, each mail that would be sent and\n"
    "                              procmail's complaints; --json prints one object with the keys\n"
    "                              matched, deliveries [{folder, bytes}], sent [{to, subject}],\n"
    "                              errors",
    tryCommand });

} // namespace
