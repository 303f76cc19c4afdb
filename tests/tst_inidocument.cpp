#include "IniDocument.h"
#include "ProfileSteps.h"
#include "TestFiles.h"

#include <QTest>

// The private-profile rules on files as editors and the suite leave them: the bytes on disk,
// the calls made on them, and the exact bytes on disk afterwards.

namespace {

QString fixture(const QString& name)
{
    return testDataPath(QStringLiteral("ini/") + name);
}

QByteArray contentOf(const QString& path)
{
    return readAll(path, "(absent)");
}

QString digits(int count)
{
    return QStringLiteral("0123456789").repeated(count / 10 + 1).left(count);
}

} // namespace

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

    // Files as editors produce them: read, one write, then the exact bytes.
    QTest::newRow("golden: Windows-1252 text")
        << "golden/cp1252.ini"
        << Steps{reads("DATABASE", "SERVER_NAME", QStringLiteral("caf\u00e9")),
                 reads("DATABASE", "POS_PATH", QStringLiteral("C:\\Caf\u00e9\\\u20ac\u0081")),
                 reads("REPORT", "PATH", QStringLiteral("\u00c0 la carte")),
                 writes("DATABASE", "SERVER_NAME", QStringLiteral("Cr\u00e8me")),
                 reads("DATABASE", "SERVER_NAME", QStringLiteral("Cr\u00e8me"))}
        << "golden/cp1252.expected.ini";
    QTest::newRow("golden: UTF-8 with byte-order mark")
        << "golden/utf8_bom.ini"
        << Steps{reads("DATABASE", "SERVER_NAME", QStringLiteral("caf\u00e9")),
                 reads("DATABASE", "DEFAULT", "C"),
                 reads("REPORT", "PATH", QStringLiteral("/\u0141\u00f3d\u017a")),
                 writes("DATABASE", "SERVER_NAME", QStringLiteral("\u0141\u00f3d\u017a"))}
        << "golden/utf8_bom.expected.ini";
    QTest::newRow("golden: UTF-16LE with byte-order mark")
        << "golden/utf16le_bom.ini"
        << Steps{reads("DATABASE", "SERVER_NAME", QStringLiteral("caf\u00e9")),
                 reads("DATABASE", "DEFAULT", "C"),
                 reads("REPORT", "PATH", QStringLiteral("/\u0141\u00f3d\u017a \U0001F600")),
                 writes("DATABASE", "POS_PATH", "/opt/pos/Db")}
        << "golden/utf16le_bom.expected.ini";
    QTest::newRow("golden: lone CR line ends")
        << "golden/cr_only.ini"
        << Steps{reads("DATABASE", "DEFAULT", "C"),
                 reads("DATABASE", "POS_PATH", "/opt/pos/Db"),
                 reads("REPORT", "PATH", "/opt/pos/Report"),
                 writes("REPORT", "LOG", "/opt/pos/Log")}
        << "golden/cr_only.expected.ini";
    QTest::newRow("golden: mixed line ends, no final line end")
        << "golden/mixed.ini"
        << Steps{reads("DATABASE", "DEFAULT", "C"),
                 reads("DATABASE", "POS_PATH", "/opt/pos/Db"),
                 reads("REPORT", "PATH", "/opt/pos/Report"),
                 reads("REPORT", "LOG", "/opt/pos/Log"),
                 writes("REPORT", "LOG_EXT", "000")}
        << "golden/mixed.expected.ini";
}

void tst_IniDocument::shouldFollowProfileRulesAndKeepEveryOtherByte()
{
    QFETCH(QString, input);
    QFETCH(Steps, steps);
    QFETCH(QString, expected);

    runSteps(input.isEmpty() ? QByteArray() : contentOf(fixture(input)), steps,
             contentOf(fixture(expected)));
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
