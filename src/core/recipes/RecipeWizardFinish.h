#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class CRecipeDefinition;
struct RecipeTextSettings;

// What the Recipe Wizard does on Finish, without a screen: the recipe's block goes into the recipe
// file (added, or replacing the recipe of that name), the recipe file and every response file are
// marked for upload, and the definition is saved as the recipe's data file.
//
// The recipe file is read when Finish runs, never earlier, so edits made to it meanwhile stay; and
// when the block of the recipe being edited was itself changed outside the wizard after it opened,
// Finish asks before replacing it.
class RecipeWizardFinish
{
public:
    // isNew: a new or imported recipe; otherwise the recipe `originalName` is being edited.
    RecipeWizardFinish(const QString& recipeFilePath, bool isNew, const QByteArray& originalName);

    QString RecipeFilePath() const { return m_path; }
    bool IsNew() const { return m_isNew; }

    // Notes the block of the edited recipe as the wizard opens (nothing for a new recipe).
    void RememberBlock();

    using MarkForUpload = std::function<void(const QString& localPath, const QString& remotePath)>;
    // True when the recipe was written; ResultText() then says how. False keeps the wizard open:
    // the user was told why, or declined a question, and the recipe file is unchanged.
    bool Finish(const CRecipeDefinition& definition, const RecipeTextSettings& settings,
        const MarkForUpload& markForUpload);
    QString ResultText() const { return m_resultText; }

    // The block the wizard writes for `definition`: markers, summary comment and recipe text.
    static QByteArray BuildBlock(const CRecipeDefinition& definition, const RecipeTextSettings& settings);
    // The block of `name` (any letter case) as the file holds it now; null when the file has none
    // or cannot be read.
    static QByteArray CurrentBlock(const QString& recipeFilePath, const QByteArray& name);

private:
    bool writeNew(const QByteArray& name, const QByteArray& block);
    bool writeEdited(const QByteArray& name, const QByteArray& block);
    bool confirmOutsideChange() const;

    QString m_path;
    bool m_isNew;
    QByteArray m_originalName;
    QByteArray m_blockAtStart;
    QString m_resultText;
};
