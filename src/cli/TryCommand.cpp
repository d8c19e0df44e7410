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
    QString procmailrc;
    bool json = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--json"))
            json = true;
        else if (arg == QLatin1String("--procmailrc") && i + 1 == args.size())
            return CliFail(QStringLiteral("try: --procmailrc needs a file"), 2);
        else if (arg == QLatin1String("--procmailrc"))
            procmailrc = args[++i];
        else if (arg.startsWith(QLatin1String("--")))
            return CliFail(QStringLiteral("try: unknown option %1").arg(arg), 2);
        else
            files << arg;
    }
    if (files.size() != 2)
        return CliFail(
            QStringLiteral("usage: zeph-cli try [--procmailrc FILE] RECIPEFILE MESSAGE [--json]"), 2);
    CTrialRun::Request request;
    QString error;
    if (!ReadAll(files[0], &request.recipes, &error) || !ReadAll(files[1], &request.message, &error)
        || (!procmailrc.isEmpty() && !ReadAll(procmailrc, &request.procmailrc, &error)))
        return CliFail(error);
    CTrialRun::Result result;
    if (!CTrialRun::Run(request, &result, &error))
        return CliFail(error);
    // Recipes left out are a warning on either form: the JSON keys hold what procmail did.
    if (!result.note.isEmpty())
        CliErr(QString::fromUtf8(CliPrintable(result.note.toUtf8())) + u'\n');

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
    // Names, folders and headers come from the recipe file and the message: never raw on a terminal.
    const auto shown = [](const QString& value) { return QString::fromUtf8(CliPrintable(value.toUtf8())); };
    QString text;
    for (const QByteArray& name : std::as_const(result.matched))
        text += QStringLiteral("matched: %1\n").arg(QString::fromUtf8(CliPrintable(name)));
    for (const CTrialRun::Delivery& d : std::as_const(result.deliveries)) {
        text += QStringLiteral("delivered: %1 (%2 bytes)\n").arg(shown(d.folder)).arg(d.bytes);
        for (const QString& change : d.changes)
            text += QStringLiteral("  %1\n").arg(shown(change));
    }
    for (const CTrialRun::SentMail& m : std::as_const(result.sent))
        text += QStringLiteral("would send to %1: %2\n")
                    .arg(shown(m.to.join(QStringLiteral(", "))), shown(m.subject));
    for (const QString& e : std::as_const(result.errors))
        text += QStringLiteral("procmail: %1\n").arg(shown(e));
    CliOut(text);
    return 0;
}

const CliCommandRegistration registration(CliCommand { "try",
    "  try [--procmailrc FILE] RECIPEFILE MESSAGE [--json]\n"
    "                              runs the recipe file on one message with the local procmail\n"
    "                              in a throwaway folder (nothing is sent), through the given\n"
    "                              .procmailrc if any, and prints the recipes\n"
    "                              matched, each delivery, each mail that would be sent and\n"
    "                              procmail's complaints; --json prints one object with the keys\n"
    "                              matched, deliveries [{folder, bytes}], sent [{to, subject}],\n"
    "                              errors",
    tryCommand });

} // namespace
