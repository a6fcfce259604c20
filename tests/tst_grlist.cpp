#include "grlist.h"
#include "vyber.h"
#include "selectiontest.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>

using namespace kelmora;
using Error = GrlistResult::Error;

namespace {

struct Cell {
    int row;
    int column;
    QString value;
};
using Cells = QList<Cell>;

// Every cell holds "p", so that any write shows.
Vyber filledFlags()
{
    Vyber flags;
    for (int row = 0; row < Vyber::kRows; ++row) {
        for (int column = 0; column < Vyber::kColumns; ++column)
            flags.setCell(row, column, QStringLiteral("p"));
    }
    return flags;
}

// 51 letters "z"/"n": the small forms of rows 1..27, then the capitals of rows 1..24.
Vyber flagsFrom(const QString &pattern)
{
    Vyber flags;
    for (int i = 0; i < 51; ++i)
        flags.setCell(i % 27 + 1, i < 27 ? 1 : 2, pattern.at(i));
    flags.markUnusedCells();
    return flags;
}

// Hands out some bytes, then fails the way a broken disk does.
class FailingDevice : public QBuffer
{
public:
    explicit FailingDevice(const QByteArray &before)
    {
        setData(before);
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (pos() < size())
            return QBuffer::readData(data, maxSize);
        setErrorString(QStringLiteral("Input/output error"));
        return -1;
    }
};

} // namespace

Q_DECLARE_METATYPE(Cells)

class TestGrlist : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void writtenLines();
    void read_data();
    void read();
    void numberText_data();
    void numberText();
    void readFailure_data();
    void readFailure();
    void files_data();
    void files();
    void failureTexts_data();
    void failureTexts();
};

void TestGrlist::roundTrip_data()
{
    QTest::addColumn<QString>("pattern");

    QTest::addRow("all selected") << QString(51, QLatin1Char('z'));
    QTest::addRow("none selected") << QString(51, QLatin1Char('n'));
    // Bit b of each box's index: any two boxes differ in some pattern.
    for (int bit = 0; bit < 6; ++bit) {
        QString pattern;
        for (int i = 0; i < 51; ++i)
            pattern += (i >> bit) & 1 ? QLatin1Char('n') : QLatin1Char('z');
        QTest::addRow("bit %d", bit) << pattern;
    }
}

void TestGrlist::roundTrip()
{
    QFETCH(QString, pattern);
    const Vyber source = flagsFrom(pattern);

    const QByteArray text = writtenBytes(source);
    QCOMPARE(text.size(), 54 * 8);

    // Read over cells holding something else: columns 1 and 2 of rows 1..27 come back,
    // nothing else is touched.
    Vyber loaded = filledFlags();
    QVERIFY(readBytes(loaded, text).ok());
    Vyber expected = filledFlags();
    for (int row = 1; row <= 27; ++row) {
        for (int column = 1; column <= 2; ++column)
            expected.setCell(row, column, source.cell(row, column));
    }
    QCOMPARE(vyberCells(loaded), vyberCells(expected));
}

void TestGrlist::writtenLines()
{
    QString pattern(51, QLatin1Char('z'));
    pattern[4] = QLatin1Char('n');  // small epsilon
    pattern[50] = QLatin1Char('n'); // capital omega
    const QList<QByteArray> lines = writtenBytes(flagsFrom(pattern)).split('\n');

    QCOMPARE(lines.size(), 55); // 54 lines and nothing after the last line end
    QCOMPARE(lines.at(0), "m-01-z\r");
    QCOMPARE(lines.at(4), "m-05-n\r");
    QCOMPARE(lines.at(26), "m-27-z\r");
    QCOMPARE(lines.at(27), "v-01-z\r");
    QCOMPARE(lines.at(50), "v-24-n\r");
    QCOMPARE(lines.at(51), "v-25-n\r");
    QCOMPARE(lines.at(53), "v-27-n\r");
    QCOMPARE(lines.at(54), "");
}

void TestGrlist::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Cells>("changes");
    QTest::addColumn<Error>("error");
    QTest::addColumn<int>("failingLine");
    QTest::addColumn<QByteArray>("offendingLine");

    const auto add = [](const char *name, const QByteArray &bytes, const Cells &changes,
                        Error error = Error::None, int line = 0, const char *offending = "") {
        QTest::newRow(name) << bytes << changes << error << line << QByteArray(offending);
    };
    const QString n = QStringLiteral("n");
    const QString z = QStringLiteral("z");
    const QString x = QStringLiteral("x");
    const QByteArray line("m-01-n\r\n");
    add("only m-05-n", "m-05-n\r\n", {{5, 1, n}});
    add("empty file", "", {});
    add("one digit, empty flag", "m-5-z\r\n", {{5, 1, {}}});
    add("M carries the column", "v-03-n\r\nM-04-n\r\n", {{3, 2, n}, {4, 2, n}});
    add("x carries the column", "m-03-n\r\nx-04-n\r\n", {{3, 1, n}, {4, 1, n}});
    add("unknown letter first is column 0", "M-04-n\r\n", {{4, 0, n}});
    add("row 31 fails at its line", "m-01-n\r\nm-31-z\r\nm-02-n\r\n", {{1, 1, n}},
        Error::RowOutOfRange, 2, "m-31-z");
    add("row -1 fails at its line", "v-01-n\r\nv-02-n\r\nm--1-z\r\nm-02-n\r\n",
        {{1, 2, n}, {2, 2, n}}, Error::RowOutOfRange, 3, "m--1-z");
    add("flags stored as read", "m-01-N\r\nm-02-x\r\nm-03-\r\n",
        {{1, 1, QStringLiteral("N")}, {2, 1, x}, {3, 1, {}}});
    add("v-lines for rows 25..27", "v-25-z\r\nv-26-x\r\nv-27-n\r\n",
        {{25, 2, z}, {26, 2, x}, {27, 2, n}});
    add("LF, CR, CR LF and no end", "m-01-n\nv-02-n\rm-03-n\r\nv-04-n",
        {{1, 1, n}, {2, 2, n}, {3, 1, n}, {4, 2, n}});
    add("empty line stores into row 0 of the column", "m-01-n\r\r\nm-02-n",
        {{1, 1, n}, {0, 1, {}}, {2, 1, n}});
    add("only characters 1, 3..4 and 6 count", "m?08?nz-31\r\n", {{8, 1, n}});
    add("short line", "v-1", {{1, 2, {}}});
    add("one byte is one character", "m-09-\xe9\r\n", {{9, 1, QStringLiteral("é")}});
    add("exactly 64 KiB", line.repeated(8192), {{1, 1, n}});
    // Refused before any flag changes.
    add("one byte over 64 KiB", line.repeated(8192) + 'v', {}, Error::TooLarge);
    add("NUL after good lines", line + line + QByteArray(1, '\0'), {}, Error::WrongEncoding);
    add("NUL as a flag", QByteArray("m-01-\0\r\n", 8), {}, Error::WrongEncoding);
}

void TestGrlist::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Cells, changes);
    QFETCH(Error, error);
    QFETCH(int, failingLine);
    QFETCH(QByteArray, offendingLine);

    Vyber flags = filledFlags();
    const GrlistResult result = readBytes(flags, bytes);

    QCOMPARE(result.error, error);
    QCOMPARE(result.line, failingLine);
    QCOMPARE(result.lineText, offendingLine);
    Vyber expected = filledFlags();
    for (const Cell &cell : changes)
        expected.setCell(cell.row, cell.column, cell.value);
    QCOMPARE(vyberCells(flags), vyberCells(expected));
}

void TestGrlist::numberText_data()
{
    // The row that characters 3..4 of a line name: blanks skipped, a decimal number with
    // optional sign, point and E or D exponent read as far as it goes (none is 0), rounded
    // half to even; -1 where the row is outside 0..30 and the load fails.
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("row");

    const std::pair<const char *, int> cases[] = {
        {"05", 5}, {"30", 30}, {"31", -1}, {"8", 8},     {"5-", 5},    {"3a", 3},    {"1.2.3", 1},
        {" 7", 7}, {"7 ", 7},  {"\t4", 4}, {"1 2", 12},  {"+ 3", 3},   {"", 0},      {"  ", 0},
        {"ab", 0}, {".", 0},   {"--", 0},  {"-", 0},     {"-.", 0},    {"e1", 0},    {"&7", 0},
        {"&H", 0}, {"+3", 3},  {"-1", -1}, {"-0", 0},    {"1.", 1},    {".4", 0},    {".5", 0},
        {".6", 1}, {"2.5", 2}, {"3.5", 4}, {"30.5", 30}, {"30.6", -1}, {"-0.4", 0},  {"-0.6", -1},
        {"1e", 1}, {"2D", 2},  {"4e+", 4}, {"1e1", 10},  {"1D1", 10},  {"25e-1", 2}, {"1e999", -1}};
    for (const auto &[text, row] : cases)
        QTest::addRow("\"%s\"", text) << QByteArray(text) << row;
}

void TestGrlist::numberText()
{
    QFETCH(QByteArray, text);
    QFETCH(int, row);

    QCOMPARE(listRow(text).value_or(-1), row);
}

void TestGrlist::readFailure_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("line");

    QTest::addRow("at once") << QByteArray() << 1;
    QTest::addRow("after a whole line") << QByteArray("m-01-n\r\n") << 2;
    QTest::addRow("inside the third line") << QByteArray("m-01-n\r\nm-02-n\nm-0") << 3;
}

void TestGrlist::readFailure()
{
    QFETCH(QByteArray, before);
    QFETCH(int, line);

    Vyber flags = filledFlags();
    FailingDevice device(before);
    const GrlistResult result = readList(flags, device);
    QCOMPARE(result.error, Error::ReadFailed);
    QCOMPARE(result.line, line);
    // Whether a NUL byte was still to come is unknown, so nothing is applied.
    QCOMPARE(vyberCells(flags), vyberCells(filledFlags()));
}

void TestGrlist::files_data()
{
    QTest::addColumn<bool>("saving");
    QTest::addColumn<QString>("name");
    QTest::addColumn<Error>("error");
    QTest::addColumn<QString>("reason");

    const QString gone = QStringLiteral("neexistuje");
    const QString notFile = QStringLiteral("rouru");
    QTest::addRow("save over a longer file") << true << "file" << Error::None << "";
    QTest::addRow("save below a file") << true << "file/vyber.grlist" << Error::OpenFailed << gone;
    QTest::addRow("load a missing file") << false << "missing.grlist" << Error::OpenFailed << gone;
    QTest::addRow("load a named pipe") << false << "pipe" << Error::NotRegularFile << notFile;
    QTest::addRow("save over a named pipe") << true << "pipe" << Error::NotRegularFile << notFile;
    // Too long for the name the temporary file gets when it is committed.
    QTest::addRow("save a name too long")
        << true << QString(256, u'x') << Error::WriteFailed << "příliš dlouhý";
}

// A saved file is replaced whole; a failure changes neither a file nor a flag.
void TestGrlist::files()
{
    QFETCH(bool, saving);
    QFETCH(QString, name);
    QFETCH(Error, error);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("file"));
    const QByteArray old(1000, 'o');
    {
        QFile longer(file);
        QVERIFY(longer.open(QIODevice::WriteOnly) && longer.write(old) == old.size());
    }
    QCOMPARE(mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe"))).constData(), 0600), 0);

    Vyber flags = filledFlags();
    const GrlistResult result =
        saving ? saveListFile(flags, dir.filePath(name)) : loadListFile(flags, dir.filePath(name));
    // A name too long fails at opening or, where QSaveFile gets O_TMPFILE, at committing.
    QVERIFY(result.error == error ||
            (error == Error::WriteFailed && result.error == Error::OpenFailed));
    QCOMPARE(failureText(result, saving).isEmpty(), result.ok());
    QVERIFY(failureText(result, saving).contains(reason));
    QCOMPARE(vyberCells(flags), vyberCells(filledFlags()));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), {QStringLiteral("file")});
    QCOMPARE(fileBytes(file), result.ok() ? writtenBytes(flags) : old);
}

void TestGrlist::failureTexts_data()
{
    QTest::addColumn<Error>("error");
    QTest::addColumn<int>("systemError");
    QTest::addColumn<bool>("saving");
    QTest::addColumn<bool>("existed");
    QTest::addColumn<QString>("reason");

    QTest::addRow("read-only") << Error::OpenFailed << EROFS << true << true << "jen pro čtení";
    QTest::addRow("full, new file") << Error::WriteFailed << ENOSPC << true << false << "místa";
    QTest::addRow("I/O") << Error::WriteFailed << EIO << true << true << "chyba čtení nebo zápisu";
    QTest::addRow("permission") << Error::OpenFailed << EACCES << false << true << "oprávnění";
    QTest::addRow("UTF-16") << Error::WrongEncoding << 0 << false << false << "kódování";
    // The line as UTF-8, cut.
    QTest::addRow("long line") << Error::RowOutOfRange << 0 << false << false << "ž…“";
}

void TestGrlist::failureTexts()
{
    QFETCH(Error, error);
    QFETCH(int, systemError);
    QFETCH(bool, saving);
    QFETCH(bool, existed);
    QFETCH(QString, reason);

    GrlistResult result;
    result.error = error;
    result.systemError = systemError;
    result.existed = existed;
    result.lineText = "m-99-" + QStringLiteral("ž").toUtf8().repeated(30000);
    const QString text = failureText(result, saving);
    QVERIFY2(text.contains(reason) && text.size() < 200, qPrintable(text));
    QCOMPARE(text.contains(QStringLiteral("Soubor zůstal, jak byl.")), saving && existed);
}

QTEST_GUILESS_MAIN(TestGrlist)
#include "tst_grlist.moc"
