#pragma once

#include <QDialog>

class QCheckBox;
class CMessageLine;

// "Changing file permissions": nine boxes for owner, group and world. Starts from the value it
// is given (three octal digits as a decimal number, e.g. 644); -1 or an invalid value starts clear.
class CPermissionsDlg : public QDialog
{
    Q_OBJECT

public:
    CPermissionsDlg(int* result, bool isFile, QWidget* parent = nullptr);

    // The boxes' control ids.
    enum Control : int {
        OwnerRead = 1143,
        OwnerWrite = 1144,
        OwnerExecute = 1145,
        GroupRead = 1147,
        GroupWrite = 1148,
        GroupExecute = 1149,
        WorldRead = 1151,
        WorldWrite = 1152,
        WorldExecute = 1153,
    };
    QCheckBox* Box(int control) const;
    // The permissions shown now, e.g. 644.
    int Value() const;
    void accept() override;

    static bool IsValidPermission(int value);

private:
    void confirmWrite(QCheckBox* box, const QString& whom, const QString& caption);

    int* m_result;
    bool m_isFile;
    QCheckBox* m_boxes[9];
    bool m_presetting = false;
};
