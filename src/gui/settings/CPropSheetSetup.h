#pragma once

#include <QDialog>

class CPropPageEmail;
class CPropPageFTP;
class CPropPageForward;
class CPropPageProcmailrc;
class IShell;
class QDialogButtonBox;
class QTabWidget;

// The Settings sheet: the pages "FTP", ".forward/.qmail", "Misc" and ".procmailrc". OK (and
// Apply, where it is shown) applies the pages in this order; a page that refuses becomes the
// current page and the sheet stays open.
class CPropSheetSetup : public QDialog
{
    Q_OBJECT
public:
    enum Page { FtpPage = 0, ForwardPage = 1, MiscPage = 2, ProcmailrcPage = 3 };

    CPropSheetSetup(const QString& caption, QWidget* parent, int firstPage, bool showApply = false);

    // Opens the sheet as the shell's callers do: the three files must not stay open in an editor
    // window (Cancel there closes nothing and opens no sheet); when the sheet closes, the Pending
    // Files dialog is offered as the "Misc" page says. Returns the dialog's result.
    static int Run(IShell& shell, const QString& caption, int firstPage, bool showApply = false);

    bool Apply();
    void accept() override;

    QTabWidget* Tabs() const { return m_tabs; }
    QDialogButtonBox* Buttons() const { return m_buttons; }
    CPropPageFTP* FtpPagePtr() const { return m_ftp; }
    CPropPageForward* ForwardPagePtr() const { return m_forward; }
    CPropPageEmail* MiscPagePtr() const { return m_misc; }
    CPropPageProcmailrc* ProcmailrcPagePtr() const { return m_procmailrc; }

private:
    QTabWidget* m_tabs = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    CPropPageFTP* m_ftp = nullptr;
    CPropPageForward* m_forward = nullptr;
    CPropPageEmail* m_misc = nullptr;
    CPropPageProcmailrc* m_procmailrc = nullptr;
};
