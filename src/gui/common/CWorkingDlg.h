#pragma once

#include <QDialog>

class CPercentProgressCtrl;
class QLabel;
class QTimer;

// "Progress" for long local work. Application-modal while shown, so nothing can close a document
// or start a second operation under the running one. Cancel only sets a flag that the work reads
// through CheckCancel, which also keeps the windows responsive.
class CWorkingDlg : public QDialog
{
    Q_OBJECT

public:
    CWorkingDlg(QWidget* parent, const QString& title, const QString& message, bool showPercent);

    void Create();
    void SetMessage(const QString& message);
    // Sends the position to the bar only when it changed.
    void SetPos(int position);
    void SetTitle(const QString& title);
    // Runs waiting events and returns whether Cancel was pressed.
    bool CheckCancel();
    bool Canceled() const { return m_canceled; }
    QString AnimationText() const;
    CPercentProgressCtrl* Bar() const { return m_bar; }
    void AdvanceAnimation();

    static const QStringList& AnimationTexts();

    // Cancel: sets the flag only; the dialog stays until the work ends.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* m_message;
    QLabel* m_animation;
    CPercentProgressCtrl* m_bar;
    QTimer* m_timer;
    bool m_canceled = false;
    int m_lastPos = -1;
    int m_frame = -1;
};
