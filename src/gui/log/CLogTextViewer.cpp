#include "gui/log/CLogTextViewer.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

CLogTextViewer::CLogTextViewer(const QString& persistenceName, const QString& caption, const QString& text,
                               bool wrapLines, double growthFactor, QWidget* parent)
    : QDialog(parent), m_edit(new QPlainTextEdit(this))
{
    setObjectName(persistenceName);
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);
    m_edit->setReadOnly(true);
    m_edit->setLineWrapMode(wrapLines ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    m_edit->setPlainText(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
    resize(static_cast<int>(420 * growthFactor), static_cast<int>(300 * growthFactor));
}

QString CLogTextViewer::Text() const
{
    return m_edit->toPlainText();
}
