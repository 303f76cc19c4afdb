#include "QtServices.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>

namespace {

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    // Messages carry paths, which may hold anything a file name can: never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void QtMessageBoxes::error(QWidget* parent, const QString& text)
{
    showBox(parent, QMessageBox::Critical, QStringLiteral("Error"), text);
}

void QtMessageBoxes::information(QWidget* parent, const QString& text)
{
    showBox(parent, QMessageBox::Information, QStringLiteral("Information"), text);
}

void QtMessageBoxes::applicationError(QWidget* parent, const QString& text)
{
    showBox(parent, QMessageBox::Critical, QApplication::applicationName(), text);
}

std::optional<QString> QtFolderPicker::pickFolder(QWidget* parent, const QString& startFolder)
{
    const QString folder = QFileDialog::getExistingDirectory(parent, QString(), startFolder,
                                                             QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(folder);
}

std::optional<QString> QtFilePicker::pickFile(QWidget* parent, const QString& startFile,
                                              const QList<FileFilter>& filters,
                                              const QString& defaultSuffix)
{
    // Qt shows a filter's text with its pattern; the pattern is added for Qt to read and
    // hidden again, so the list shows each description exactly as given.
    QStringList nameFilters;
    for (const FileFilter& filter : filters)
        nameFilters.append(filter.description + QStringLiteral(" (") + filter.pattern +
                           QLatin1Char(')'));
    QFileDialog dialog(parent, QString(), startFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFilters);
    // A typed name is taken too: a file on the server need not exist on this machine.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!nameFilters.isEmpty())
        dialog.selectNameFilter(nameFilters.first());
    if (!defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

void QtPause::pause(int milliseconds)
{
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

QDate SystemClock::today() const
{
    return QDate::currentDate();
}
