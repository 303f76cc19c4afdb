#include "AppGlobals.h"

#include <QDir>

AppGlobals& appGlobals()
{
    static AppGlobals values;
    return values;
}

QString folderOfExecutable(const QString& executablePath)
{
    const QString native = QDir::toNativeSeparators(executablePath);
    const qsizetype cut = native.lastIndexOf(QDir::separator());
    return cut < 0 ? QString() : native.left(cut);
}
