#pragma once

#include <QWidget>

class QFrame;
class QLabel;

// The splash window, flashed once after the main window has appeared.
class TfrmStartLoad : public QWidget
{
public:
    explicit TfrmStartLoad(QWidget* parent = nullptr);

    QFrame* Bevel1;
    QLabel* Label1;
    QLabel* Image1;
};

// Flashes the splash window once: shown after the main window is on screen, painted at once,
// and destroyed again before the message loop takes any input.
void flashStartLoad();
