#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// Certificates for the TLS tests, made by the openssl program in a folder of their own: a CA of
// the test's own, a server certificate it signed for 127.0.0.1 and localhost, one it signed for
// another name, and two self-signed ones for 127.0.0.1 (the second stands for a swapped server).
class TestCertificates
{
public:
    struct Pair
    {
        QString certificate;
        QString key;
        // As `openssl x509 -fingerprint -sha256` prints it: upper-case hex pairs joined by colons.
        QString fingerprint;
    };
    enum Which { SelfSigned, SelfSignedOther, CaSigned, CaSignedOtherName };

    // False with a message naming the missing package or the failed step.
    bool Create(QString* error);
    Pair Get(Which which) const { return m_pairs[which]; }
    // The CA's certificate, for SSL_CERT_FILE.
    QString CaFile() const { return m_caFile; }

private:
    bool openssl(const QStringList& args, QString* error, QByteArray* output = nullptr);
    bool makePair(Which which, const QString& name, const QString& altNames, bool signedByCa, QString* error);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_caFile;
    QString m_caKey;
    Pair m_pairs[4];
};

// Points OpenSSL's default trust store at `file` (the test's own CA) while it lives, and back at
// what it was afterwards.
class ScopedCertFile
{
public:
    explicit ScopedCertFile(const QString& file);
    ~ScopedCertFile();

private:
    QByteArray m_old;
    bool m_hadOld;
};
