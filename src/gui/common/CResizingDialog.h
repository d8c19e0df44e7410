#pragma once

#include <QDialog>
#include <QList>
#include <QSize>
#include <QString>

// Base of the resizable dialogs. The dialog remembers its size in the settings section "Dialogs"
// under "Dlg <name> " (or "Dlg#<resource> " without a name) + "Width", "Height", "Maximize".
// The first time it opens it grows by the growth factor. It never gets smaller than it was built.
//
// Dialogs laid out with Qt layouts need nothing else. Controls placed by hand follow the size with
// AddAnchor: 0x04 stretch right edge by dx, 0x01 move by dx, 0x10 move by dx/2, 0x40 stretch by
// dx/2, 0x100 stretch by dx and move left edge by dx/2; vertically 0x08, 0x02, 0x20, 0x80, 0x200.
class CResizingDialog : public QDialog
{
    Q_OBJECT

public:
    enum Anchor {
        StretchRight = 0x04,
        MoveRight = 0x01,
        MoveRightHalf = 0x10,
        StretchRightHalf = 0x40,
        StretchRightMoveLeftHalf = 0x100,
        StretchBottom = 0x08,
        MoveDown = 0x02,
        MoveDownHalf = 0x20,
        StretchBottomHalf = 0x80,
        StretchBottomMoveTopHalf = 0x200,
    };

    CResizingDialog(unsigned resourceId, QWidget* parent, const QString& persistenceName, double growth);

    void AddAnchor(QWidget* control, int flags);
    // The settings key prefix, e.g. "Dlg Remote file " or "Dlg#129 ".
    QString KeyPrefix() const;
    // Extra height the dialog has beyond its stored size (e.g. a toolbar added after creation).
    void SetExtraHeight(int extra) { m_extraHeight = extra; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void done(int result) override;

private:
    struct AnchorEntry
    {
        QWidget* control;
        int flags;
    };
    void storeSize();

    unsigned m_resourceId;
    QString m_persistenceName;
    double m_growth;
    QList<AnchorEntry> m_anchors;
    QSize m_lastSize;
    bool m_firstShown = false;
    bool m_sizeChanged = false;
    bool m_stored = false;
    int m_sizeEvents = 0;
    int m_extraHeight = 0;
};
