#pragma once

#include <QApplication>

class MessageBoxes;

// The application object; errors that escape an event handler end there and are reported
// once, so they never cross Qt's event loop.
class CalvexApplication : public QApplication
{
public:
    CalvexApplication(int& argc, char** argv);

    void setErrorBoxes(MessageBoxes* boxes) { m_boxes = boxes; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    MessageBoxes* m_boxes = nullptr;
};
