#include "ModalDriver.h"
#include "QtServices.h"
#include "TestFiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

enum class BoxKind { Error, Information, Application };

// What a person sees of a real box, read while it is open.
struct SeenBox
{
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    int buttonCount = 0;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    bool modal = false;
    QWidget* parent = nullptr;
};

// How a picker is answered: a path typed into its name field and Return, or Cancel.
enum class Answer { Typed, Cancelled };

// Types `typed` into the real file dialog's name field and presses Return, or cancels it.
void answerDialog(QFileDialog* dialog, Answer answer, const QString& typed)
{
    if (answer == Answer::Cancelled) {
        dialog->reject();
        return;
    }
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!name) {
        dialog->reject();
        return;
    }
    // As a user does: the name field has the focus, so what is typed replaces the selection.
    QApplication::setActiveWindow(dialog);
    name->setFocus();
    name->setText(typed);
    QTest::keyClick(name, Qt::Key_Return);
}

} // namespace

Q_DECLARE_METATYPE(BoxKind)
Q_DECLARE_METATYPE(Answer)

// The real services drive the real Qt objects: boxes, pause and pickers.
class tst_QtServices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void shouldShowBoxWithCaptionIconOneOkAndPlainText_data();
    void shouldShowBoxWithCaptionIconOneOkAndPlainText();
    void shouldBlockForTheTimeAsked_data();
    void shouldBlockForTheTimeAsked();
    void shouldReturnFolderChosenInRealPicker_data();
    void shouldReturnFolderChosenInRealPicker();
    void shouldReturnFileChosenInRealPicker_data();
    void shouldReturnFileChosenInRealPicker();
};

void tst_QtServices::initTestCase()
{
    // As the program names itself at start-up; the top-level box takes its caption from it.
    QApplication::setApplicationName(QStringLiteral("Calvex"));
}

void tst_QtServices::cleanup()
{
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_QtServices::shouldShowBoxWithCaptionIconOneOkAndPlainText_data()
{
    QTest::addColumn<BoxKind>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QMessageBox::Icon>("icon");

    // A path may hold anything a file name can, markup included: it is shown as typed.
    const QString text =
        QStringLiteral("Directory Not Found !\r\n\r\nMiscellaneous : /pos/<b>Misc</b> & co");
    QTest::newRow("error") << BoxKind::Error << text << "Error" << QMessageBox::Critical;
    QTest::newRow("information") << BoxKind::Information << "Calvex Update Completed."
                                 << "Information" << QMessageBox::Information;
    QTest::newRow("top-level error")
        << BoxKind::Application << "Unable to write to /pos/<i>Register.ini</i>."
        << "Calvex" << QMessageBox::Critical;
}

void tst_QtServices::shouldShowBoxWithCaptionIconOneOkAndPlainText()
{
    QFETCH(BoxKind, kind);
    QFETCH(QString, text);
    QFETCH(QString, caption);
    QFETCH(QMessageBox::Icon, icon);
    QWidget owner;
    owner.show();
    QtMessageBoxes boxes;
    SeenBox seen;
    ModalDriver driver([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box)
            return;
        seen = {box->windowTitle(),
                box->icon(),
                box->standardButtons(),
                int(box->buttons().size()),
                box->text(),
                box->textFormat(),
                box->isModal(),
                box->parentWidget()};
        box->button(QMessageBox::Ok)->click();
    });

    switch (kind) {
    case BoxKind::Error:
        boxes.error(&owner, text);
        break;
    case BoxKind::Information:
        boxes.information(&owner, text);
        break;
    case BoxKind::Application:
        boxes.applicationError(&owner, text);
        break;
    }

    QVERIFY(driver.seen());
    QVERIFY(!driver.forced()); // closed by its OK
    QCOMPARE(seen.caption, caption);
    QCOMPARE(seen.icon, icon);
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(seen.buttonCount, 1);
    QCOMPARE(seen.text, text);
    QCOMPARE(seen.format, Qt::PlainText);
    QVERIFY(seen.modal);
    QCOMPARE(seen.parent, &owner);
}

void tst_QtServices::shouldBlockForTheTimeAsked_data()
{
    QTest::addColumn<int>("milliseconds");

    // Apply's two pause lengths.
    QTest::newRow("100 ms") << 100;
    QTest::newRow("500 ms") << 500;
}

void tst_QtServices::shouldBlockForTheTimeAsked()
{
    QFETCH(int, milliseconds);
    QtPause pause;
    QElapsedTimer clock;
    clock.start();

    pause.pause(milliseconds);

    // Loosely: a busy machine may lengthen a pause, never shorten it much.
    QVERIFY2(clock.elapsed() >= milliseconds * 9 / 10,
             qPrintable(QStringLiteral("paused %1 ms").arg(clock.elapsed())));
}

void tst_QtServices::shouldReturnFolderChosenInRealPicker_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("typed"); // under the start folder's parent
    QTest::addColumn<QString>("picked");

    QTest::newRow("another folder typed") << Answer::Typed << "Purge"
                                          << "Purge";
    QTest::newRow("cancelled") << Answer::Cancelled << "Purge"
                               << "(nothing)";
}

void tst_QtServices::shouldReturnFolderChosenInRealPicker()
{
    QFETCH(Answer, answer);
    QFETCH(QString, typed);
    QFETCH(QString, picked);
    QTemporaryDir shop;
    QVERIFY(createEntries(shop.path(), {"Db/", "Purge/"}));
    QtFolderPicker picker;
    QString startedIn;
    bool foldersOnly = false;
    ModalDriver driver([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog)
            return;
        startedIn = QDir::toNativeSeparators(dialog->directory().absolutePath());
        foldersOnly = dialog->fileMode() == QFileDialog::Directory &&
                      dialog->testOption(QFileDialog::ShowDirsOnly);
        answerDialog(dialog, answer, shop.filePath(typed));
    });

    const std::optional<QString> result = picker.pickFolder(nullptr, shop.filePath("Db"));

    QVERIFY(driver.seen());
    QVERIFY(!driver.forced());
    QCOMPARE(startedIn, QDir::toNativeSeparators(shop.filePath("Db")));
    QVERIFY(foldersOnly);
    QCOMPARE(result.value_or(QStringLiteral("(nothing)")),
             picked == QLatin1String("(nothing)")
                 ? picked
                 : QDir::toNativeSeparators(shop.filePath(picked)));
}

void tst_QtServices::shouldReturnFileChosenInRealPicker_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("picked"); // under the shop folder

    QTest::newRow("existing file") << Answer::Typed << "Tmp.gdb"
                                   << "Tmp.gdb";
    // A file on the server need not exist here; the default suffix completes a bare name.
    QTest::newRow("new name without suffix") << Answer::Typed << "Other"
                                             << "Other.gdb";
    QTest::newRow("cancelled") << Answer::Cancelled << "Tmp.gdb"
                               << "(nothing)";
}

void tst_QtServices::shouldReturnFileChosenInRealPicker()
{
    QFETCH(Answer, answer);
    QFETCH(QString, typed);
    QFETCH(QString, picked);
    QTemporaryDir shop;
    QVERIFY(createEntries(shop.path(), {"Tmp.gdb", "Old.gdb"}));
    QtFilePicker picker;
    const QList<FileFilter> filters{{QStringLiteral("Interbase Database"), QStringLiteral("*.gdb")},
                                    {QStringLiteral("All Files"), QStringLiteral("*.*")}};
    QString startedIn;
    QStringList shownFilters; // as the filter list shows them
    QString selectedFilter;
    ModalDriver driver([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog)
            return;
        startedIn = dialog->directory().absolutePath();
        if (auto* list = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
            for (int i = 0; i < list->count(); ++i)
                shownFilters << list->itemText(i);
            selectedFilter = list->currentText();
        }
        answerDialog(dialog, answer, shop.filePath(typed));
    });

    const std::optional<QString> result =
        picker.pickFile(nullptr, shop.filePath("Old.gdb"), filters, QStringLiteral("gdb"));

    QVERIFY(driver.seen());
    QVERIFY(!driver.forced());
    QCOMPARE(startedIn, shop.path());
    QCOMPARE(shownFilters, QStringList({"Interbase Database", "All Files"}));
    QCOMPARE(selectedFilter, QStringLiteral("Interbase Database"));
    QCOMPARE(result.value_or(QStringLiteral("(nothing)")),
             picked == QLatin1String("(nothing)")
                 ? picked
                 : QDir::toNativeSeparators(shop.filePath(picked)));
}

QTEST_MAIN(tst_QtServices)
#include "tst_qtservices.moc"
