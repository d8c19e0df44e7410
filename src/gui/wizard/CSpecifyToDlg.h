#pragma once

#include <QDialog>

class QButtonGroup;

// "Specify "To:" field": whether a To condition looks at the To: header only or uses procmail's
// TO or TO_ macro. The choice starts from the stored default.
class CSpecifyToDlg : public QDialog
{
    Q_OBJECT

public:
    CSpecifyToDlg(int toKind, QWidget* parent);

    // 100, 101 or 102.
    int ToKind() const;
    QButtonGroup* Choices() const { return m_choices; }

private:
    QButtonGroup* m_choices;
};
