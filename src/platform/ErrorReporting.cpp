#include "ErrorReporting.h"

#include "Errors.h"
#include "Services.h"

QString withFullStop(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void reportError(std::exception_ptr error, MessageBoxes& boxes, QWidget* parent)
{
    try {
        std::rethrow_exception(error);
    } catch (const SilentAbort&) {
    } catch (const CalvexError& e) {
        boxes.applicationError(parent, withFullStop(e.message()));
    } catch (const std::exception& e) {
        boxes.applicationError(parent, withFullStop(QString::fromLocal8Bit(e.what())));
    } catch (...) {
        boxes.applicationError(parent, withFullStop(QStringLiteral("Unknown error")));
    }
}
