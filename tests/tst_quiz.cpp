#include "board.h"
#include "grading.h"
#include "names.h"
#include "scriptedrandom.h"

#include <QSet>
#include <QTest>

using namespace kelmora;

namespace {

std::array<qint16, kTableRows> freeBoard()
{
    std::array<qint16, kTableRows> pozice{};
    pozice.fill(kFree);
    return pozice;
}

} // namespace

class TestQuiz : public QObject
{
    Q_OBJECT

private slots:
    void grade_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("wrong");
        QTest::addRow("pending") << 0 << 2 << 4;
        QTest::addRow("A") << 1 << 1 << 2;
        QTest::addRow("B") << 2 << 1 << 3;
        QTest::addRow("C") << 3 << 2 << 4;
        QTest::addRow("D") << 4 << 3 << 5;
        QTest::addRow("E") << 5 << 4 << 5;
        QTest::addRow("not in the run") << 99 << 99 << 99;
    }

    void grade()
    {
        QFETCH(int, before);
        QFETCH(int, right);
        QFETCH(int, wrong);
        QCOMPARE(int(gradeRight(qint16(before))), right);
        QCOMPARE(int(gradeWrong(qint16(before))), wrong);
    }

    void recountAndEnd_data()
    {
        QTest::addColumn<QList<int>>("states"); // states of rows 1, 2, 3 …
        QTest::addColumn<int>("zbyva");
        QTest::addColumn<QList<int>>("marks"); // A..E
        QTest::addColumn<bool>("over");
        QTest::addRow("just started")
            << QList<int>{0, 0, 0} << 3 << QList<int>{0, 0, 0, 0, 0} << false;
        QTest::addRow("one at B") << QList<int>{2, 0, 0} << 2 << QList<int>{0, 1, 0, 0, 0} << false;
        QTest::addRow("only A and B")
            << QList<int>{1, 2, 2} << 0 << QList<int>{1, 2, 0, 0, 0} << true;
        QTest::addRow("one at C") << QList<int>{1, 2, 3} << 0 << QList<int>{1, 1, 1, 0, 0} << false;
        QTest::addRow("one at E") << QList<int>{5, 99, 99} << 0 << QList<int>{0, 0, 0, 0, 1}
                                  << false;
        QTest::addRow("nothing in the run")
            << QList<int>{99, 99, 99} << 0 << QList<int>{0, 0, 0, 0, 0} << true;
    }

    void recountAndEnd()
    {
        QFETCH(QList<int>, states);
        QFETCH(int, zbyva);
        QFETCH(QList<int>, marks);
        QFETCH(bool, over);
        Tabznaku tabznaku;
        tabznaku.states.fill(kNotInRun);
        for (int i = 0; i < states.size(); ++i)
            tabznaku.states[i + 1] = qint16(states[i]);
        tabznaku.states[52] = kPending; // rows past 51 are never counted
        const Tally tally = recount(tabznaku);
        QCOMPARE(int(tally.zbyva), zbyva);
        for (int mark = 1; mark <= 5; ++mark)
            QCOMPARE(int(tally.znamka[mark]), marks[mark - 1]);
        QCOMPARE(tally.runOver(), over);
    }

    void drawSkipsAandOutsiders()
    {
        Tabznaku tabznaku;
        tabznaku.states.fill(kNotInRun);
        tabznaku.states[1] = 1;  // A
        tabznaku.states[40] = 3; // C
        tabznaku.states[51] = 2; // B
        ScriptedRandom random({ScriptedRandom::forPick(0, 51), ScriptedRandom::forPick(5, 51),
                               ScriptedRandom::forPick(50, 51)});
        QCOMPARE(drawRow(tabznaku, random), 51);
        QCOMPARE(random.used(), 3);
        ScriptedRandom again({0.0, ScriptedRandom::forPick(39, 51)});
        QCOMPARE(drawRow(tabznaku, again), 40);
        tabznaku.states[40] = tabznaku.states[51] = 1;
        QCOMPARE(drawRow(tabznaku, again), 0); // nothing left to draw
    }

    void drawUsesIntOfXTimes51()
    {
        Tabznaku tabznaku; // all pending
        ScriptedRandom random({0.0, 0.999999, 1.0 / 51, 1.0 / 51 - 1e-12});
        QCOMPARE(drawRow(tabznaku, random), 1);
        QCOMPARE(drawRow(tabznaku, random), 51);
        QCOMPARE(drawRow(tabznaku, random), 2);
        QCOMPARE(drawRow(tabznaku, random), 1);
    }

    void seededNumbersStayBelowOne()
    {
        SeededRandom random(7);
        double low = 1;
        double high = 0;
        for (int i = 0; i < 100000; ++i) {
            const double x = random.next();
            low = qMin(low, x);
            high = qMax(high, x);
        }
        QVERIFY(low >= 0 && low < 0.001);
        QVERIFY(high < 1 && high > 0.999);
        SeededRandom a(42), b(42);
        QCOMPARE(a.next(), b.next());
    }

    void countsStopAt32767()
    {
        qint16 count = 32766;
        countVerdict(count);
        QCOMPARE(int(count), 32767);
        countVerdict(count);
        QCOMPARE(int(count), 32767);
    }

    void partners_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("partner");
        const int pairs[4][2] = {{8, 26}, {10, 27}, {18, 25}, {23, 50}};
        for (const auto &pair : pairs) {
            QTest::addRow("%d with %d", pair[0], pair[1]) << pair[0] << pair[1];
            QTest::addRow("%d with %d", pair[1], pair[0]) << pair[1] << pair[0];
        }
    }

    // The partner never shows, over many boards, and the other case form may.
    void partners()
    {
        QFETCH(int, row);
        QFETCH(int, partner);
        QCOMPARE(partnerOf(row), partner);
        Tabznaku tabznaku;
        tabznaku.states.fill(kNotInRun);
        tabznaku.states[row] = kPending;
        SeededRandom random{quint64(row)};
        for (int round = 0; round < 300; ++round) {
            auto pozice = freeBoard();
            const Question question = drawQuestion(tabznaku, pozice, random);
            QCOMPARE(question.hledany, row);
            for (int slotRow : question.boardRows)
                QVERIFY(slotRow != partner);
        }
    }

    void noOtherPartners()
    {
        const QSet<int> paired{8, 26, 10, 27, 18, 25, 23, 50};
        for (int row = 0; row <= 60; ++row) {
            if (!paired.contains(row))
                QCOMPARE(partnerOf(row), 0);
        }
    }

    void boardRules()
    {
        Tabznaku tabznaku; // every row pending
        SeededRandom random(2024);
        QSet<int> rightSlots;
        bool sawRow51Sought = false;
        for (int round = 0; round < 2000; ++round) {
            auto pozice = freeBoard();
            const Question question = drawQuestion(tabznaku, pozice, random);
            QVERIFY(question.spravna >= 0 && question.spravna < 20);
            QCOMPARE(question.boardRows[question.spravna], question.hledany);
            QCOMPARE(int(pozice[question.hledany]), question.spravna);
            rightSlots << question.spravna;
            const QSet<int> rows(question.boardRows.begin(), question.boardRows.end());
            QCOMPARE(rows.size(), kSlots);
            for (int slot = 0; slot < kSlots; ++slot) {
                const int row = question.boardRows[slot];
                QVERIFY(row >= 1 && row <= 51);
                if (slot != question.spravna)
                    QVERIFY(row != 51);
            }
            sawRow51Sought |= question.hledany == 51;
        }
        QCOMPARE(rightSlots.size(), 20);
        QVERIFY(sawRow51Sought);
    }

    // Numbers go to the sought row, then slots 0..20, then the right slot.
    void boardConsumesNumbersInOrder()
    {
        Tabznaku tabznaku;
        QList<double> script{ScriptedRandom::forPick(4, 51)};
        for (int slot = 0; slot < kSlots; ++slot)
            script << ScriptedRandom::forPick(slot + 10, 50);
        script << ScriptedRandom::forPick(7, 20);
        ScriptedRandom random(script);
        auto pozice = freeBoard();
        const Question question = drawQuestion(tabznaku, pozice, random);
        QCOMPARE(random.used(), 23);
        QCOMPARE(question.hledany, 5);
        QCOMPARE(question.spravna, 7);
        for (int slot = 0; slot < kSlots; ++slot) {
            if (slot != 7)
                QCOMPARE(question.boardRows[slot], slot + 11);
        }
        QCOMPARE(int(pozice[18]), 7); // the replaced distractor keeps its slot number
    }

    // A taken row (the sought one, or one already on the board) is drawn again.
    void distractorRedrawsTakenRows()
    {
        Tabznaku tabznaku;
        QList<double> script{ScriptedRandom::forPick(0, 51)};                       // row 1 sought
        script << ScriptedRandom::forPick(0, 50) << ScriptedRandom::forPick(2, 50); // slot 0
        script << ScriptedRandom::forPick(2, 50) << ScriptedRandom::forPick(3, 50); // slot 1
        for (int slot = 2; slot < kSlots; ++slot)
            script << ScriptedRandom::forPick(slot + 20, 50);
        script << ScriptedRandom::forPick(5, 20);
        ScriptedRandom random(script);
        auto pozice = freeBoard();
        const Question question = drawQuestion(tabznaku, pozice, random);
        QCOMPARE(random.used(), 25);
        QCOMPARE(question.boardRows[0], 3);
        QCOMPARE(question.boardRows[1], 4);
        QCOMPARE(question.boardRows[5], 1);
    }

    void orezTable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addRow("design example")
            << QStringLiteral("Řecké písmeno Ä") << QStringLiteral("Recke pismeno Ä");
        QTest::addRow("all capitals")
            << QStringLiteral("ŘÍŠŽŤČÝŮŇÚĚĎÁÉÓ") << QStringLiteral("RISZTCYUNUEDAEO");
        QTest::addRow("all small")
            << QStringLiteral("říšžťčýůňúěďáéó") << QStringLiteral("risztcyunuedaeo");
        QTest::addRow("outside the table")
            << QStringLiteral("äôľ ő1;") << QStringLiteral("äôľ ő1;");
        QTest::addRow("empty") << QString() << QString();
    }

    void orezTable()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(orez(text), expected);
    }

    void rozlozLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addRow("names") << QStringLiteral("alfa;alpha;;;;")
                               << QStringLiteral("alfa\r\nalpha\r\n\r\n\r\n\r\n");
        QTest::addRow("no separator") << QStringLiteral("beta") << QStringLiteral("beta");
        QTest::addRow("empty") << QString() << QString();
        QTest::addRow("one separator") << QStringLiteral(";") << QStringLiteral("\r\n");
    }

    void rozlozLines()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(rozloz(text), expected);
    }

    void split()
    {
        const Nazvy nazvy = splitNames(QStringLiteral("mý;mí;mu;mju;;"));
        QCOMPARE(nazvy[1], QStringLiteral("mý"));
        QCOMPARE(nazvy[4], QStringLiteral("mju"));
        QVERIFY(nazvy[5].isEmpty());
        QCOMPARE(nameLines(nazvy), QStringLiteral("mý\r\nmí\r\nmu\r\nmju\r\n\r\n"));
        QCOMPARE(splitNames(QStringLiteral("tau"))[1], QStringLiteral("tau"));
        QVERIFY(splitNames(QString())[1].isEmpty());
    }

    void answers_data()
    {
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("right");
        const QString dzeta = QStringLiteral("dzéta;zéta;;;;");
        const QString my = QStringLiteral("mý;mí;mu;mju;;");
        QTest::addRow("as written") << dzeta << QStringLiteral("dzéta") << true;
        QTest::addRow("capitalised") << dzeta << QStringLiteral("Dzéta") << true;
        QTest::addRow("upper case") << dzeta << QStringLiteral("DZÉTA") << true;
        QTest::addRow("no accent") << dzeta << QStringLiteral("dzeta") << true;
        QTest::addRow("spaces around") << dzeta << QStringLiteral("  dzeta ") << true;
        QTest::addRow("second name") << dzeta << QStringLiteral("zeta") << true;
        QTest::addRow("inner space") << dzeta << QStringLiteral("dz eta") << false;
        QTest::addRow("full stop") << dzeta << QStringLiteral("dzéta.") << false;
        QTest::addRow("tab stays") << dzeta << QStringLiteral("dzeta\t") << false;
        QTest::addRow("empty") << dzeta << QString() << false;
        QTest::addRow("spaces only") << dzeta << QStringLiteral("   ") << false;
        QTest::addRow("MU") << my << QStringLiteral("MU") << true;
        QTest::addRow("mju") << my << QStringLiteral("mju") << true;
        QTest::addRow("other accent") << my << QStringLiteral("mû") << false;
        QTest::addRow("wrong letter") << my << QStringLiteral("ný") << false;
    }

    void answers()
    {
        QFETCH(QString, names);
        QFETCH(QString, typed);
        QFETCH(bool, right);
        QCOMPARE(isRightAnswer(typed, splitNames(names)), right);
    }
};

QTEST_GUILESS_MAIN(TestQuiz)
#include "tst_quiz.moc"
