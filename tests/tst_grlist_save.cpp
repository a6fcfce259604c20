#include "grlist.h"
#include "selectiontest.h"
#include "vyber.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kelmora;

namespace {

constexpr int kSaveFailed = 3;

Vyber flagsAll(const QString &flag)
{
    Vyber flags;
    for (int row = 1; row <= 27; ++row) {
        flags.setCell(row, 1, flag);
        flags.setCell(row, 2, flag);
    }
    flags.markUnusedCells();
    return flags;
}

// Saves in a child process whose files may not grow beyond sizeLimit bytes; a limit stops
// root as well, unlike permission bits. Returns the child's wait status.
int saveInChild(const Vyber &flags, const QString &fileName, rlim_t sizeLimit, bool survive)
{
    const pid_t child = fork();
    if (child == 0) {
        const rlimit limit{sizeLimit, sizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
        if (survive)
            std::signal(SIGXFSZ, SIG_IGN);
        _exit(saveListFile(flags, fileName).ok() ? 0 : kSaveFailed);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

} // namespace

class TestGrlistSave : public QObject
{
    Q_OBJECT

private slots:
    void replacedWholeOrNotAtAll_data();
    void replacedWholeOrNotAtAll();
};

void TestGrlistSave::replacedWholeOrNotAtAll_data()
{
    QTest::addColumn<int>("sizeLimit");
    QTest::addColumn<bool>("survive");
    QTest::addColumn<bool>("replaced");

    // A list has 432 bytes.
    QTest::addRow("file full, error reported") << 100 << true << false;
    QTest::addRow("file full, process killed") << 100 << false << false;
    QTest::addRow("room enough") << 4096 << true << true;
}

void TestGrlistSave::replacedWholeOrNotAtAll()
{
    QFETCH(int, sizeLimit);
    QFETCH(bool, survive);
    QFETCH(bool, replaced);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fileName = dir.filePath(QStringLiteral("vyber.grlist"));
    QVERIFY(saveListFile(flagsAll(QStringLiteral("z")), fileName).ok());
    const QByteArray before = fileBytes(fileName);

    const Vyber changed = flagsAll(QStringLiteral("n"));
    const int status = saveInChild(changed, fileName, rlim_t(sizeLimit), survive);

    if (replaced) {
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    } else if (survive) {
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), kSaveFailed);
    } else {
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), SIGXFSZ);
    }
    QCOMPARE(fileBytes(fileName), replaced ? writtenBytes(changed) : before);
    // No half-written temporary file is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
             {QStringLiteral("vyber.grlist")});
}

QTEST_GUILESS_MAIN(TestGrlistSave)
#include "tst_grlist_save.moc"
