#include "ProfileSteps.h"

#include <QTest>

// Each private-profile rule on small byte-exact files, through ProfileFile: the bytes on disk,
// the calls made on them, and the bytes on disk afterwards.
class tst_ProfileRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldEndLinesAtCrLfLfAndLoneCr_data();
    void shouldEndLinesAtCrLfLfAndLoneCr();
    void shouldKeepEveryByteOfTheFilesEncoding_data();
    void shouldKeepEveryByteOfTheFilesEncoding();
    void shouldTakeSectionNameUpToTheLastBracket_data();
    void shouldTakeSectionNameUpToTheLastBracket();
    void shouldTreatLineWithoutEqualsAsKeyWithoutValue_data();
    void shouldTreatLineWithoutEqualsAsKeyWithoutValue();
    void shouldMatchNamesAsciiCaseInsensitivelyFirstWins_data();
    void shouldMatchNamesAsciiCaseInsensitivelyFirstWins();
    void shouldReadValuesLikeTheProfileFunctions_data();
    void shouldReadValuesLikeTheProfileFunctions();

private:
    void addColumns();
};

void tst_ProfileRules::addColumns()
{
    QTest::addColumn<QByteArray>("before"); // null: the file does not exist yet
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<QByteArray>("after");
}

void tst_ProfileRules::shouldEndLinesAtCrLfLfAndLoneCr_data()
{
    addColumns();

    QTest::newRow("CR only")
        << QByteArray("[S]\rA=1\rB=2\r")
        << Steps{reads("S", "A", "1"), reads("S", "B", "2"), writes("S", "B", "3"),
                 writes("S", "C", "4")}
        << QByteArray("[S]\rA=1\rB=3\rC=4\r");
    QTest::newRow("a lone CR ends the value and opens the next section")
        << QByteArray("[S]\rA=1\r[T]\rA=2")
        << Steps{reads("S", "A", "1"), reads("T", "A", "2"), writes("T", "B", "3")}
        << QByteArray("[S]\rA=1\r[T]\rA=2\rB=3\r");
    QTest::newRow("replacing a value keeps the lines that share its CRLF line")
        << QByteArray("[S]\r\nA=1\rB=2\rC=3\r\n")
        << Steps{writes("S", "B", "9"), reads("S", "A", "1"), reads("S", "C", "3")}
        << QByteArray("[S]\r\nA=1\rB=9\rC=3\r\n");
    QTest::newRow("mixed, a new line takes the first line end of the file")
        << QByteArray("[S]\nA=1\r\nB=2\rC=3")
        << Steps{reads("S", "C", "3"), writes("S", "A", "x"), writes("S", "D", "4")}
        << QByteArray("[S]\nA=x\r\nB=2\rC=3\nD=4\n");
    QTest::newRow("CR CR LF is a lone CR and a CRLF")
        << QByteArray("[S]\r\r\nA=1\r\r\n")
        << Steps{reads("S", "A", "1"), writes("S", "B", "2")}
        << QByteArray("[S]\r\r\nA=1\rB=2\r\r\n");
    QTest::newRow("LF CR is two line ends")
        << QByteArray("[S]\n\rA=1\n\r")
        << Steps{reads("S", "A", "1"), writes("S", "A", "2")}
        << QByteArray("[S]\n\rA=2\n\r");
    QTest::newRow("a write lands in the section the CR opened")
        << QByteArray("[DATABASE]\rSERVER=A\r[REPORT]\rPATH=/r\r")
        << Steps{writes("REPORT", "LOG", "/l"), writes("DATABASE", "DEFAULT", "C")}
        << QByteArray("[DATABASE]\rSERVER=A\rDEFAULT=C\r[REPORT]\rPATH=/r\rLOG=/l\r");
}

void tst_ProfileRules::shouldEndLinesAtCrLfLfAndLoneCr()
{
    QFETCH(QByteArray, before);
    QFETCH(Steps, steps);
    QFETCH(QByteArray, after);
    runSteps(before, steps, after);
}

void tst_ProfileRules::shouldKeepEveryByteOfTheFilesEncoding_data()
{
    addColumns();

    QTest::newRow("a Windows-1252 letter reads as itself and is written back unchanged")
        << QByteArray("[DATABASE]\r\nSERVER_NAME=caf\xe9\r\n")
        << Steps{reads("DATABASE", "SERVER_NAME", QStringLiteral("caf\u00e9")),
                 copies("DATABASE", "SERVER_NAME", "COPY"), writes("DATABASE", "Other", "x")}
        << QByteArray("[DATABASE]\r\nSERVER_NAME=caf\xe9\r\nCOPY=caf\xe9\r\nOther=x\r\n");
    QTest::newRow("typed text is written in Windows-1252")
        << QByteArray("[DATABASE]\r\n")
        << Steps{writes("DATABASE", "SERVER_NAME", QStringLiteral("caf\u00e9 \u20ac\u0178")),
                 reads("DATABASE", "SERVER_NAME", QStringLiteral("caf\u00e9 \u20ac\u0178"))}
        << QByteArray("[DATABASE]\r\nSERVER_NAME=caf\xe9 \x80\x9f\r\n");
    QTest::newRow("the letters of 0x80 to 0x9F, undefined bytes included")
        << QByteArray("[S]\r\nK=\x80\x81\x8a\x8d\x8f\x90\x9d\x9f\r\n")
        << Steps{reads("S", "K",
                       QStringLiteral("\u20ac\u0081\u0160\u008d\u008f\u0090\u009d\u0178"))}
        << QByteArray("[S]\r\nK=\x80\x81\x8a\x8d\x8f\x90\x9d\x9f\r\n");
    QTest::newRow("every byte from 0x80 to 0xFF round-trips through a read and a write")
        << QByteArray("[S]\r\nK=" + byteRange(0x80, 0xff) + "\r\n")
        << Steps{copies("S", "K", "C")}
        << QByteArray("[S]\r\nK=" + byteRange(0x80, 0xff) + "\r\nC=" + byteRange(0x80, 0xff) +
                      "\r\n");
    QTest::newRow("control bytes round-trip")
        << QByteArray("[S]\r\nK=a" + byteRange(0x01, 0x08) + byteRange(0x0e, 0x1f) + "\x7f\r\n")
        << Steps{copies("S", "K", "C")}
        << QByteArray("[S]\r\nK=a" + byteRange(0x01, 0x08) + byteRange(0x0e, 0x1f) +
                      "\x7f\r\nC=a" + byteRange(0x01, 0x08) + byteRange(0x0e, 0x1f) + "\x7f\r\n");
    QTest::newRow("a UTF-8 byte-order mark does not hide the first section")
        << QByteArray("\xef\xbb\xbf[DATABASE]\r\nDEFAULT=C\r\nSERVER_NAME=caf\xc3\xa9\r\n")
        << Steps{reads("DATABASE", "DEFAULT", "C"),
                 reads("DATABASE", "SERVER_NAME", QStringLiteral("caf\u00e9")),
                 writes("DATABASE", "DEFAULT", "T"),
                 writes("DATABASE", "POS_PATH", QStringLiteral("/\u0141\u00f3d\u017a"))}
        << QByteArray("\xef\xbb\xbf[DATABASE]\r\nDEFAULT=T\r\nSERVER_NAME=caf\xc3\xa9\r\n"
                      "POS_PATH=/\xc5\x81\xc3\xb3\x64\xc5\xba\r\n");
    QTest::newRow("a UTF-16LE file is read and written as UTF-16LE")
        << utf16le(QStringLiteral("[DATABASE]\r\nDEFAULT=C\r\nSERVER_NAME=caf\u00e9\r\n"))
        << Steps{reads("DATABASE", "DEFAULT", "C"),
                 reads("DATABASE", "SERVER_NAME", QStringLiteral("caf\u00e9")),
                 writes("DATABASE", "DEFAULT", "T"),
                 writes("DATABASE", "POS_PATH", QStringLiteral("/\u0141\u00f3d\u017a"))}
        << utf16le(QStringLiteral("[DATABASE]\r\nDEFAULT=T\r\nSERVER_NAME=caf\u00e9\r\n"
                                  "POS_PATH=/\u0141\u00f3d\u017a\r\n"));
    QTest::newRow("a UTF-16LE file keeps lone surrogates and an odd last byte")
        << QByteArray(utf16le({u'[', u'S', u']', u'\n', u'A', u'=', 0xd800, u'\n', u'B', u'=',
                               0xdc00, u'x', u'\n'}) +
                      "\x41")
        << Steps{writes("S", "C", "1")}
        << QByteArray(utf16le({u'[', u'S', u']', u'\n', u'A', u'=', 0xd800, u'\n', u'B', u'=',
                               0xdc00, u'x', u'\n', u'C', u'=', u'1', u'\n'}) +
                      "\x41");
}

void tst_ProfileRules::shouldKeepEveryByteOfTheFilesEncoding()
{
    QFETCH(QByteArray, before);
    QFETCH(Steps, steps);
    QFETCH(QByteArray, after);
    runSteps(before, steps, after);
}

void tst_ProfileRules::shouldTakeSectionNameUpToTheLastBracket_data()
{
    addColumns();

    QTest::newRow("a [ line without ] is an ordinary key line")
        << QByteArray("[DATABASE\r\nPOS_PATH=/x\r\n")
        << Steps{readsNothing("DATABASE", "POS_PATH"), writes("DATABASE", "POS_PATH", "/y"),
                 reads("DATABASE", "POS_PATH", "/y")}
        << QByteArray("[DATABASE\r\nPOS_PATH=/x\r\n[DATABASE]\r\nPOS_PATH=/y\r\n");
    QTest::newRow("the name ends at the last ]")
        << QByteArray("[A]B]\r\nK=1\r\n")
        << Steps{reads("A]B", "K", "1"), readsNothing("A", "K"), writes("A]B", "K", "2")}
        << QByteArray("[A]B]\r\nK=2\r\n");
    QTest::newRow("text after the last ] is ignored")
        << QByteArray("[DB] ; the databases\r\nK=1\r\n[R] ; reports ] old\r\nK=2\r\n")
        << Steps{reads("DB", "K", "1"), reads("R] ; reports", "K", "2"), readsNothing("R", "K")}
        << QByteArray("[DB] ; the databases\r\nK=1\r\n[R] ; reports ] old\r\nK=2\r\n");
    QTest::newRow("blanks around the brackets and the name are trimmed")
        << QByteArray(" \t[\v DB \f]\x0b\r\nK=1\r\n")
        << Steps{reads("DB", "K", "1"), writes("db", "K", "2")}
        << QByteArray(" \t[\v DB \f]\x0b\r\nK=2\r\n");
    QTest::newRow("a no-break space is part of the name")
        << QByteArray("[\xa0" "DB]\r\nK=1\r\n")
        << Steps{readsNothing("DB", "K"), reads(QStringLiteral("\u00a0DB"), "K", "1")}
        << QByteArray("[\xa0" "DB]\r\nK=1\r\n");
}

void tst_ProfileRules::shouldTakeSectionNameUpToTheLastBracket()
{
    QFETCH(QByteArray, before);
    QFETCH(Steps, steps);
    QFETCH(QByteArray, after);
    runSteps(before, steps, after);
}

void tst_ProfileRules::shouldTreatLineWithoutEqualsAsKeyWithoutValue_data()
{
    addColumns();

    QTest::newRow("the first DEFAULT has no value: absent, and written in place")
        << QByteArray("[DATABASE]\r\nDEFAULT\r\nDEFAULT=T\r\n")
        << Steps{readsNothing("DATABASE", "DEFAULT"), writes("DATABASE", "DEFAULT", "C"),
                 reads("DATABASE", "DEFAULT", "C")}
        << QByteArray("[DATABASE]\r\nDEFAULT=C\r\nDEFAULT=T\r\n");
    QTest::newRow("a key without = keeps its spacing when written")
        << QByteArray("[S]\n  Key \t\nOther=1\n")
        << Steps{readsNothing("S", "key"), writes("S", "KEY", "v")}
        << QByteArray("[S]\n  Key \t=v\nOther=1\n");
    QTest::newRow("the line is split at the first =, key and value trimmed")
        << QByteArray("[S]\r\n \tK\v = a=b \f\r\n")
        << Steps{reads("S", "K", "a=b"), writes("S", "K", "c")}
        << QByteArray("[S]\r\n \tK\v = c\r\n");
    QTest::newRow("keys before the first header belong to a nameless section")
        << QByteArray("K=0\r\n[S]\r\nK=1\r\n")
        << Steps{reads("S", "K", "1"), reads("", "K", "0"), writes("S", "K", "2"),
                 writes("S", "L", "3")}
        << QByteArray("K=0\r\n[S]\r\nK=2\r\nL=3\r\n");
}

void tst_ProfileRules::shouldTreatLineWithoutEqualsAsKeyWithoutValue()
{
    QFETCH(QByteArray, before);
    QFETCH(Steps, steps);
    QFETCH(QByteArray, after);
    runSteps(before, steps, after);
}

void tst_ProfileRules::shouldMatchNamesAsciiCaseInsensitivelyFirstWins_data()
{
    addColumns();

    QTest::newRow("ASCII letters match in any case, the caller's blanks trimmed")
        << QByteArray("[database]\r\npos_path=/x\r\n")
        << Steps{reads("DATABASE", "POS_PATH", "/x"), reads(" DataBase\t", "\vPos_Path ", "/x"),
                 writes("DATABASE", "POS_PATH", "/y")}
        << QByteArray("[database]\r\npos_path=/y\r\n");
    QTest::newRow("other letters match only exactly")
        << QByteArray("[caf\xe9]\r\n\xe9t\xe9=1\r\n")
        << Steps{readsNothing(QStringLiteral("CAF\u00c9"), QStringLiteral("\u00e9t\u00e9")),
                 reads(QStringLiteral("CAF\u00e9"), QStringLiteral("\u00e9T\u00e9"), "1"),
                 readsNothing(QStringLiteral("caf\u00e9"), QStringLiteral("\u00c9t\u00c9")),
                 writes(QStringLiteral("caf\u00e9"), QStringLiteral("\u00c9T\u00c9"), "2")}
        << QByteArray("[caf\xe9]\r\n\xe9t\xe9=1\r\n\xc9T\xc9=2\r\n");
    QTest::newRow("the first section and the first key of a name win")
        << QByteArray("[S]\r\nK=1\r\nk=2\r\n[s]\r\nK=3\r\nL=4\r\n")
        << Steps{reads("S", "K", "1"), readsNothing("S", "L"), writes("S", "k", "5"),
                 writes("S", "L", "6")}
        << QByteArray("[S]\r\nK=5\r\nk=2\r\nL=6\r\n[s]\r\nK=3\r\nL=4\r\n");
}

void tst_ProfileRules::shouldMatchNamesAsciiCaseInsensitivelyFirstWins()
{
    QFETCH(QByteArray, before);
    QFETCH(Steps, steps);
    QFETCH(QByteArray, after);
    runSteps(before, steps, after);
}

void tst_ProfileRules::shouldReadValuesLikeTheProfileFunctions_data()
{
    addColumns();

    static const char valuesText[] = "[S]\r\n"
                                     "Nul=ab\0cd\r\n"
                                     "NulInQuotes=\"ab\0cd\"\r\n"
                                     "NulFirst= \0x\r\n"
                                     "Pair=\"x\"\r\n"
                                     "Doubled=\"\"x\"\"\r\n"
                                     "Spaced=  ' a '  \r\n"
                                     "Blanks=\v\fv\t\f\r\n"
                                     "NoBreak=\xa0v\xa0\r\n"
                                     "Empty=\r\n"
                                     "Lone='\r\n";
    const QByteArray values(valuesText, sizeof valuesText - 1);
    QTest::newRow("a NUL ends the value; one outer pair of quotes; blanks trimmed")
        << values
        << Steps{reads("S", "Nul", "ab"),
                 reads("S", "NulInQuotes", "\"ab"),
                 reads("S", "NulFirst", ""),
                 reads("S", "Pair", "x"),
                 reads("S", "Doubled", "\"x\""),
                 reads("S", "Spaced", " a "),
                 reads("S", "Blanks", "v"),
                 reads("S", "NoBreak", QStringLiteral("\u00a0v\u00a0")),
                 reads("S", "Empty", ""),
                 reads("S", "Lone", "'")}
        << values;
    QTest::newRow("a line break in a written value is flattened")
        << QByteArray("[S]\r\nK=1\r\n")
        << Steps{writes("S", "K", "a\rb\nc\r\n[T]"), reads("S", "K", "a b c  [T]"),
                 readsNothing("T", "K")}
        << QByteArray("[S]\r\nK=a b c  [T]\r\n");
}

void tst_ProfileRules::shouldReadValuesLikeTheProfileFunctions()
{
    QFETCH(QByteArray, before);
    QFETCH(Steps, steps);
    QFETCH(QByteArray, after);
    runSteps(before, steps, after);
}

QTEST_GUILESS_MAIN(tst_ProfileRules)
#include "tst_profilerules.moc"
