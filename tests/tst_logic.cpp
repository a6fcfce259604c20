// SPDX-License-Identifier: MIT
// The rules that need no window: an answer count, names, catalogue, selection and list files.
#include "grading.h"
#include "names.h"
#include "selectiontest.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace kelmora;
using namespace Qt::StringLiterals;
using Error = GrlistResult::Error;

namespace {

// Every cell holds "p", so that any write shows.
Vyber filledFlags()
{
    Vyber flags;
    for (int cell = 0; cell < Vyber::kRows * Vyber::kColumns; ++cell)
        flags.setCell(cell / Vyber::kColumns, cell % Vyber::kColumns, u"p"_s);
    return flags;
}

// Hands out its bytes, then fails the way a broken disk does.
struct FailingDevice : QBuffer {
    qint64 readData(char *data, qint64 maxSize) override
    {
        setErrorString(u"Input/output error"_s);
        return pos() < size() ? QBuffer::readData(data, maxSize) : -1;
    }
};

// Makes a named pipe or a socket at path, or writes the bytes of a list there.
bool makeThere(const QString &what, const QString &path, const QByteArray &list)
{
    const QByteArray name = QFile::encodeName(path);
    if (what == u"pipe"_s)
        return mkfifo(name.constData(), 0600) == 0;
    if (what == u"socket"_s) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, name.constData(), sizeof address.sun_path);
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        return fd >= 0 && bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    }
    QFile file(path);
    return what == u"none"_s ||
           (file.open(QIODevice::WriteOnly) && file.write(list) == list.size());
}

} // namespace

class TestLogic : public QObject
{
    Q_OBJECT

private slots:

    // Typed answers against the catalogue's names, and each row's phrase.
    void catalogue()
    {
        Tabznaku tabznaku;
        std::array<QString, 28> koncovky;
        fillCatalogue(tabznaku, koncovky);
        const std::tuple<int, QString, bool> answers[] = {
            {6, u"Dzéta"_s, true},   {33, u"DŽÉTA"_s, true},  {6, u"  zeta "_s, true},
            {6, u"dz eta"_s, false}, {6, u"dzéta."_s, false}, {6, u"dzeta\t"_s, false},
            {6, u""_s, false},       {6, u"   "_s, false},    {39, u"MŮ"_s, true},
            {12, u"mû"_s, false},    {13, u"mí"_s, false},    {10, u"kapa"_s, true},
            {27, u"kapa"_s, true},   {26, u"theta"_s, true},  {6, u"\tdzeta"_s, false}};
        // Column 1 written out apart from the program: small letters, three variants, capitals.
        const QStringList small =
            u"alfa;alpha;;;; beta;;;;; gama;gamma;;;; delta;;;;; epsilon;;;;; dzéta;zéta;;;; "
            u"éta;;;;; théta;;;;; ióta;jota;;;; kappa;kapa;;;; lambda;;;;; mý;mí;mu;mju;; "
            u"ný;nu;;;; ksí;xi;;;; omikron;omicron;;;; pí;;;;; ró;rho;;;; sigma;;;;; tau;;;;; "
            u"ypsilon;upsilon;;;; fí;phi;;;; chí;;;;; psí;;;;; omega;;;;;"_s.split(u' ');
        QCOMPARE(QStringList(tabznaku.names.begin() + 1, tabznaku.names.begin() + 52),
                 small + u"sigma;;;;; théta;;;;; kappa;kapa;;;;"_s.split(u' ') + small);
        for (const auto &[row, typed, right] : answers)
            QVERIFY2(isRightAnswer(typed, splitNames(tabznaku.names[row])) == right,
                     qPrintable(typed));
        const std::pair<int, QString> phrases[] = {
            {1, u"malá"_s},   {5, u"malý"_s},   {12, u"malé"_s},  {27, u"malá"_s},
            {28, u"velká"_s}, {32, u"velký"_s}, {47, u"velký"_s}, {51, u"velká"_s}};
        for (const auto &[row, words] : phrases)
            QCOMPARE(phrase(row, koncovky), words);
    }

    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("changes"); // row.column=flag …
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("says"); // part of the message
        const QByteArray line("m-01-n\r\n");
        const auto add = [](const char *name, const QByteArray &bytes, const char *changes,
                            Error error = Error::None, int failing = 0, const char *says = "") {
            QTest::newRow(name) << bytes << QString::fromUtf8(changes) << int(error) << failing
                                << QString::fromUtf8(says);
        };
        add("letters carry the column", "v-03-n\r\nM-04-N\r\nx-05-x", "3.2=n 4.2=N 5.2=x");
        add("column 0 before any m or v, one digit", "M-4-n", "4.0=");
        add("a long line shown cut", "m-99-" + QByteArray("ž").repeated(36), "",
            Error::RowOutOfRange, 1, "(„m-99-žžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžž…“)");
        add("LF, CR, CR LF, no end", "m-01-n\nv-02-n\rm-03-n\r\nv-04-n", "1.1=n 2.2=n 3.1=n 4.2=n");
        add("empty line is row 0", "m-01-n\r\r\nm-02-n", "1.1=n 0.1= 2.1=n");
        add("characters 1, 3..4 and 6", "m?08?nz-31\r\n", "8.1=n");
        add("exactly 64 KiB", line.repeated(8192), "1.1=n");
        add("over 64 KiB", line.repeated(8192) + 'v', "", Error::TooLarge, 0,
            "větší než 64 KiB. Výběr zůstal beze změny.");
        add("NUL", line + QByteArray(1, '\0'), "", Error::WrongEncoding, 0, "kódování");
        // A device failing part-way, as a broken disk does: its line told, nothing applied.
        add("read fails at once", "", "", Error::ReadFailed, 1, "řádku 1: chyba čtení");
        add("read fails after a line", line, "", Error::ReadFailed, 2, "řádku 2: chyba čtení");
        add("read fails in a line", "m-01-n\nm-0", "", Error::ReadFailed, 2,
            "řádku 2: chyba čtení");
    }
    void read()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, changes);
        QFETCH(int, error);
        QFETCH(int, line);
        QFETCH(QString, says);
        Vyber flags = filledFlags();
        FailingDevice failing;
        failing.setData(bytes);
        QVERIFY(failing.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
        const GrlistResult result =
            error == int(Error::ReadFailed) ? readList(flags, failing) : readBytes(flags, bytes);
        QCOMPARE(int(result.error), error);
        QCOMPARE(result.line, line);
        QVERIFY2(failureText(result, false).contains(says), qPrintable(failureText(result, false)));
        Vyber expected = filledFlags();
        for (const QString &change : changes.split(u' ', Qt::SkipEmptyParts)) {
            const QStringList parts = change.split(QRegularExpression(u"[.=]"_s));
            expected.setCell(parts[0].toInt(), parts[1].toInt(), parts[2]);
        }
        QCOMPARE(vyberCells(flags), vyberCells(expected));
    }

    // The row named by characters 3..4: blanks skipped, a decimal number with sign, point and
    // E or D exponent read as far as it goes (none is 0), halves to even; -1 outside 0..30.
    void numberText()
    {
        const std::pair<const char *, int> cases[] = {
            {"05", 5},  {"31", -1},   {"5-", 5},    {"1 2", 12}, {"+ 3", 3},  {"ab", 0},
            {"-.", 0},  {"&H", 0},    {"-1", -1},   {"-0.4", 0}, {".5", 0},   {"2.5", 2},
            {"3.5", 4}, {"30.5", 30}, {"30.6", -1}, {"2D", 2},   {"1e1", 10}, {"25e-1", 2}};
        for (const auto &[text, row] : cases)
            QVERIFY2(listRow(text).value_or(-1) == row, text);
    }

    // An answer count stops at its largest value; a list saved over on a read-only disk is told
    // as such, in Czech words of our own.
    void limits()
    {
        qint16 count = 32766;
        countVerdict(count);
        countVerdict(count);
        QCOMPARE(count, 32767);
        QCOMPARE(
            failureText({Error::CreateFailed, 0, EROFS, {}, true}, true),
            u"Novou verzi souboru nelze vytvořit: disk je jen pro čtení. Soubor zůstal, jak byl."_s);
    }

    void files_data()
    {
        QTest::addColumn<bool>("saving");
        QTest::addColumn<QString>("there"); // at the name before: a list, a pipe, a socket, none
        QTest::addColumn<int>("modes");     // of the folder and the list, as their owner sees
        QTest::addColumn<int>("limit");     // bytes a file may grow to while saving
        QTest::addColumn<QString>("says");  // the message's end; empty: done
        QTest::addColumn<QString>("after"); // the list: old, new; none: the folder empty; "": any
        const auto add = [](const char *name, bool saving, const char *there, int modes, int limit,
                            const char *says, const char *after = "") {
            QTest::newRow(name) << saving << QString::fromUtf8(there) << modes << limit
                                << QString::fromUtf8(says) << QString::fromUtf8(after);
        };
        add("save, disk full", true, "list", 0755644, 100,
            "zapsat: na disku není dost místa. Soubor zůstal, jak byl.", "old");
        add("save in a read-only folder", true, "list", 0555644, 0, "", "new");
        add("read-only folder, disk full", true, "list", 0555644, 100,
            "zapsat: na disku není dost místa. Soubor teď obsahuje jen část nového seznamu.");
        add("new list, disk full", true, "none", 0755644, 100,
            "zapsat: na disku není dost místa. Žádný soubor nevznikl.", "none");
        add("save over a read-only list", true, "list", 0755444, 0,
            "otevřít pro zápis: chybí oprávnění k souboru nebo ke složce. Soubor zůstal, jak byl.",
            "old");
        add("save over a pipe", true, "pipe", 0755644, 0, "ale o pojmenovanou rouru.");
        add("load a pipe", false, "pipe", 0755644, 0, "rouru. Výběr zůstal beze změny.");
        add("load a socket", false, "socket", 0755644, 0, "ale o soket. Výběr zůstal beze změny.");
    }

    // Saving replaces a list whole where its folder allows, else writes it in place; what
    // is not a regular file is refused. The message says what became of the file.
    void files()
    {
        QFETCH(bool, saving);
        QFETCH(QString, there);
        QFETCH(int, modes);
        QFETCH(int, limit);
        QFETCH(QString, says);
        QFETCH(QString, after);
        QTemporaryDir dir;
        const QString name = dir.filePath(u"a.grlist"_s);
        const QByteArray old("m-01-n\r\n"), folder = QFile::encodeName(dir.path());
        QVERIFY(makeThere(there, name, old));
        // Root passes every permission check: the test acts as an ordinary owner instead.
        const bool root = geteuid() == 0;
        const bool none = there == u"none"_s;
        QVERIFY(!root || (chown(folder, 65534, 65534) == 0 &&
                          (none || chown(QFile::encodeName(name), 65534, 65534) == 0)));
        QVERIFY((none || chmod(QFile::encodeName(name), modes & 0777) == 0) &&
                chmod(folder, modes >> 9) == 0);
        // Nothing but a regular file is ever opened, not even to look at it.
        const int opens = inotify_init1(IN_NONBLOCK);
        QVERIFY(none || inotify_add_watch(opens, QFile::encodeName(name), IN_OPEN) >= 0);
        rlimit unlimited;
        QVERIFY(getrlimit(RLIMIT_FSIZE, &unlimited) == 0 && signal(SIGXFSZ, SIG_IGN) != SIG_ERR);
        const rlimit full{limit ? rlim_t(limit) : unlimited.rlim_cur, unlimited.rlim_max};
        Vyber flags = filledFlags();
        QVERIFY(!root || (setresgid(65534, 65534, 0) == 0 && setresuid(65534, 65534, 0) == 0));
        setrlimit(RLIMIT_FSIZE, &full);
        const GrlistResult result = saving ? saveListFile(flags, name) : loadListFile(flags, name);
        setrlimit(RLIMIT_FSIZE, &unlimited);
        QVERIFY(!root || (setresuid(0, 0, 0) == 0 && setresgid(0, 0, 0) == 0));
        chmod(folder, 0755);
        const QString text = failureText(result, saving);
        QVERIFY2(says.isEmpty() ? result.ok() : text.endsWith(says), qPrintable(text));
        char event[256];
        QVERIFY(there == u"list"_s || ::read(opens, event, sizeof event) < 0);
        QCOMPARE(vyberCells(flags), vyberCells(filledFlags()));
        QFile file(name);
        QBuffer saved;
        QVERIFY(saved.open(QIODevice::WriteOnly) && writeList(flags, saved));
        QVERIFY(
            after.isEmpty() ||
            (none ? QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                  : file.open(QIODevice::ReadOnly) &&
                        file.readAll() == (after == u"old"_s ? old : saved.data())));
    }
};

QTEST_GUILESS_MAIN(TestLogic)
#include "tst_logic.moc"
