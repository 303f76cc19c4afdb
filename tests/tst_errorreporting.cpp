#include "ErrorReporting.h"
#include "Errors.h"
#include "Services.h"

#include <QTest>
#include <QWidget>

namespace {

// Records every box as "kind: text" with the parent it was given.
class RecordingBoxes : public MessageBoxes
{
public:
    void error(QWidget* parent, const QString& text) override { record("error", parent, text); }
    void information(QWidget* parent, const QString& text) override
    {
        record("information", parent, text);
    }
    void applicationError(QWidget* parent, const QString& text) override
    {
        record("applicationError", parent, text);
    }

    QStringList shown;
    QList<QWidget*> parents;

private:
    void record(const char* kind, QWidget* parent, const QString& text)
    {
        shown.append(QLatin1String(kind) + QStringLiteral(": ") + text);
        parents.append(parent);
    }
};

} // namespace

Q_DECLARE_METATYPE(std::exception_ptr)

class tst_ErrorReporting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldAppendFullStopWhenLastCharacterSortsAfterIt_data();
    void shouldAppendFullStopWhenLastCharacterSortsAfterIt();
    void shouldShowErrorOnceUnlessSilent_data();
    void shouldShowErrorOnceUnlessSilent();
};

void tst_ErrorReporting::shouldAppendFullStopWhenLastCharacterSortsAfterIt_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");

    QTest::newRow("letter") << "x" << "x.";
    QTest::newRow("digit") << "abc1" << "abc1.";
    QTest::newRow("exclamation mark") << "x!" << "x!";
    QTest::newRow("full stop") << "x." << "x.";
    QTest::newRow("blank") << "x " << "x ";
    QTest::newRow("comma") << "a," << "a,";
    // Not only letters and digits sort after the full stop.
    QTest::newRow("slash, a folder path") << "Unable to write to /pos/"
                                          << "Unable to write to /pos/.";
    QTest::newRow("colon") << "Server :"
                           << "Server :.";
    QTest::newRow("closing bracket") << "[x]"
                                     << "[x].";
    QTest::newRow("empty") << "" << "";
}

void tst_ErrorReporting::shouldAppendFullStopWhenLastCharacterSortsAfterIt()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);

    QCOMPARE(withFullStop(message), shown);
}

void tst_ErrorReporting::shouldShowErrorOnceUnlessSilent_data()
{
    QTest::addColumn<std::exception_ptr>("error");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("silent abort") << std::make_exception_ptr(SilentAbort()) << QStringList();
    QTest::newRow("error text")
        << std::make_exception_ptr(CalvexError(QStringLiteral("Unable to write to /a/b")))
        << QStringList{QStringLiteral("applicationError: Unable to write to /a/b.")};
}

void tst_ErrorReporting::shouldShowErrorOnceUnlessSilent()
{
    QFETCH(std::exception_ptr, error);
    QFETCH(QStringList, shown);

    RecordingBoxes boxes;
    QWidget parent;
    reportError(error, boxes, &parent);

    QCOMPARE(boxes.shown, shown);
    for (QWidget* given : std::as_const(boxes.parents))
        QCOMPARE(given, &parent);
}

QTEST_MAIN(tst_ErrorReporting)
#include "tst_errorreporting.moc"
