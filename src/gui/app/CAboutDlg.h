#pragma once

#include <QDialog>

// "About ZEPH": name, version and build, and a link to the home page.
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    CAboutDlg(const QString& homePage, QWidget* parent = nullptr);
    static QString VersionText();
};
