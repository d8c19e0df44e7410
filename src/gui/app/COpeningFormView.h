#pragma once

#include "gui/common/CDocumentWindow.h"

#include <QList>

class IShell;
class QCheckBox;
class QToolButton;

// The button page: twelve large buttons for the main tasks and "Show this page at startup". The
// buttons follow the states of their commands in `shell` and run them.
class COpeningFormView : public CDocumentWindow
{
    Q_OBJECT

public:
    explicit COpeningFormView(IShell& shell, QWidget* parent = nullptr);
    ~COpeningFormView() override;

    QString Title() const override { return QStringLiteral("Button Page"); }
    QIcon Icon() const override;
    bool HasCommand(int id) const override;
    bool IsCommandEnabled(int id) const override;

    struct ButtonInfo
    {
        const char* text;
        int control;
        int command; // 0 for Help
        const char* tooltip;
    };
    static const QList<ButtonInfo>& Buttons();
    QToolButton* ButtonFor(int control) const;
    QCheckBox* ShowAtStartup() const { return m_showAtStartup; }
    void PressHelp();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refreshStates();

    QList<QToolButton*> m_buttons;
    QCheckBox* m_showAtStartup;
};
