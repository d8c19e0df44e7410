#pragma once

#include <QPlainTextEdit>

// A multi-line entry box that asks what the Tab key should do ("Settings"/"Recipe Wiz EditTab":
// 0 ask, 1 insert a tab, 2 move to the next control).
class CTabPromptEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit CTabPromptEdit(QWidget* parent = nullptr);
    void HandleTab();

protected:
    bool event(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};
