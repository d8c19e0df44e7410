#pragma once

#include "core/net/TestMail.h"
#include "gui/common/CResizingDialog.h"

#include <QList>

class CMessageLine;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "Send E-Mail Dialog": composes a test message (envelope, header fields, up to five whole header
// lines, body) and sends it through the SMTP configuration. The send runs on a worker while a
// working dialog offers Cancel; the fields persist from one opening to the next.
class CSendMailDlg : public CResizingDialog
{
    Q_OBJECT

public:
    // The control ids of the header fields: "Last hdr modified" stores one of them.
    enum FieldId {
        EnvelopeToId = 1256,
        EnvelopeFromId = 1258,
        ToId = 1253,
        FromId = 1254,
        SubjectId = 1110,
        Custom1Id = 1259,
        Custom2Id = 1260,
        Custom3Id = 1261,
        Custom4Id = 1278,
        Custom5Id = 1280,
    };
    static constexpr int CustomCount = 5;
    static constexpr int StoredBodyLength = 1000;

    explicit CSendMailDlg(QWidget* parent);

    // "&Send Message".
    void Send();
    // "Clear &Headers": the ten header fields, not the body.
    void ClearHeaders();
    // "Con&figuration".
    void Configure();

    QString StatusText() const;

protected:
    void done(int result) override;

private:
    // The send itself, after the question about the envelope; again after a certificate is trusted.
    void sendNow();
    QLineEdit* field(int id) const;
    TestMail::Message message() const;
    void focusProblem(const TestMail::Problem& problem);
    void setStatus(const QString& text, bool highlighted);
    void store();

    QLineEdit* m_envelopeFrom;
    QLineEdit* m_envelopeTo;
    QLineEdit* m_to;
    QLineEdit* m_from;
    QLineEdit* m_subject;
    QList<QLineEdit*> m_custom;
    QCheckBox* m_addDate;
    QCheckBox* m_closeOnSend;
    QPlainTextEdit* m_body;
    CMessageLine* m_status;
    QPushButton* m_configure;
    QString m_password;
    int m_lastModified = -1;
};
