#include "series/ui/windowrunhost.h"

#include "series/ui/datadlgs.h"

#include "platform/ui/winapp.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>

#include <utility>

// Follows Escape through the application's key events.
class CWindowRunHost::CKeyWatch : public QObject
{
public:
    CKeyWatch()
    {
        if (QCoreApplication* app = QCoreApplication::instance())
            app->installEventFilter(this);
    }
    ~CKeyWatch() override
    {
        if (QCoreApplication* app = QCoreApplication::instance())
            app->removeEventFilter(this);
    }

    bool m_bEscapeDown = false;
    // A press since the last look: a tap handled within one pump is not
    // lost.
    bool m_bEscapePressed = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape && !key->isAutoRepeat()) {
                m_bEscapeDown = type == QEvent::KeyPress;
                m_bEscapePressed = m_bEscapePressed || m_bEscapeDown;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

CWindowRunHost::CWindowRunHost() : m_pKeys(std::make_unique<CKeyWatch>()) {}

CWindowRunHost::~CWindowRunHost() = default;

bool CWindowRunHost::IsEscapeDown()
{
    const bool pressed = std::exchange(m_pKeys->m_bEscapePressed, false);
    return m_pKeys->m_bEscapeDown || pressed;
}

void CWindowRunHost::PumpMessages()
{
    QCoreApplication::processEvents();
    CRunHost::PumpMessages();
}

bool CWindowRunHost::EditSetup(CMeasurementSetup& setup)
{
    return kestrun::EditMeasurementSetup(setup, AfxGetMainWnd());
}
