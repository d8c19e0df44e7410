#include "core/settings/CSha1.h"

#include <QIODevice>

#include <memory>
#include <openssl/evp.h>

namespace {

using DigestContext = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

} // namespace

bool CSha1::HashFile(QIODevice& file, QByteArray* digest)
{
    if (!file.seek(0)) {
        m_errorText = file.errorString().left(399);
        return false;
    }
    DigestContext context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha1(), nullptr) != 1) {
        m_errorText = QStringLiteral("Out of memory.");
        return false;
    }
    char buffer[1024];
    for (;;) {
        const qint64 got = file.read(buffer, sizeof buffer);
        if (got < 0) {
            m_errorText = file.errorString().left(399);
            return false;
        }
        EVP_DigestUpdate(context.get(), buffer, static_cast<size_t>(got));
        if (got < static_cast<qint64>(sizeof buffer))
            break;
    }
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context.get(), out, &length);
    *digest = QByteArray(reinterpret_cast<const char*>(out), static_cast<int>(length));
    return true;
}

QByteArray CSha1::Hash(const QByteArray& data)
{
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(data.constData(), static_cast<size_t>(data.size()), out, &length, EVP_sha1(), nullptr);
    return QByteArray(reinterpret_cast<const char*>(out), static_cast<int>(length));
}
