#include "IniDocument.h"

#include <QTest>

#include <functional>

// The document itself, as the alias configuration uses it: sections and their entries in file
// order, values set in place or appended, whole sections appended, thousands of sections.

namespace {

using Edit = std::function<void(IniDocument&)>;

// An alias configuration as another program leaves it: comments, TYPE not first, a key
// without "=", a duplicate key and a duplicate section.
const QByteArray Aliases("; aliases of the suite\r\n"
                         "[POSSYS]\r\n"
                         "SERVER NAME=/opt/pos/Db/POSSYS.FDB\r\n"
                         "; the driver\r\n"
                         "TYPE=INTRBASE\r\n"
                         "USER NAME = \"SYSDBA\" \r\n"
                         "LANGDRIVER\r\n"
                         "type=OTHER\r\n"
                         "\r\n"
                         "[POSAPP]\r\n"
                         "TYPE=INTRBASE\r\n"
                         "[possys]\r\n"
                         "TYPE=SECOND\r\n");

QString shown(const QList<IniDocument::Entry>& entries)
{
    QStringList lines;
    for (const IniDocument::Entry& e : entries)
        lines << QString::fromLatin1(e.key + (e.value ? "=" + *e.value : QByteArray()) + " (" +
                                     e.raw + ")");
    return lines.join(QLatin1String(" | "));
}

} // namespace

Q_DECLARE_METATYPE(Edit)

class tst_IniDocumentEdit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldListSectionsAndEntriesInFileOrder();
    void shouldChangeOnlyWhatIsSet_data();
    void shouldChangeOnlyWhatIsSet();
    void shouldGiveBackTheBytesItWasReadFrom_data();
    void shouldGiveBackTheBytesItWasReadFrom();
    void shouldFindEveryOneOfThousandsOfSections();
};

void tst_IniDocumentEdit::shouldListSectionsAndEntriesInFileOrder()
{
    const IniDocument document = IniDocument::fromBytes(Aliases);

    QCOMPARE(document.sections(), (QList<QByteArray>{"POSSYS", "POSAPP"}));
    QVERIFY(document.hasSection(" possys "));
    QVERIFY(!document.hasSection("POSHIS"));
    // To the profile functions a comment is a line without "=": a key without a value.
    QCOMPARE(
        shown(document.entries("PosSys")),
        QStringLiteral("SERVER NAME=/opt/pos/Db/POSSYS.FDB (/opt/pos/Db/POSSYS.FDB) | "
                       "; the driver () | TYPE=INTRBASE (INTRBASE) | "
                       "USER NAME=SYSDBA ( \"SYSDBA\" ) | LANGDRIVER () | type=OTHER (OTHER)"));
    QCOMPARE(document.keys("POSSYS"),
             (QList<QByteArray>{"SERVER NAME", "; the driver", "TYPE", "USER NAME", "LANGDRIVER"}));
    QCOMPARE(document.value("POSSYS", "type"), std::optional<QByteArray>("INTRBASE"));
    QCOMPARE(document.storedValue("POSSYS", "user name"),
             std::optional<QByteArrayView>("\"SYSDBA\""));
    QCOMPARE(document.value("POSSYS", "LANGDRIVER"), std::nullopt);
    QCOMPARE(document.value("POSAPP", "TYPE"), std::optional<QByteArray>("INTRBASE"));
    QVERIFY(document.entries("POSHIS").isEmpty());
}

void tst_IniDocumentEdit::shouldChangeOnlyWhatIsSet_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("a value set in place, a key appended after the last filled line")
        << Aliases << Edit([](IniDocument& d) {
               QVERIFY(d.setValue("possys", "server name", "/srv/POSSYS.FDB"));
               QVERIFY(d.setValue("POSSYS", "OPEN MODE", "READ/WRITE"));
               QVERIFY(d.setValue("POSSYS", "LANGDRIVER", ""));
           })
        << QByteArray(Aliases)
               .replace("SERVER NAME=/opt/pos/Db/POSSYS.FDB", "SERVER NAME=/srv/POSSYS.FDB")
               .replace("LANGDRIVER\r\n", "LANGDRIVER=\r\n")
               .replace("type=OTHER\r\n", "type=OTHER\r\nOPEN MODE=READ/WRITE\r\n");
    QTest::newRow("setting the value a key holds changes nothing")
        << Aliases << Edit([](IniDocument& d) {
               QVERIFY(!d.setValue("POSSYS", "TYPE", "INTRBASE"));
               QVERIFY(!d.setValue("POSSYS", "USER NAME", "\"SYSDBA\""));
           })
        << Aliases;
    QTest::newRow("a section appended with its lines, the first of a name still wins")
        << Aliases << Edit([](IniDocument& d) {
               d.appendSection("POSHIS", {"TYPE=INTRBASE", "SERVER NAME=/h", "; note"});
               d.appendSection("POSAPP", {"TYPE=LATER"});
               QCOMPARE(d.value("POSHIS", "SERVER NAME"), std::optional<QByteArray>("/h"));
               QCOMPARE(d.value("POSAPP", "TYPE"), std::optional<QByteArray>("INTRBASE"));
               QVERIFY(d.setValue("POSHIS", "USER NAME", "SYSDBA"));
           })
        << Aliases + "[POSHIS]\r\nTYPE=INTRBASE\r\nSERVER NAME=/h\r\n; note\r\n"
                     "USER NAME=SYSDBA\r\n[POSAPP]\r\nTYPE=LATER\r\n";
    QTest::newRow("a section appended to a file without a final line end")
        << QByteArray("[A]\nK=1")
        << Edit([](IniDocument& d) { d.appendSection("B", {"K=2\r\n[C]"}); })
        << QByteArray("[A]\nK=1\n[B]\nK=2  [C]\n");
    QTest::newRow("an empty document gets CRLF") << QByteArray() << Edit([](IniDocument& d) {
        d.appendSection("POSSYS", {"TYPE=INTRBASE"});
        QVERIFY(d.setValue("POSSYS", "SERVER NAME", "/s"));
    }) << QByteArray("[POSSYS]\r\nTYPE=INTRBASE\r\nSERVER NAME=/s\r\n");
    QTest::newRow("a value with its own leading blank replaces the spacing after =")
        << QByteArray("[S]\r\nK =  old\r\n") << Edit([](IniDocument& d) {
               QVERIFY(d.setValue("S", "K", " new"));
               QVERIFY(!d.setValue("S", "K", " new"));
           })
        << QByteArray("[S]\r\nK = new\r\n");
}

void tst_IniDocumentEdit::shouldChangeOnlyWhatIsSet()
{
    QFETCH(QByteArray, before);
    QFETCH(Edit, edit);
    QFETCH(QByteArray, after);

    IniDocument document = IniDocument::fromBytes(before);
    edit(document);
    QCOMPARE(document.toBytes(), after);
    // What was written reads back the same from the bytes.
    const IniDocument reread = IniDocument::fromBytes(after);
    for (const QByteArray& section : document.sections())
        QCOMPARE(shown(reread.entries(section)), shown(document.entries(section)));
}

void tst_IniDocumentEdit::shouldGiveBackTheBytesItWasReadFrom_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("text");       // the value of S/K
    QTest::addColumn<QByteArray>("changed"); // after Other/K is set to "v"

    const auto le = [](const QString& text) {
        QByteArray bytes;
        for (QChar c : text)
            bytes.append(char(c.unicode() & 0xff)).append(char(c.unicode() >> 8));
        return bytes;
    };
    QTest::newRow("Windows-1252") << QByteArray("[S]\rK=\x80\x81\xff\r\n")
                                  << int(IniDocument::Encoding::Windows1252)
                                  << QStringLiteral("\u20ac\u0081\u00ff")
                                  << QByteArray("[S]\rK=\x80\x81\xff\r\n[Other]\rK=v\r");
    QTest::newRow("UTF-8 with its mark")
        << QByteArray("\xef\xbb\xbf[S]\nK=\xe2\x82\xac\xff") << int(IniDocument::Encoding::Utf8Bom)
        << QStringLiteral("\u20ac\ufffd")
        << QByteArray("\xef\xbb\xbf[S]\nK=\xe2\x82\xac\xff\n[Other]\nK=v\n");
    QTest::newRow("UTF-16LE with its mark, odd length")
        << QByteArray("\xff\xfe" + le(QStringLiteral("[S]\nK=\u20ac\U0001F600")) + '\0')
        << int(IniDocument::Encoding::Utf16LEBom) << QStringLiteral("\u20ac\U0001F600")
        << QByteArray("\xff\xfe" + le(QStringLiteral("[S]\nK=\u20ac\U0001F600\n[Other]\nK=v\n")) +
                      '\0');
    const QByteArray bigEndian = "\xfe\xff" + le(QStringLiteral("[S]\nK=x")).mid(1) + '\0';
    QTest::newRow("UTF-16BE is not taken for text: bytes")
        << bigEndian << int(IniDocument::Encoding::Windows1252) << QString()
        << bigEndian + "\n[Other]\nK=v\n";
}

void tst_IniDocumentEdit::shouldGiveBackTheBytesItWasReadFrom()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(QString, text);
    QFETCH(QByteArray, changed);

    IniDocument document = IniDocument::fromBytes(bytes);
    QCOMPARE(int(document.encoding()), encoding);
    const auto value = document.value("S", "K");
    QCOMPARE(value ? document.decode(*value) : QString(), text);
    QCOMPARE(document.toBytes(), bytes);
    QVERIFY(document.setValue("Other", "K", "v"));
    QCOMPARE(document.toBytes(), changed);
}

void tst_IniDocumentEdit::shouldFindEveryOneOfThousandsOfSections()
{
    constexpr int Count = 6000;
    QByteArray bytes = "; many aliases\r\n";
    for (int i = 0; i < Count; ++i)
        bytes += "[ALIAS" + QByteArray::number(i) + "]\r\n; comment\r\nSERVER NAME=/db/" +
                 QByteArray::number(i) + "\r\nTYPE=INTRBASE\r\n\r\n";
    IniDocument document = IniDocument::fromBytes(bytes);

    QCOMPARE(document.sections().size(), Count);
    QByteArray expected = "; many aliases\r\n";
    for (int i = 0; i < Count; ++i) {
        const QByteArray name = "alias" + QByteArray::number(i);
        QCOMPARE(document.value(name, "server name"),
                 std::optional<QByteArray>("/db/" + QByteArray::number(i)));
        QVERIFY(document.setValue(name, "USER NAME", "SYSDBA"));
        expected += "[ALIAS" + QByteArray::number(i) + "]\r\n; comment\r\nSERVER NAME=/db/" +
                    QByteArray::number(i) + "\r\nTYPE=INTRBASE\r\nUSER NAME=SYSDBA\r\n\r\n";
    }
    for (int i = 0; i < Count; ++i)
        document.appendSection("NEW" + QByteArray::number(i), {"TYPE=INTRBASE"});
    for (int i = 0; i < Count; ++i)
        expected += "[NEW" + QByteArray::number(i) + "]\r\nTYPE=INTRBASE\r\n";
    QCOMPARE(document.toBytes(), expected);
    QCOMPARE(document.value("NEW5999", "TYPE"), std::optional<QByteArray>("INTRBASE"));
    QCOMPARE(document.sections().size(), 2 * Count);
}

QTEST_GUILESS_MAIN(tst_IniDocumentEdit)
#include "tst_inidocument_edit.moc"
