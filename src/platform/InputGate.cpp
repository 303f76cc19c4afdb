#include "InputGate.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

namespace {

class InputEater : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
        }
    }
};

} // namespace

void discardPendingInput()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    InputEater eater;
    app->installEventFilter(&eater);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    app->removeEventFilter(&eater);
}
