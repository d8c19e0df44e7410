#include "gui/app/CAboutDlg.h"

#include "gui/common/CHyperLink.h"
#include "gui/common/Help.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

QString CAboutDlg::VersionText()
{
    const QString version = QApplication::applicationVersion().isEmpty() ? QStringLiteral(ZEPH_VERSION)
                                                                         : QApplication::applicationVersion();
    const QString build = version.section(QLatin1Char('.'), -1);
    return QStringLiteral("  ZEPH %1\r\n  Version %2 (Build %3)")
        .arg(QStringLiteral("Copyright (C) the ZEPH authors"), version, build);
}

CAboutDlg::CAboutDlg(const QString& homePage, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About ZEPH"));
    SetHelpTopic(this, QStringLiteral("intro.html"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(VersionText(), this);
    text->setTextFormat(Qt::PlainText);
    layout->addWidget(text);
    auto* link = new CHyperLink(this);
    link->SetURL(homePage);
    layout->addWidget(link);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
