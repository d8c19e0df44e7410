#include "gui/common/CTextViewerDlg.h"

#include "gui/common/FontSetting.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

CTextViewerDlg::CTextViewerDlg(const QString& text, const QString& persistenceName, QWidget* parent,
    const QString& caption, bool noWrap, double growth)
    : CResizingDialog(155, parent, persistenceName, growth)
    , m_text(new QPlainTextEdit(this))
{
    setWindowTitle(caption.isEmpty() ? QStringLiteral("Unparsed Data") : caption);
    auto* layout = new QVBoxLayout(this);
    m_text->setReadOnly(true);
    QFont font;
    if (LoadFontSetting(Settings::EditorFont, &font))
        m_text->setFont(font);
    else
        m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(noWrap ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    m_text->setPlainText(text);
    m_text->setMinimumSize(420, 260);
    layout->addWidget(m_text, 1);
    auto* row = new QHBoxLayout;
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setDefault(true);
    row->addStretch();
    row->addWidget(close);
    row->addStretch();
    layout->addLayout(row);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}
