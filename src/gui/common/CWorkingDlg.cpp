#include "gui/common/CWorkingDlg.h"

#include "gui/common/CPercentProgressCtrl.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

const QStringList& CWorkingDlg::AnimationTexts()
{
    static const QStringList texts = {
        QStringLiteral("working..........................................working"),
        QStringLiteral("..........................................working......."),
        QStringLiteral("...................................working.............."),
        QStringLiteral("............................working....................."),
        QStringLiteral(".....................working............................"),
        QStringLiteral("..............working..................................."),
        QStringLiteral(".......working.........................................."),
    };
    return texts;
}

CWorkingDlg::CWorkingDlg(QWidget* parent, const QString& title, const QString& message, bool showPercent)
    : QDialog(parent)
    , m_message(new QLabel(message, this))
    , m_animation(
          new QLabel(QStringLiteral(".......working.........................................."), this))
    , m_bar(new CPercentProgressCtrl(this))
    , m_timer(new QTimer(this))
{
    setWindowTitle(title.isEmpty() ? QStringLiteral("Progress") : title);
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    m_message->setWordWrap(true);
    layout->addWidget(m_message);
    m_animation->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(m_animation);
    m_bar->SetShowPercent(showPercent);
    layout->addWidget(m_bar);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &CWorkingDlg::reject);
    layout->addWidget(buttons);
    connect(m_timer, &QTimer::timeout, this, &CWorkingDlg::AdvanceAnimation);
}

void CWorkingDlg::Create()
{
    m_canceled = false;
    m_lastPos = -1;
    show();
    if (parentWidget())
        move(parentWidget()->window()->geometry().center() - rect().center());
    m_timer->start(1000);
    QApplication::processEvents();
}

void CWorkingDlg::AdvanceAnimation()
{
    m_frame = (m_frame + 1) % int(AnimationTexts().size());
    m_animation->setText(AnimationTexts().at(m_frame));
}

QString CWorkingDlg::AnimationText() const
{
    return m_animation->text();
}

void CWorkingDlg::SetMessage(const QString& message)
{
    m_message->setText(message);
}

void CWorkingDlg::SetPos(int position)
{
    if (position == m_lastPos)
        return;
    m_lastPos = position;
    m_bar->SetPos(position);
}

void CWorkingDlg::SetTitle(const QString& title)
{
    setWindowTitle(title);
}

bool CWorkingDlg::CheckCancel()
{
    QApplication::processEvents();
    return m_canceled;
}

void CWorkingDlg::keyPressEvent(QKeyEvent* event)
{
    // Enter does nothing: only Cancel (or Escape) acts.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(event);
}

void CWorkingDlg::reject()
{
    // The dialog stays until the work ends; Cancel only asks the work to stop.
    m_canceled = true;
}
