#pragma once

#include <QMdiArea>

// The area behind the document windows: the desktop colour with the product name embossed in its
// lower right corner.
class CMdiArea : public QMdiArea
{
    Q_OBJECT

public:
    explicit CMdiArea(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};
