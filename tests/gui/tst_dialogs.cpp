// The shared dialogs and controls.
#include "core/common/Prompt.h"
#include "core/settings/CAppState.h"
#include "core/settings/CUserData.h"
#include "core/settings/Profile.h"
#include "gui/app/CTipDlg.h"
#include "gui/common/CCheckQuestionDlg.h"
#include "gui/common/CColourPopup.h"
#include "gui/common/CFileEditorDlg.h"
#include "gui/common/CFindReplaceDlg.h"
#include "gui/common/CHyperLink.h"
#include "gui/common/CInputDlg.h"
#include "gui/common/CPercentProgressCtrl.h"
#include "gui/common/CPermissionsDlg.h"
#include "gui/common/CResizingDialog.h"
#include "gui/common/CTabPromptEdit.h"
#include "gui/common/CTextViewerDlg.h"
#include "gui/common/CWorkingDlg.h"
#include "gui/common/ColumnLayout.h"
#include "gui/common/FileDialogs.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {
QString S(const char* text)
{
    return QString::fromLatin1(text);
}
} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

private slots:
    void initTestCase()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", (m_dir->path() + QStringLiteral("/data")).toUtf8());
    }

    void init()
    {
        CAppState::Instance().Reset();
        SetSetting(Settings::DocumentDirectory, m_dir->path() + QStringLiteral("/"));
        Prompt::ClearHistory();
        CCheckQuestionDlg::ClearQueuedCheckStates();
        FileDialogs::ClearQueue();
    }

    void checkQuestion_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("initial");
        QTest::addColumn<bool>("box");
        QTest::addColumn<bool>("expected");
        QTest::newRow("Yes ticks") << int(Prompt::Yes) << false << true << true;
        QTest::newRow("No clears") << int(Prompt::No) << true << false << false;
        QTest::newRow("Cancel leaves") << int(Prompt::Cancel) << true << false << true;
    }

    void checkQuestion()
    {
        QFETCH(int, answer);
        QFETCH(bool, initial);
        QFETCH(bool, box);
        QFETCH(bool, expected);
        bool value = initial;
        Prompt::QueueAnswer(Prompt::Button(answer));
        CCheckQuestionDlg::QueueCheckState(box);
        QCOMPARE(CCheckQuestionDlg::Ask(S("Q?"), S("Caption"), S("Check"), &value, nullptr, S("t.html"),
                     CCheckQuestionDlg::YesNoCancel),
            Prompt::Button(answer));
        QCOMPARE(value, expected);
        QCOMPARE(Prompt::History().last().checkBoxValue, initial);
    }

    // The real dialog: Help leaves it open; YesNo has no Cancel; the box goes back on Yes.
    void checkQuestionDialog()
    {
        CCheckQuestionDlg dialog(S("Question"), S("Caption"), S("Remember"), false, nullptr, S("log.html"),
            CCheckQuestionDlg::YesNo);
        const QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
        QStringList texts;
        for (QPushButton* b : buttons)
            texts << b->text();
        QCOMPARE(texts, (QStringList { S("&Yes"), S("&No"), S("&Help") }));
        dialog.show();
        buttons.last()->click();
        QVERIFY(dialog.isVisible());
        dialog.findChild<QCheckBox*>()->setChecked(true);
        buttons.first()->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.Result(), Prompt::Yes);
        QVERIFY(dialog.Checked());
    }

    // The tip index runs 0..15 and wraps; tips 3 and 15 are the same; a stored index out of range wraps.
    void tipOfTheDay()
    {
        SetSetting(Settings::NextTipOfDay, 0);
        CTipDlg dialog;
        QCOMPARE(GetSetting(Settings::NextTipOfDay), 1);
        for (int i = 1; i < 16; ++i)
            dialog.ShowNextTip();
        QCOMPARE(GetSetting(Settings::NextTipOfDay), 0);
        QCOMPARE(CTipDlg::Tip(3), CTipDlg::Tip(15));
        SetSetting(Settings::NextTipOfDay, -1);
        QCOMPARE(CTipDlg::NextIndex(), 15);
        SetSetting(Settings::NextTipOfDay, 17);
        QCOMPARE(CTipDlg::NextIndex(), 1);
        dialog.ShowAtStartup()->setChecked(false);
        dialog.accept();
        QCOMPARE(GetSetting(Settings::ShowTipOfDay), 0);
    }

    // Every tip fits the panel as laid out with the font's metrics, and the dialog opens centred
    // on its owner.
    void tipFitsAndIsCentred()
    {
        QWidget owner;
        owner.setGeometry(200, 150, 1000, 700);
        owner.show();
        SetSetting(Settings::NextTipOfDay, 0);
        CTipDlg dialog(&owner);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QPoint offset = dialog.frameGeometry().center() - owner.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 4,
            qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
        for (int i = 0; i < 16; ++i) {
            QVERIFY2(
                dialog.Panel()->RequiredHeight() <= dialog.Panel()->height(), qPrintable(CTipDlg::Tip(i)));
            dialog.ShowNextTip();
        }
        dialog.reject();
    }

    void tipLines_data()
    {
        QTest::addColumn<QString>("tip");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("fits") << S("one two") << 45 << QStringList { S("one two ") };
        QTest::newRow("breaks below the limit")
            << S("aaaa bbbb cccc") << 10 << QStringList { S("aaaa "), S("bbbb "), S("cccc ") };
        QTest::newRow("runs of blanks") << S("a   b") << 45 << QStringList { S("a b ") };
        QTest::newRow("ten lines at most") << QString(S("w ")).repeated(30) << 3 << QStringList(10, S("w "));
    }

    void tipLines()
    {
        QFETCH(QString, tip);
        QFETCH(int, limit);
        QFETCH(QStringList, lines);
        QCOMPARE(CTipPanel::BreakIntoLines(tip, limit), lines);
    }

    // Size keys, first growth, stored size at the next opening.
    void resizingDialog()
    {
        CResizingDialog named(155, nullptr, S("Remote file"), 1.5);
        QCOMPARE(named.KeyPrefix(), S("Dlg Remote file "));
        CResizingDialog unnamed(129, nullptr, QString(), 3.0);
        QCOMPARE(unnamed.KeyPrefix(), S("Dlg#129 "));
        {
            CResizingDialog dialog(200, nullptr, S("Sized"), 1.5);
            dialog.setMinimumSize(100, 100);
            dialog.resize(100, 100);
            dialog.show();
            QVERIFY(dialog.width() >= 150);
            dialog.resize(400, 300);
            QApplication::processEvents();
            dialog.accept();
        }
        QCOMPARE(GetProfileInt(S("Dialogs"), S("Dlg Sized Width"), 0), 400);
        QCOMPARE(GetProfileInt(S("Dialogs"), S("Dlg Sized Height"), 0), 300);
        QCOMPARE(GetProfileInt(S("Dialogs"), S("Dlg Sized Maximize"), -1), 0);
        CResizingDialog again(200, nullptr, S("Sized"), 1.5);
        again.setMinimumSize(100, 100);
        again.resize(100, 100);
        again.show();
        QCOMPARE(again.size(), QSize(400, 300));
        again.reject();
    }

    void columnLayout()
    {
        // The layouts are stored under the names of the log list's settings.
        const QString storedOrder = S("Log Display Col Order");
        const QString storedWidths = S("Log Display Col widths");
        QTableWidget table(2, 4);
        table.resize(450, 200);
        QHeaderView* header = table.horizontalHeader();
        QVERIFY(!RestoreColumnWidths(header, Settings::LogColumnWidths));
        QCOMPARE(header->sectionSize(0), qMax(50, (header->width() - 50) / 4));
        header->moveSection(3, 0);
        QVERIFY(SaveColumnOrder(header, Settings::LogColumnOrder));
        QList<qint32> stored;
        QVERIFY(CurrentUserData().GetIntArray(storedOrder, &stored));
        QCOMPARE(stored, QList<qint32>({ 3, 0, 1, 2 }));
        header->moveSection(0, 3);
        QVERIFY(RestoreColumnOrder(header, Settings::LogColumnOrder));
        QCOMPARE(header->logicalIndex(0), 3);
        // A stored order that does not fit is not applied.
        CurrentUserData().SetIntArray(storedOrder, { 0, 0, 1, 2 });
        QVERIFY(!RestoreColumnOrder(header, Settings::LogColumnOrder));
        QCOMPARE(header->logicalIndex(0), 3);
        CurrentUserData().SetIntArray(storedWidths, { 60, 70, 80, 90, 100 });
        header->resizeSection(0, 33);
        QVERIFY(!RestoreColumnWidths(header, Settings::LogColumnWidths));
        QCOMPARE(header->sectionSize(0), 33);
        CurrentUserData().SetIntArray(storedWidths, { 0x10000 + 61, 72 });
        QVERIFY(RestoreColumnWidths(header, Settings::LogColumnWidths));
        QCOMPARE(header->sectionSize(0), 61);
        QVERIFY(SaveColumnWidths(header, Settings::RemoteFilesColumnWidths));
        QVERIFY(CurrentUserData().GetIntArray(S("Remote Files Col widths"), &stored));
        QCOMPARE(stored.size(), 4);
        QCOMPARE(stored[0], 61);
        QVERIFY(!SaveColumnWidths(nullptr, Settings::RemoteFilesColumnWidths));
    }

    void inputDialog()
    {
        QString first = S("old");
        QString second = S("old2");
        CInputDlg dialog(S("Title"), S("Name"), &first, S("Value"), &second);
        dialog.Field1()->setText(S("x"));
        dialog.accept();
        QCOMPARE(Prompt::History().last().text,
            S("You have not entered anything in the \"Value\" box.  Please do so, or hit cancel to quit."));
        QCOMPARE(Prompt::History().last().caption, S("Nothing entered!"));
        QCOMPARE(first, S("old"));
        dialog.Field2()->setText(S("y"));
        dialog.accept();
        QCOMPARE(first, S("x"));
        QCOMPARE(second, S("y"));
        QString only;
        CInputDlg single(QString(), S("Password"), &only, QString(), nullptr, nullptr, true);
        QCOMPARE(single.Field1()->echoMode(), QLineEdit::Password);
        QVERIFY(single.Field2()->isHidden());
        single.reject();
        QVERIFY(only.isEmpty());
    }

    void permissions_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("shown");
        QTest::newRow("644 kept") << 644 << 644;
        QTest::newRow("755 kept") << 755 << 755;
        QTest::newRow("default starts clear") << -1 << 0;
        QTest::newRow("not octal starts clear") << 999 << 0;
        QTest::newRow("group and world write preset without asking") << 666 << 666;
    }

    void permissions()
    {
        QFETCH(int, start);
        QFETCH(int, shown);
        int result = start;
        CPermissionsDlg dialog(&result, true);
        QCOMPARE(dialog.Value(), shown);
        QVERIFY(Prompt::History().isEmpty());
        dialog.accept();
        QCOMPARE(result, shown);
    }

    // Ticking group write on a file asks; only Yes keeps the tick. Directories are not asked.
    void permissionsWriteQuestion()
    {
        int result = 600;
        CPermissionsDlg dialog(&result, true);
        Prompt::QueueAnswer(Prompt::Cancel);
        dialog.Box(CPermissionsDlg::GroupWrite)->setChecked(true);
        QVERIFY(!dialog.Box(CPermissionsDlg::GroupWrite)->isChecked());
        QCOMPARE(Prompt::History().last().caption, S("Group Writeable okay?"));
        QCOMPARE(Prompt::History().last().defaultButton, Prompt::No);
        Prompt::QueueAnswer(Prompt::Yes);
        dialog.Box(CPermissionsDlg::WorldWrite)->setChecked(true);
        QVERIFY(dialog.Box(CPermissionsDlg::WorldWrite)->isChecked());
        dialog.Box(CPermissionsDlg::GroupRead)->setChecked(true);
        dialog.Box(CPermissionsDlg::WorldRead)->setChecked(true);
        QCOMPARE(dialog.Value(), 646);
        Prompt::ClearHistory();
        int directory = 700;
        CPermissionsDlg folder(&directory, false);
        QCOMPARE(folder.windowTitle(), S("Changing directory permissions"));
        folder.Box(CPermissionsDlg::GroupWrite)->setChecked(true);
        QVERIFY(Prompt::History().isEmpty());
    }

    void workingDialog()
    {
        CWorkingDlg dialog(nullptr, S("Loading log data"), S("Please wait"), true);
        dialog.Create();
        QCOMPARE(dialog.windowModality(), Qt::ApplicationModal);
        QCOMPARE(dialog.AnimationText(), S(".......working.........................................."));
        for (int i = 0; i < 8; ++i)
            dialog.AdvanceAnimation();
        QCOMPARE(dialog.AnimationText(), CWorkingDlg::AnimationTexts().at(0));
        dialog.SetPos(42);
        QCOMPARE(dialog.Bar()->Text(), S("42%"));
        QVERIFY(!dialog.CheckCancel());
        dialog.reject();
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.CheckCancel());
    }

    void fileEditorNewLetter()
    {
        QString saved = S("stale");
        {
            CFileEditorDlg dialog(&saved, nullptr, false);
            QCOMPARE(dialog.windowTitle(), S("Reply letter - [Untitled1]"));
            dialog.NewText();
            QCOMPARE(dialog.windowTitle(), S("Reply letter - [Untitled2]"));
            dialog.NewText();
            QCOMPARE(dialog.windowTitle(), S("Reply letter - [Untitled3]"));
            dialog.Editor()->insertPlainText(S("Away until Monday\n"));
            const QString path = m_dir->path() + S("/reply.txt");
            FileDialogs::QueueAnswer(path);
            QVERIFY(dialog.Save());
            QCOMPARE(dialog.windowTitle(), S("Reply letter - [%1]").arg(path));
            dialog.reject();
        }
        // Cancel after saving still gives the caller nothing.
        QCOMPARE(saved, QString());
    }

    void fileEditorExistingFile()
    {
        const QString path = m_dir->path() + S("/.forward");
        QByteArray content(30000, 'a');
        content.replace(100, 2, "\r\n");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        CFileEditorDlg dialog(path, nullptr, true);
        QCOMPARE(dialog.Editor()->toPlainText().size(), 29999);
        QCOMPARE(dialog.windowTitle(), QFileInfo(path).absoluteFilePath());
        // Unmodified: Save writes nothing and succeeds.
        QFile::remove(path);
        QVERIFY(dialog.Save());
        QVERIFY(!QFile::exists(path));
        dialog.Editor()->insertPlainText(S("x"));
        Prompt::QueueAnswer(Prompt::Cancel);
        dialog.accept();
        QCOMPARE(Prompt::History().last().caption, S("Save changes to file?"));
        QVERIFY(Prompt::History().last().text.contains(S("Do you  want to save the changes?")));
        Prompt::QueueAnswer(Prompt::Yes);
        dialog.accept();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        // A file for the host is written with LF.
        QVERIFY(!file.readAll().contains('\r'));
    }

    void tabPromptEdit_data()
    {
        QTest::addColumn<int>("setting");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("remember");
        QTest::addColumn<bool>("tabInserted");
        QTest::addColumn<int>("stored");
        QTest::newRow("insert") << 1 << -1 << false << true << 1;
        QTest::newRow("move") << 2 << -1 << false << false << 2;
        QTest::newRow("ask, cancel") << 0 << int(Prompt::Cancel) << false << false << 0;
        QTest::newRow("ask, yes") << 0 << int(Prompt::Yes) << false << true << 0;
        QTest::newRow("ask, yes, remember") << 0 << int(Prompt::Yes) << true << true << 1;
        QTest::newRow("ask, no, remember") << 0 << int(Prompt::No) << true << false << 2;
    }

    void tabPromptEdit()
    {
        QFETCH(int, setting);
        QFETCH(int, answer);
        QFETCH(bool, remember);
        QFETCH(bool, tabInserted);
        QFETCH(int, stored);
        SetSetting(Settings::RecipeWizEditTab, setting);
        QWidget form;
        auto* edit = new CTabPromptEdit(&form);
        edit->setPlainText(S("ab"));
        edit->selectAll();
        if (answer >= 0) {
            Prompt::QueueAnswer(Prompt::Button(answer));
            CCheckQuestionDlg::QueueCheckState(remember);
        }
        edit->HandleTab();
        QCOMPARE(edit->toPlainText(), tabInserted ? S("\t") : S("ab"));
        QCOMPARE(GetSetting(Settings::RecipeWizEditTab), stored);
        QCOMPARE(Prompt::History().isEmpty(), answer < 0);
    }

    void colourPopup()
    {
        QCOMPARE(CColourPopup::Palette().size(), 40);
        QCOMPARE(QString::fromLatin1(CColourPopup::Palette()[35].name), S("Pale green "));
        QWidget owner;
        auto* popup = new CColourPopup(QPoint(0, 0), 0xFF0000u, S("Automatic"), S("More colours..."), &owner);
        QCOMPARE(popup->CurrentEntry(), 16); // Red
        QSignalSpy changed(popup, &CColourPopup::ColourChanged);
        QSignalSpy accepted(popup, &CColourPopup::ColourAccepted);
        popup->MoveHighlight(Qt::Key_Right);
        QCOMPARE(popup->Highlight(), 16);
        popup->MoveHighlight(Qt::Key_Right);
        QCOMPARE(changed.last().first().toUInt(), (255u << 16) | (173u << 8) | 91u);
        popup->MoveHighlight(Qt::Key_Up);
        QCOMPARE(popup->Highlight(), 9);
        popup->AcceptHighlight();
        QCOMPARE(accepted.size(), 1);
        QCOMPARE(accepted.first().first().toUInt(), (255u << 16) | (104u << 8) | 32u);

        auto* automatic = new CColourPopup(
            QPoint(0, 0), CColourPopup::AutomaticColour, S("Automatic"), QString(), &owner);
        QCOMPARE(automatic->CurrentEntry(), -1);
        QSignalSpy cancelled(automatic, &CColourPopup::ColourCancelled);
        automatic->Cancel();
        QCOMPARE(cancelled.first().first().toUInt(), CColourPopup::AutomaticColour);
    }

    void hyperlink()
    {
        QCOMPARE(CHyperLink::TooltipFor(S("http://example.org/x")), S("Go to example.org/x"));
        QCOMPARE(CHyperLink::TooltipFor(S("MAILTO:me@example.org")), S("E-mail me@example.org"));
        QCOMPARE(CHyperLink::TooltipFor(S("ftp://host")), S("ftp://host"));
        CHyperLink link;
        link.SetURL(S("www.example.org"));
        QCOMPARE(link.URL(), S("http://www.example.org"));
        QCOMPARE(link.text(), S("http://www.example.org"));
        QCOMPARE(link.CurrentColour(), QColor(0, 0, 238));
        CHyperLink::SetOpener([](const QString&) { return true; });
        QVERIFY(link.Open());
        QCOMPARE(link.CurrentColour(), QColor(85, 26, 139));
        CHyperLink::SetOpener([](const QString&) { return false; });
        QVERIFY(!link.Open());
        QVERIFY(Prompt::History().last().text.startsWith(S("Unable to open hyperlink:\n\n")));
        CHyperLink::SetOpener(nullptr);
    }

    // The find window of the editor (find, replace) and of the log view (find-only): what each
    // shows, what it answers, which signal each button sends.
    void findReplaceDialog_data()
    {
        QTest::addColumn<int>("mode"); // 0 find, 1 replace, 2 find-only
        QTest::addColumn<QStringList>("visible"); // visible buttons, boxes and radio buttons
        QTest::addColumn<bool>("searchDown"); // after choosing Up where it can be chosen
        QTest::newRow("editor find") << 0
                                     << QStringList { S("&Find Next"), S("Cancel"),
                                            S("Match &whole word only"), S("Match &case"), S("&Up"),
                                            S("&Down") }
                                     << false;
        QTest::newRow("editor replace") << 1
                                        << QStringList { S("&Find Next"), S("&Replace"), S("Replace &All"),
                                               S("Cancel"), S("Match &whole word only"), S("Match &case") }
                                        << true;
        QTest::newRow("log find-only")
            << 2 << QStringList { S("&Find Next"), S("Cancel"), S("Match &case") } << true;
    }

    void findReplaceDialog()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, visible);
        QFETCH(bool, searchDown);
        QWidget owner;
        auto* dialog = new CFindReplaceDlg(mode == 1, S("abc"), &owner);
        QPointer<CFindReplaceDlg> alive(dialog);
        if (mode == 2) {
            dialog->SetWholeWordAvailable(false);
            dialog->SetDirectionAvailable(false);
            dialog->SetMatchCase(true);
        }
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QStringList shown;
        for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
            if (b->isVisible())
                shown << b->text();
        shown.sort();
        visible.sort();
        QCOMPARE(shown, visible);
        QCOMPARE(dialog->FindText(), S("abc"));
        QCOMPARE(dialog->MatchCase(), mode == 2);
        for (QRadioButton* r : dialog->findChildren<QRadioButton*>())
            if (r->text() == S("&Up") && r->isVisible())
                r->setChecked(true);
        QCOMPARE(dialog->SearchDown(), searchDown);
        QVERIFY(!dialog->WholeWord());

        QSignalSpy next(dialog, &CFindReplaceDlg::FindNext);
        QSignalSpy one(dialog, &CFindReplaceDlg::ReplaceOne);
        QSignalSpy all(dialog, &CFindReplaceDlg::ReplaceAll);
        for (QPushButton* b : dialog->findChildren<QPushButton*>())
            if (b->isVisible() && b->text() != S("Cancel"))
                b->click();
        QCOMPARE(next.count(), 1);
        QCOMPARE(one.count(), mode == 1 ? 1 : 0);
        QCOMPARE(all.count(), mode == 1 ? 1 : 0);
        // Nothing to look for: no button that searches.
        dialog->SetFindText(QString());
        for (QPushButton* b : dialog->findChildren<QPushButton*>())
            QCOMPARE(b->isEnabled(), b->text() == S("Cancel"));
        // Cancel closes and deletes it.
        for (QPushButton* b : dialog->findChildren<QPushButton*>())
            if (b->text() == S("Cancel"))
                b->click();
        QTRY_VERIFY(!alive);
    }

    void textViewer()
    {
        CTextViewerDlg viewer(S("line"), S("View Recipe"), nullptr, S("Recipe: Spam"), true, 1.5);
        QCOMPARE(viewer.windowTitle(), S("Recipe: Spam"));
        QVERIFY(viewer.TextBox()->isReadOnly());
        QCOMPARE(viewer.TextBox()->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(viewer.KeyPrefix(), S("Dlg View Recipe "));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
