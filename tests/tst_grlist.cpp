#include "grlist.h"
#include "vyber.h"
#include "selectiontest.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

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
    for (int i = 0; i < 27; ++i)
        flags.setCell(i + 1, 1, pattern.at(i));
    for (int i = 0; i < 24; ++i)
        flags.setCell(i + 1, 2, pattern.at(27 + i));
    flags.markUnusedCells();
    return flags;
}

// Hands out some bytes, then fails the way a broken disk does.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(QByteArray before)
        : m_before(std::move(before))
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_before.isEmpty()) {
            setErrorString(QStringLiteral("Input/output error"));
            return -1;
        }
        const qint64 size = std::min<qint64>(maxSize, m_before.size());
        std::memcpy(data, m_before.constData(), size);
        m_before.remove(0, size);
        return size;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_before;
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
    void refused_data();
    void refused();
    void readFailure_data();
    void readFailure();
    void saveFile();
    void saveFileFailure();
    void loadFileFailure_data();
    void loadFileFailure();
};

void TestGrlist::roundTrip_data()
{
    QTest::addColumn<QString>("pattern");

    const QString all(51, QLatin1Char('z'));
    QTest::addRow("all selected") << all;
    QTest::addRow("none selected") << QString(51, QLatin1Char('n'));
    for (int i = 0; i < 51; ++i) {
        QString pattern = all;
        pattern[i] = QLatin1Char('n');
        if (i < 27)
            QTest::addRow("only small %d off", i + 1) << pattern;
        else
            QTest::addRow("only capital %d off", i - 26) << pattern;
    }
    for (quint32 seed = 1; seed <= 8; ++seed) {
        QRandomGenerator random(seed);
        QString pattern;
        for (int i = 0; i < 51; ++i)
            pattern += random.bounded(2) ? QLatin1Char('z') : QLatin1Char('n');
        QTest::addRow("random %u", seed) << pattern;
    }
}

void TestGrlist::roundTrip()
{
    QFETCH(QString, pattern);
    const Vyber source = flagsFrom(pattern);

    const QByteArray text = writtenBytes(source);
    QCOMPARE(text.size(), 54 * 8);
    QCOMPARE(text.count("\r\n"), 54);

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
    QTest::addColumn<int>("failingLine");
    QTest::addColumn<QString>("offendingLine");

    const auto add = [](const char *name, const QByteArray &bytes, const Cells &changes,
                        int failingLine = 0, const char *offendingLine = "") {
        QTest::newRow(name) << bytes << changes << failingLine
                            << QString::fromLatin1(offendingLine);
    };
    const QString n = QStringLiteral("n");
    const QString z = QStringLiteral("z");
    const QString x = QStringLiteral("x");
    add("only m-05-n", "m-05-n\r\n", {{5, 1, n}});
    add("empty file", "", {});
    add("one digit, empty flag", "m-5-z\r\n", {{5, 1, {}}});
    add("M carries the column", "v-03-n\r\nM-04-n\r\n", {{3, 2, n}, {4, 2, n}});
    add("x carries the column", "m-03-n\r\nx-04-n\r\n", {{3, 1, n}, {4, 1, n}});
    add("unknown letter first is column 0", "M-04-n\r\n", {{4, 0, n}});
    add("row 31 fails at its line", "m-01-n\r\nm-31-z\r\nm-02-n\r\n", {{1, 1, n}}, 2, "m-31-z");
    add("row -1 fails at its line", "v-01-n\r\nv-02-n\r\nm--1-z\r\nm-02-n\r\n",
        {{1, 2, n}, {2, 2, n}}, 3, "m--1-z");
    add("flags stored as read", "m-01-N\r\nm-02-x\r\nm-03-\r\n",
        {{1, 1, QStringLiteral("N")}, {2, 1, x}, {3, 1, {}}});
    add("v-lines for rows 25..27", "v-25-z\r\nv-26-x\r\nv-27-n\r\n",
        {{25, 2, z}, {26, 2, x}, {27, 2, n}});
    add("rows 0 and 30", "m-00-n\r\nv-30-n\r\n", {{0, 1, n}, {30, 2, n}});
    add("later lines win", "m-07-n\r\nm-07-z\r\n", {{7, 1, z}});
    add("LF endings", "m-01-n\nv-02-n\n", {{1, 1, n}, {2, 2, n}});
    add("CR endings", "m-01-n\rv-02-n\r", {{1, 1, n}, {2, 2, n}});
    add("no end on the last line", "m-01-n\r\nv-02-n", {{1, 1, n}, {2, 2, n}});
    add("empty line stores into row 0 of the column", "m-01-n\r\r\nm-02-n",
        {{1, 1, n}, {0, 1, {}}, {2, 1, n}});
    add("empty first line", "\r\n", {{0, 0, {}}});
    add("after character 6 nothing counts", "m-07-nz-31\r\n", {{7, 1, n}});
    add("characters 2 and 5 unread", "m?08?n\r\n", {{8, 1, n}});
    add("short line", "v-1", {{1, 2, {}}});
    add("letter only", "v", {{0, 2, {}}});
    add("one byte is one character", "m-09-\xe9\r\n", {{9, 1, QStringLiteral("é")}});
    add("exactly 64 KiB", QByteArray("m-01-n\r\n").repeated(8192), {{1, 1, n}});
}

void TestGrlist::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Cells, changes);
    QFETCH(int, failingLine);
    QFETCH(QString, offendingLine);

    Vyber flags = filledFlags();
    const GrlistResult result = readBytes(flags, bytes);

    QCOMPARE(result.error, failingLine == 0 ? Error::None : Error::RowOutOfRange);
    QCOMPARE(result.line, failingLine);
    QCOMPARE(result.message, offendingLine);
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

    QTest::addRow("two digits") << QByteArray("05") << 5;
    QTest::addRow("highest row") << QByteArray("30") << 30;
    QTest::addRow("just too high") << QByteArray("31") << -1;
    QTest::addRow("far too high") << QByteArray("99") << -1;
    QTest::addRow("digit then dash") << QByteArray("5-") << 5;
    QTest::addRow("digit then plus") << QByteArray("5+") << 5;
    QTest::addRow("digit then letter") << QByteArray("3a") << 3;
    QTest::addRow("digit then comma") << QByteArray("3,") << 3;
    QTest::addRow("blank first") << QByteArray(" 7") << 7;
    QTest::addRow("blank after") << QByteArray("7 ") << 7;
    QTest::addRow("tab first") << QByteArray("\t4") << 4;
    QTest::addRow("two blanks") << QByteArray("  ") << 0;
    QTest::addRow("nothing") << QByteArray() << 0;
    QTest::addRow("one digit only") << QByteArray("8") << 8;
    QTest::addRow("letters") << QByteArray("ab") << 0;
    QTest::addRow("trailing point") << QByteArray("1.") << 1;
    QTest::addRow("point alone") << QByteArray(".") << 0;
    QTest::addRow("half rounds to even 0") << QByteArray(".5") << 0;
    QTest::addRow("above half rounds up") << QByteArray(".6") << 1;
    QTest::addRow("below half rounds down") << QByteArray(".4") << 0;
    QTest::addRow("plus sign") << QByteArray("+3") << 3;
    QTest::addRow("minus one") << QByteArray("-1") << -1;
    QTest::addRow("minus nine") << QByteArray("-9") << -1;
    QTest::addRow("minus zero") << QByteArray("-0") << 0;
    QTest::addRow("two dashes") << QByteArray("--") << 0;
    QTest::addRow("sign alone") << QByteArray("-") << 0;
    QTest::addRow("sign and point") << QByteArray("-.") << 0;
    QTest::addRow("exponent without digits") << QByteArray("1e") << 1;
    QTest::addRow("D exponent without digits") << QByteArray("2D") << 2;
    QTest::addRow("exponent first") << QByteArray("e1") << 0;
    QTest::addRow("ampersand is no number") << QByteArray("&7") << 0;
    QTest::addRow("hex prefix without digits") << QByteArray("&H") << 0;
    // Longer texts pin the reading rule itself.
    QTest::addRow("2.5 to even") << QByteArray("2.5") << 2;
    QTest::addRow("3.5 to even") << QByteArray("3.5") << 4;
    QTest::addRow("30.5 to even") << QByteArray("30.5") << 30;
    QTest::addRow("30.6 up and out") << QByteArray("30.6") << -1;
    QTest::addRow("-0.4 is zero") << QByteArray("-0.4") << 0;
    QTest::addRow("-0.6 is minus one") << QByteArray("-0.6") << -1;
    QTest::addRow("blanks between digits") << QByteArray("1 2") << 12;
    QTest::addRow("blank after sign") << QByteArray("+ 3") << 3;
    QTest::addRow("E exponent") << QByteArray("1e1") << 10;
    QTest::addRow("D exponent") << QByteArray("1D1") << 10;
    QTest::addRow("signed exponent") << QByteArray("25e-1") << 2;
    QTest::addRow("exponent sign without digits") << QByteArray("4e+") << 4;
    QTest::addRow("second point stops") << QByteArray("1.2.3") << 1;
    QTest::addRow("beyond a double") << QByteArray("1e999") << -1;
}

void TestGrlist::numberText()
{
    QFETCH(QByteArray, text);
    QFETCH(int, row);

    const std::optional<int> read = listRow(text);
    QCOMPARE(read.value_or(-1), row);
}

void TestGrlist::refused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Error>("error");

    const QByteArray line("m-01-n\r\n");
    QTest::addRow("one byte over 64 KiB") << line.repeated(8192) + 'v' << Error::TooLarge;
    QTest::addRow("far over 64 KiB") << line.repeated(20000) << Error::TooLarge;
    QTest::addRow("NUL after good lines") << line + line + QByteArray(1, '\0') << Error::NulByte;
    QTest::addRow("NUL as a flag") << QByteArray("m-01-\0\r\n", 8) << Error::NulByte;
}

void TestGrlist::refused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Error, error);

    Vyber flags = filledFlags();
    const GrlistResult result = readBytes(flags, bytes);
    QCOMPARE(result.error, error);
    QCOMPARE(vyberCells(flags), vyberCells(filledFlags()));
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
    QCOMPARE(result.message, QStringLiteral("Input/output error"));
    // Whether a NUL byte was still to come is unknown, so nothing is applied.
    QCOMPARE(vyberCells(flags), vyberCells(filledFlags()));
}

void TestGrlist::saveFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fileName = dir.filePath(QStringLiteral("vyber.grlist"));
    {
        QFile old(fileName);
        QVERIFY(old.open(QIODevice::WriteOnly));
        QVERIFY(old.write(QByteArray(1000, 'o')) == 1000);
    }

    Vyber flags;
    flags.setCell(3, 1, QStringLiteral("n"));
    flags.markUnusedCells();
    QVERIFY(saveListFile(flags, fileName).ok());
    // Replaced whole: nothing of the longer old file is left at its end.
    QCOMPARE(fileBytes(fileName), writtenBytes(flags));

    Vyber loaded = filledFlags();
    QVERIFY(loadListFile(loaded, fileName).ok());
    QCOMPARE(loaded.cell(3, 1), QStringLiteral("n"));
    QCOMPARE(loaded.cell(26, 2), QStringLiteral("n"));
}

void TestGrlist::saveFileFailure()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString notAFolder = dir.filePath(QStringLiteral("file"));
    {
        QFile file(notAFolder);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    const GrlistResult result = saveListFile(Vyber(), notAFolder + QStringLiteral("/vyber.grlist"));
    QCOMPARE(result.error, Error::OpenFailed);
    QVERIFY(!result.message.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), {QStringLiteral("file")});
}

void TestGrlist::loadFileFailure_data()
{
    QTest::addColumn<QString>("name");

    QTest::addRow("no such file") << QStringLiteral("missing.grlist");
    QTest::addRow("a folder") << QStringLiteral(".");
}

void TestGrlist::loadFileFailure()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());

    Vyber flags = filledFlags();
    const GrlistResult result = loadListFile(flags, dir.filePath(name));
    QCOMPARE(result.error, Error::OpenFailed);
    QVERIFY(!result.message.isEmpty());
    QCOMPARE(vyberCells(flags), vyberCells(filledFlags()));
}

QTEST_GUILESS_MAIN(TestGrlist)
#include "tst_grlist.moc"
