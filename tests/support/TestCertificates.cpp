#include "TestCertificates.h"

#include <QDir>
#include <QFile>
#include <QProcess>

bool TestCertificates::openssl(const QStringList& args, QString* error, QByteArray* output)
{
    QProcess process;
    process.start(QStringLiteral("openssl"), args);
    if (!process.waitForStarted(10000)) {
        *error = QStringLiteral("openssl could not be started: install the Debian package openssl");
        return false;
    }
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        *error
            = QStringLiteral("openssl %1 failed: %2")
                  .arg(args.join(QLatin1Char(' ')), QString::fromLocal8Bit(process.readAllStandardError()));
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return true;
}

bool TestCertificates::makePair(
    Which which, const QString& name, const QString& altNames, bool signedByCa, QString* error)
{
    Pair& pair = m_pairs[which];
    const QString base = m_dir->filePath(QStringLiteral("server%1").arg(int(which)));
    pair.certificate = base + QStringLiteral(".pem");
    pair.key = base + QStringLiteral(".key");
    const QString subject = QStringLiteral("/CN=%1/O=Zeph Test %2").arg(name).arg(int(which));
    if (signedByCa) {
        const QString extensions = base + QStringLiteral(".ext");
        QFile file(extensions);
        if (!file.open(QIODevice::WriteOnly)
            || file.write(QStringLiteral("subjectAltName=%1\nbasicConstraints=CA:FALSE\n"
                                         "extendedKeyUsage=serverAuth\n")
                              .arg(altNames)
                              .toUtf8())
                <= 0) {
            *error = QStringLiteral("cannot write %1").arg(extensions);
            return false;
        }
        file.close();
        if (!openssl(
                { QStringLiteral("req"), QStringLiteral("-new"), QStringLiteral("-newkey"),
                    QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"), pair.key,
                    QStringLiteral("-out"), base + QStringLiteral(".csr"), QStringLiteral("-subj"), subject },
                error)
            || !openssl(
                { QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                    base + QStringLiteral(".csr"), QStringLiteral("-CA"), m_caFile, QStringLiteral("-CAkey"),
                    m_caKey, QStringLiteral("-CAcreateserial"), QStringLiteral("-days"), QStringLiteral("2"),
                    QStringLiteral("-out"), pair.certificate, QStringLiteral("-extfile"), extensions },
                error))
            return false;
    } else if (!openssl({ QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                            QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"),
                            pair.key, QStringLiteral("-out"), pair.certificate, QStringLiteral("-days"),
                            QStringLiteral("2"), QStringLiteral("-subj"), subject, QStringLiteral("-addext"),
                            QStringLiteral("subjectAltName=%1").arg(altNames) },
                   error)) {
        return false;
    }
    QByteArray output;
    if (!openssl({ QStringLiteral("x509"), QStringLiteral("-noout"), QStringLiteral("-fingerprint"),
                     QStringLiteral("-sha256"), QStringLiteral("-in"), pair.certificate },
            error, &output))
        return false;
    pair.fingerprint = QString::fromLatin1(output.mid(output.indexOf('=') + 1).trimmed());
    return true;
}

bool TestCertificates::Create(QString* error)
{
    m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/zeph-certs-XXXXXX"));
    if (!m_dir->isValid()) {
        *error = QStringLiteral("no temporary folder for the certificates");
        return false;
    }
    m_caFile = m_dir->filePath(QStringLiteral("ca.pem"));
    m_caKey = m_dir->filePath(QStringLiteral("ca.key"));
    const QString local = QStringLiteral("IP:127.0.0.1,DNS:localhost");
    return openssl({ QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                       QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"),
                       m_caKey, QStringLiteral("-out"), m_caFile, QStringLiteral("-days"),
                       QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=Zeph Test CA"),
                       QStringLiteral("-addext"), QStringLiteral("basicConstraints=critical,CA:TRUE"),
                       QStringLiteral("-addext"), QStringLiteral("keyUsage=critical,keyCertSign,cRLSign") },
               error)
        && makePair(SelfSigned, QStringLiteral("127.0.0.1"), local, false, error)
        && makePair(SelfSignedOther, QStringLiteral("127.0.0.1"), local, false, error)
        && makePair(CaSigned, QStringLiteral("localhost"), local, true, error)
        && makePair(CaSignedOtherName, QStringLiteral("ftp.example.org"),
            QStringLiteral("DNS:ftp.example.org"), true, error);
}

ScopedCertFile::ScopedCertFile(const QString& file)
    : m_old(qgetenv("SSL_CERT_FILE"))
    , m_hadOld(qEnvironmentVariableIsSet("SSL_CERT_FILE"))
{
    qputenv("SSL_CERT_FILE", QFile::encodeName(file));
}

ScopedCertFile::~ScopedCertFile()
{
    if (m_hadOld)
        qputenv("SSL_CERT_FILE", m_old);
    else
        qunsetenv("SSL_CERT_FILE");
}
