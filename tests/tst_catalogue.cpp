#include "catalogue.h"
#include "names.h"
#include "runreset.h"
#include "twips.h"
#include "vyber.h"

#include <QDir>
#include <QTest>

using namespace kelmora;

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        vyber().clear();
        vyber().markUnusedCells();
        fillCatalogue(tabznaku, koncovky);
    }

    void namesStrings()
    {
        for (int row = 1; row <= kCharacterRows; ++row) {
            const QString &names = tabznaku.names[row];
            QCOMPARE(names.count(QLatin1Char(';')), 5);
            QVERIFY(names.endsWith(QLatin1Char(';')));
            QCOMPARE(names, names.toLower());
            QVERIFY(!names.startsWith(QLatin1Char(';')));
            // Empty alternatives come last.
            const Nazvy nazvy = splitNames(names);
            for (int i = 2; i <= 5; ++i)
                QVERIFY(nazvy[i].isEmpty() || !nazvy[i - 1].isEmpty());
        }
        QVERIFY(tabznaku.names[0].isEmpty());
        QVERIFY(tabznaku.names[52].isEmpty());
    }

    void sharedNames_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("sameAs");
        for (int row = 1; row <= 24; ++row)
            QTest::addRow("capital %d", row + 27) << row + 27 << row;
        QTest::addRow("final sigma") << 25 << 18;
        QTest::addRow("variant theta") << 26 << 8;
        QTest::addRow("variant kappa") << 27 << 10;
    }

    void sharedNames()
    {
        QFETCH(int, row);
        QFETCH(int, sameAs);
        QCOMPARE(tabznaku.names[row], tabznaku.names[sameAs]);
    }

    void pictureNames_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("koncovka");
        QTest::addColumn<QString>("file");
        QTest::addRow("small alfa") << 1 << ".gif"
                                    << "m01.gif";
        QTest::addRow("small alfa handwritten") << 1 << ".jpg"
                                                << "m01.jpg";
        QTest::addRow("variant kappa") << 27 << ".gif"
                                       << "m27.gif";
        QTest::addRow("capital alfa") << 28 << ".gif"
                                      << "v01.gif";
        QTest::addRow("capital omega") << 51 << ".jpg"
                                       << "v24.jpg";
    }

    void pictureNames()
    {
        QFETCH(int, row);
        QFETCH(QString, koncovka);
        QFETCH(QString, file);
        const QString path = picturePath(row, koncovka, QStringLiteral("/opt/x/znaky"));
        QCOMPARE(QDir::fromNativeSeparators(path), QStringLiteral("/opt/x/znaky/") + file);
        QVERIFY(defaultPictureFolder().endsWith(QStringLiteral("/znaky")));
        QVERIFY(defaultPictureFolder().startsWith(QCoreApplication::applicationDirPath()));
    }

    void phrases_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("expected");
        QTest::addRow("small alfa") << 1 << QStringLiteral("malá");
        QTest::addRow("small epsilon") << 5 << QStringLiteral("malý");
        QTest::addRow("small mý") << 12 << QStringLiteral("malé");
        QTest::addRow("final sigma") << 25 << QStringLiteral("malá");
        QTest::addRow("variant kappa") << 27 << QStringLiteral("malá");
        QTest::addRow("capital alfa") << 28 << QStringLiteral("velká");
        QTest::addRow("capital epsilon") << 32 << QStringLiteral("velký");
        QTest::addRow("capital pí") << 43 << QStringLiteral("velké");
        QTest::addRow("capital ypsilon") << 47 << QStringLiteral("velký");
        QTest::addRow("capital omega") << 51 << QStringLiteral("velká");
    }

    void phrases()
    {
        QFETCH(int, row);
        QFETCH(QString, expected);
        QCOMPARE(phrase(row, koncovky), expected);
    }

    void flags_data()
    {
        QTest::addColumn<QString>("flag");
        QTest::addColumn<bool>("selected");
        QTest::addRow("empty") << QString() << true;
        QTest::addRow("z") << QStringLiteral("z") << true;
        QTest::addRow("capital N") << QStringLiteral("N") << true;
        QTest::addRow("x") << QStringLiteral("x") << true;
        QTest::addRow("n with a space") << QStringLiteral("n ") << true;
        QTest::addRow("n") << QStringLiteral("n") << false;
    }

    void flags()
    {
        QFETCH(QString, flag);
        QFETCH(bool, selected);
        vyber().setCell(5, 1, flag);
        vyber().setCell(5, 2, flag);
        QCOMPARE(vyber().isSelected(5), selected);
        QCOMPARE(vyber().isSelected(5 + 27), selected);
        QVERIFY(vyber().isSelected(6));
    }

    void resetDefault()
    {
        QCOMPARE(resetRun(vyber(), tabznaku), 51);
        for (int row = 1; row <= kCharacterRows; ++row)
            QCOMPARE(tabznaku.states[row], kPending);
        for (int row = 52; row <= 54; ++row)
            QCOMPARE(tabznaku.states[row], kNotInRun);
    }

    void resetOnlySmallAlfa()
    {
        deselectAll();
        vyber().setCell(1, 1, QStringLiteral("z"));
        QCOMPARE(resetRun(vyber(), tabznaku), 1);
        QCOMPARE(tabznaku.states[1], kPending);
        for (int row = 2; row <= 54; ++row)
            QCOMPARE(tabznaku.states[row], kNotInRun);
    }

    void resetNothingSelected()
    {
        deselectAll();
        tabznaku.states.fill(3);
        QCOMPARE(resetRun(vyber(), tabznaku), 0);
        for (int row = 1; row <= 54; ++row)
            QCOMPARE(tabznaku.states[row], kNotInRun);
    }

    void resetIgnoresUnusedCells_data()
    {
        QTest::addColumn<QString>("flag");
        QTest::addRow("z") << QStringLiteral("z");
        QTest::addRow("empty") << QString();
        QTest::addRow("N") << QStringLiteral("N");
    }

    // A loaded list may put anything into the capital cells 25..27; they hold no character.
    void resetIgnoresUnusedCells()
    {
        QFETCH(QString, flag);
        for (int row = 25; row <= 27; ++row)
            vyber().setCell(row, 2, flag);
        QCOMPARE(resetRun(vyber(), tabznaku), 51);
        deselectAll();
        for (int row = 25; row <= 27; ++row)
            vyber().setCell(row, 2, flag);
        QCOMPARE(resetRun(vyber(), tabznaku), 0);
        for (int row = 52; row <= 54; ++row)
            QCOMPARE(tabznaku.states[row], kNotInRun);
    }

    void keepOnScreen_data()
    {
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("screen");
        QTest::addColumn<int>("expected");
        QTest::addRow("fits") << 1500 << 8145 << 16200 << 1500;
        QTest::addRow("fits exactly") << 7555 << 8145 << 16200 << 7555;
        QTest::addRow("one twip too low") << 7556 << 8145 << 16200 << 7555;
        QTest::addRow("low on the screen") << 9000 << 8145 << 16200 << 7555;
        QTest::addRow("screen smaller than the window") << 0 << 8145 << 7200 << -1445;
    }

    void keepOnScreen()
    {
        QFETCH(int, top);
        QFETCH(int, height);
        QFETCH(int, screen);
        QFETCH(int, expected);
        QCOMPARE(keptOnScreenTop(top, height, screen), expected);
        QVERIFY(keptOnScreenTop(top, height, screen) + height + kBottomMarginTwips <= screen);
    }

    void clampTwips_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("expected");
        QTest::addRow("inside") << 3165 << 3165;
        QTest::addRow("negative inside") << -1445 << -1445;
        QTest::addRow("too high") << 40000 << 32767;
        QTest::addRow("too low") << -40000 << -32768;
    }

    void clampTwips()
    {
        QFETCH(int, twips);
        QFETCH(int, expected);
        QCOMPARE(int(clampToInt16(twips)), expected);
    }

private:
    static void deselectAll()
    {
        for (int row = 1; row <= 27; ++row) {
            vyber().setCell(row, 1, QStringLiteral("n"));
            vyber().setCell(row, 2, QStringLiteral("n"));
        }
    }

    Tabznaku tabznaku;
    std::array<QString, 28> koncovky;
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
