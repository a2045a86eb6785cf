#include "app/frame/LockIndicators.h"

#include "app/frame/KeyboardLocks.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

namespace {

const char* const kPaneTexts[] = {QT_TRANSLATE_NOOP("CLockIndicators", "大写"),
                                  QT_TRANSLATE_NOOP("CLockIndicators", "数字"),
                                  QT_TRANSLATE_NOOP("CLockIndicators", "滚动")};
const unsigned kPaneLocks[] = {CKeyboardLocks::CapsLock, CKeyboardLocks::NumLock,
                               CKeyboardLocks::ScrollLock};

} // namespace

CLockIndicators::CLockIndicators(QStatusBar* bar, StateReader reader)
    : QObject(bar), m_reader(reader ? std::move(reader) : StateReader(&CKeyboardLocks::Read))
{
    setObjectName(QStringLiteral("LockIndicators"));
    unsigned locks = 0;
    if (!m_reader(locks))
        return;
    for (std::size_t i = 0; i < m_panes.size(); ++i) {
        auto* pane = new QLabel(bar);
        pane->setObjectName(QStringLiteral("LockPane%1").arg(i));
        pane->setAlignment(Qt::AlignCenter);
        // As wide as its text, so that the bar does not jump when a lock changes.
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(
                                  QCoreApplication::translate("CLockIndicators", kPaneTexts[i]))
                              + 8);
        bar->addPermanentWidget(pane);
        m_panes[i] = pane;
    }
    Update();
    QCoreApplication::instance()->installEventFilter(this);
}

void CLockIndicators::Update()
{
    m_bUpdatePending = false;
    unsigned locks = 0;
    if (!HasPanes() || !m_reader(locks))
        return;
    for (std::size_t i = 0; i < m_panes.size(); ++i)
        m_panes[i]->setText((locks & kPaneLocks[i])
                                ? QCoreApplication::translate("CLockIndicators", kPaneTexts[i])
                                : QString());
}

bool CLockIndicators::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ApplicationActivate:
        // One key event reaches several objects on its way (window, widget, parents): one
        // reading after it has been handled is enough.
        if (!m_bUpdatePending) {
            m_bUpdatePending = true;
            QTimer::singleShot(0, this, &CLockIndicators::Update);
        }
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}
