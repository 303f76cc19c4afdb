#pragma once

#include <QString>

#include <exception>

class MessageBoxes;
class QWidget;

// The text the top-level error box shows: a full stop is appended when the message is not
// empty and its last character sorts after '.' (a letter or a digit, say).
QString withFullStop(const QString& message);

// Handles an error that escaped a handler: a silent abort is dropped; any other error is
// shown once in the application's error box. Rethrows nothing.
void reportError(std::exception_ptr error, MessageBoxes& boxes, QWidget* parent);
