#pragma once

#include <QString>

// What the ".procmailrc" page of the Settings sheet decides: its values, the values it opened
// with, and how OK, the reset and an outside edit change the file. The page only shows these
// values and passes the user's back. Every question goes through Prompt.
class CProcmailrcSettings
{
public:
    enum class Field { None, ZephDir, MailDir };
    struct Outcome
    {
        bool accepted = false;
        Field focus = Field::None; // the entry to put the focus on when OK was refused
    };

    // Creates the default .procmailrc, without a word, when the local copy is missing.
    CProcmailrcSettings();

    // Reads the five settings and takes them as the opening values (when the page window opens).
    void Load();

    // The OK of the sheet with the values the user sees. On return the values may have been
    // corrected (the logging question), so the page shows them again in any case.
    Outcome Apply(bool logging, bool verbose, const QString& zephDir, const QString& mailDir);

    // The default file, marked for upload, with the settings and opening values to match.
    bool ResetToDefaults();
    // The reset button: the overwrite question, then the reset and its message.
    bool AskAndReset();
    // After the file was changed in the editor: marked for upload, the user warned, and both
    // flag lines rewritten on the next OK whatever the boxes show.
    void EditedOutside();

    bool Logging() const { return m_logging; }
    bool Verbose() const { return m_verbose; }
    QString ZephDir() const { return m_zephDir; }
    QString MailDir() const { return m_mailDir; }
    bool AdvancedShown() const { return m_advancedShown; }
    void SetAdvancedShown(bool shown) { m_advancedShown = shown; }

private:
    void setValues(bool logging, bool verbose, const QString& zephDir, const QString& mailDir);
    void offerReset();

    bool m_logging = true;
    bool m_verbose = false;
    QString m_zephDir;
    QString m_mailDir;
    bool m_advancedShown = false;
    // -1 in a flag forces its line to be written on the next OK.
    int m_openLogging = 1;
    int m_openVerbose = 0;
    QString m_openZephDir;
    QString m_openMailDir;
};
