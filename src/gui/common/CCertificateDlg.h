#pragma once

#include "core/common/Prompt.h"
#include "core/net/TlsCertificate.h"

#include <QDialog>

class QCheckBox;
class QPushButton;

// The question about a server certificate that does not verify for its host: subject, issuer,
// validity and SHA-256 fingerprint, and whether to trust it (its fingerprint is then pinned). A
// certificate that is not the pinned one is a loud warning naming both fingerprints, whose
// replace button stays disabled until the user ticks that they mean it; Cancel is the default
// either way. Goes through Prompt: tests answer it with Prompt::QueueAnswer (Yes trusts).
class CCertificateDlg : public QDialog
{
    Q_OBJECT

public:
    // True when the user trusts the certificate (or replaces the pin with it on purpose).
    static bool Ask(
        const QString& server, const TlsCertificate& certificate, const QByteArray& pinned, QWidget* parent);

    CCertificateDlg(const Prompt::Record& record, bool changed, QWidget* parent);
    QPushButton* TrustButton() const { return m_trust; }
    // Only for a changed certificate; null otherwise.
    QCheckBox* ConfirmBox() const { return m_confirm; }

private:
    QPushButton* m_trust = nullptr;
    QCheckBox* m_confirm = nullptr;
};
