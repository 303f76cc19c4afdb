#include "CalvexApplication.h"

#include "ErrorReporting.h"
#include "QtServices.h"

CalvexApplication::CalvexApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool CalvexApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        QtMessageBoxes fallback;
        reportError(std::current_exception(), m_boxes ? *m_boxes : fallback, activeWindow());
        return true;
    }
}
