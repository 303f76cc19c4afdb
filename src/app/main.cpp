#include "CalvexApplication.h"
#include "ConfigureTools.h"
#include "InstanceGuard.h"
#include "QtServices.h"
#include "frm_StartLoad.h"

#include <QIcon>

#include <csignal>

int main(int argc, char** argv)
{
    // A file size limit must fail a write, which is then reported, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);

    // Qt shows no box before its application object exists, so that comes first; nothing
    // else is set up until the guard has passed.
    CalvexApplication app(argc, argv);
    QtMessageBoxes boxes;

    const InstanceGuard guard(QStringLiteral("POS_REGISTRATION"));
    if (!guard.acquired()) {
        boxes.error(nullptr, QStringLiteral("Program Already Running !"));
        return 0;
    }

    QApplication::setApplicationName(QStringLiteral("Calvex"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/calvex.png")));
    app.setErrorBoxes(&boxes);
    QtFolderPicker folders;
    QtFilePicker files;
    QtPause pause;
    SystemClock clock;
    const Services services{&boxes, &folders, &files, &pause, &clock};

    auto* window = new TfrmConfigTools(QCoreApplication::applicationFilePath(), services);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();

    flashStartLoad();

    return app.exec();
}
