#include "IniDocument.h"
#include "ProfileFile.h"
#include "TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

// One call on the file: a read and the value it must return (nothing = absent), or a write.
struct Step
{
    bool write = false;
    QString section;
    QString key;
    std::optional<QString> value;
};
using Steps = QList<Step>;

Step reads(const QString& section, const QString& key, const QString& expected)
{
    return {false, section, key, expected};
}

Step readsNothing(const QString& section, const QString& key)
{
    return {false, section, key, std::nullopt};
}

Step writes(const QString& section, const QString& key, const QString& value)
{
    return {true, section, key, value};
}

QString fixture(const QString& name)
{
    return testDataPath(QStringLiteral("ini/") + name);
}

QByteArray contentOf(const QString& path)
{
    return readAll(path, "(unreadable)");
}

// Quoted, so that an empty value and an absent one read differently in a failure message.
QString shown(const std::optional<QString>& value)
{
    return value ? QLatin1Char('"') + *value + QLatin1Char('"') : QStringLiteral("(absent)");
}

QString digits(int count)
{
    return QStringLiteral("0123456789").repeated(count / 10 + 1).left(count);
}

} // namespace

Q_DECLARE_METATYPE(Steps)

class tst_IniDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldFollowProfileRulesAndKeepEveryOtherByte_data();
    void shouldFollowProfileRulesAndKeepEveryOtherByte();
    void shouldListFirstOccurrenceOfNames();
};

void tst_IniDocument::shouldFollowProfileRulesAndKeepEveryOtherByte_data()
{
    QTest::addColumn<QString>("input"); // empty: the file does not exist yet
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<QString>("expected");

    QTest::newRow("names trimmed and matched without case; comments and spacing kept")
        << "names.ini"
        << Steps{reads("DATABASE", "POS_PATH", "/opt/pos/Db/POSSYS.FDB"),
                 reads(" database ", "\tPos_Path ", "/opt/pos/Db/POSSYS.FDB"),
                 reads("paths", "report", "/opt/pos/Report"),
                 readsNothing("Database", "this line has no equals sign"),
                 writes("database", "POS_PATH", "/srv/pos/Db/POSSYS.FDB"),
                 writes("PATHS", "REPORT", "/srv/pos/Report"),
                 // A line break in a value must not smuggle lines into the file.
                 writes("Database", "server", "a\r\nb\n[Evil]\nx=y"),
                 reads("Database", "pos_path", "/srv/pos/Db/POSSYS.FDB"),
                 reads("Database", "Server", "a  b [Evil] x=y"),
                 readsNothing("Evil", "x")}
        << "names.expected.ini";

    QTest::newRow("a matching pair of quotes is dropped, anything else kept")
        << "quotes.ini"
        << Steps{reads("Quotes", "Double", "/opt/pos/Db"),
                 reads("Quotes", "Single", "x"),
                 reads("Quotes", "Unmatched", "\"x"),
                 reads("Quotes", "Mixed", "'x\""),
                 reads("Quotes", "Lone", "\""),
                 reads("Quotes", "EmptyPair", ""),
                 reads("Quotes", "Inner", "a \"b\" c"),
                 reads("Quotes", "Padded", " spaced ")}
        << "quotes.ini";

    QTest::newRow("absent differs from empty")
        << "absent_empty.ini"
        << Steps{reads("Values", "Empty", ""),
                 reads("Values", "Blank", ""),
                 readsNothing("Values", "NoEquals"),
                 readsNothing("Values", "Missing"),
                 readsNothing("Empty Section", "Empty"),
                 readsNothing("Nowhere", "Empty"),
                 writes("Values", "Empty", "filled"),
                 writes("Empty Section", "First", "1"),
                 reads("Values", "Empty", "filled"),
                 reads("Empty Section", "First", "1")}
        << "absent_empty.expected.ini";

    QTest::newRow("at most 2047 characters are returned, quotes dropped first")
        << "long_values.ini"
        << Steps{reads("Long", "Exact", digits(2047)),
                 reads("Long", "Over", digits(2047)),
                 reads("Long", "Quoted", digits(2047)),
                 reads("Long", "Huge", digits(2047)),
                 writes("Long", "Huge", "short"),
                 reads("Long", "After", "end")}
        << "long_values.expected.ini";

    // Counted in characters: a cut in bytes would split a letter of a UTF-8 text.
    QTest::newRow("at most 2047 characters are returned")
        << "long_letters.ini"
        << Steps{reads("Long", "Wide", QString(2047, QChar(0xe9))), reads("Long", "After", "end")}
        << "long_letters.ini";

    QTest::newRow("new key at the end of its section, new section at the end of the file")
        << "placement.ini"
        << Steps{writes("Database", "Protocol", "TCP"),
                 writes("Paths", "Backup", "/opt/pos/Backup"),
                 writes("Report", "Kind", "Daily"),
                 writes("Report", "Copies", "2"),
                 reads("database", "protocol", "TCP"),
                 reads("report", "copies", "2")}
        << "placement.expected.ini";

    QTest::newRow("a last line without a line break gets one before anything is added")
        << "no_final_newline.ini"
        << Steps{reads("Database", "Server", "Local"),
                 writes("Database", "Server", "Remote"),
                 writes("Database", "Path", "/opt/pos"),
                 writes("Other", "Key", "value")}
        << "no_final_newline.expected.ini";

    QTest::newRow("a last line without a line break gets one before a new section")
        << "no_final_newline.ini" << Steps{writes("Other", "Key", "value")}
        << "no_final_newline.new_section.expected.ini";

    QTest::newRow("first matching section and key win, the first is replaced")
        << "duplicates.ini"
        << Steps{reads("database", "SERVER", "First"),
                 readsNothing("Database", "Only"),
                 writes("DataBase", "SERVER", "Changed"),
                 writes("Database", "Only", "Added"),
                 reads("Database", "Server", "Changed"),
                 reads("Database", "Only", "Added")}
        << "duplicates.expected.ini";

    QTest::newRow("a file with LF line ends keeps them")
        << "lf_only.ini"
        << Steps{writes("Database", "Server", "Remote"),
                 writes("Database", "Path", "/opt/pos"),
                 writes("New", "Key", "value"),
                 reads("Database", "Server", "Remote")}
        << "lf_only.expected.ini";

    QTest::newRow("a missing file is created by the first write, with CRLF")
        << ""
        << Steps{readsNothing("Database", "Pos_Path"),
                 writes("Database", "Pos_Path", "/opt/pos"),
                 writes("database", "Server", "Local"),
                 reads("DATABASE", "pos_path", "/opt/pos")}
        << "created.expected.ini";
}

void tst_IniDocument::shouldFollowProfileRulesAndKeepEveryOtherByte()
{
    QFETCH(QString, input);
    QFETCH(Steps, steps);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Register.ini"));
    if (!input.isEmpty())
        QVERIFY(QFile::copy(fixture(input), path));

    ProfileFile file(path);
    for (const Step& step : steps) {
        if (step.write) {
            QString error;
            QVERIFY2(file.write(step.section, step.key, *step.value, &error), qPrintable(error));
        } else {
            QCOMPARE(shown(file.read(step.section, step.key)), shown(step.value));
        }
    }
    QCOMPARE(contentOf(path), contentOf(fixture(expected)));
}

void tst_IniDocument::shouldListFirstOccurrenceOfNames()
{
    const IniDocument document =
        IniDocument::fromBytes(contentOf(fixture(QStringLiteral("duplicates.expected.ini"))));

    QCOMPARE(document.sections(), (QList<QByteArray>{"Database", "Paths"}));
    QCOMPARE(document.keys("DATABASE"), (QList<QByteArray>{"Server", "Only"}));
    QVERIFY(document.keys("Nowhere").isEmpty());
}

QTEST_GUILESS_MAIN(tst_IniDocument)
#include "tst_inidocument.moc"
