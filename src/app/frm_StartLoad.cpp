#include "frm_StartLoad.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStyle>

TfrmStartLoad::TfrmStartLoad(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmStartLoad"));
    setWindowTitle(QStringLiteral("Zorvan POS Registration"));
    setFixedSize(196, 46);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(0, 0, 196, 46);

    Label1 = new QLabel(QStringLiteral("Please Wait..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont font = Label1->font();
    font.setBold(true);
    font.setPixelSize(16);
    Label1->setFont(font);
    Label1->move(56, 15);
    Label1->adjustSize();

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    const QIcon icon = QApplication::windowIcon();
    Image1->setPixmap((icon.isNull() ? style()->standardIcon(QStyle::SP_ComputerIcon) : icon)
                          .pixmap(32, 32));
    Image1->setGeometry(8, 8, 32, 32);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void flashStartLoad()
{
    TfrmStartLoad splash;
    splash.show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    splash.Image1->repaint();
}
