#include "formdriver.h"
#include "random.h"
#include "vyber.h"

#include <QImage>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>

using namespace kelmora;

// Start-up, the two layouts and the option handlers of the main window.
class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        vyber().clear();
        QVERIFY(showForm(m_form, std::make_unique<SeededRandom>(1), m_pictures.path()));
        m_form->move(100, 100);
    }

    void cleanup() { m_form.reset(); }

    void startUp()
    {
        FormDriver form(*m_form);
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Zkoušení řeckých znaků"));
        QCOMPARE(form.score(),
                 QStringLiteral("A - 0|B - 0|C - 0|D - 0|E - 0|Zbývá znaků - 51|0 / 0"));
        QVERIFY(form.control<QRadioButton>(QStringLiteral("Option10"))->isChecked());
        QVERIFY(form.control<QRadioButton>(QStringLiteral("Option20"))->isChecked());
        QCOMPARE(m_form->frameGeometry().height(), 3165 / 15);
        QCOMPARE(m_form->width(), 635);
        // The three cells that belong to no character are marked at load.
        for (int row = 25; row <= 27; ++row)
            QCOMPARE(vyber().cell(row, 2), QStringLiteral("n"));
        QVERIFY(vyber().cell(1, 1).isEmpty());
    }

    void pictureChoiceLayoutAndBack()
    {
        FormDriver form(*m_form);
        const QPoint place = m_form->frameGeometry().topLeft();
        form.selectPictureChoice();
        QCOMPARE(m_form->frameGeometry().height(), 8145 / 15);
        for (int slot = 0; slot < 21; ++slot)
            QVERIFY(form.boxShown(slot));
        QVERIFY(!form.isShown(QStringLiteral("obrazek1")));
        QVERIFY(!form.isShown(QStringLiteral("zadano")));
        QVERIFY(form.isShown(QStringLiteral("vema")));
        QCOMPARE(form.control(QStringLiteral("message"))->pos(), QPoint(172, 112));
        QCOMPARE(form.control(QStringLiteral("truefalse"))->pos(), QPoint(308, 156));

        form.selectTypedNames();
        QCOMPARE(m_form->frameGeometry().height(), 3165 / 15);
        QVERIFY(!form.isShown(QStringLiteral("obrazek0")));
        QVERIFY(form.isShown(QStringLiteral("zadano")));
        QCOMPARE(form.control(QStringLiteral("message"))->pos(), QPoint(284, 42));
        QCOMPARE(form.control(QStringLiteral("truefalse"))->pos(), QPoint(284, 119));
        QCOMPARE(m_form->frameGeometry().topLeft(), place);
    }

    void switchingKeepsTheWindowOnScreen()
    {
        const int screenTwips = m_form->screen()->geometry().height() * 15;
        m_form->move(100, m_form->screen()->geometry().height() - 250);
        FormDriver(*m_form).selectPictureChoice();
        const int expectedTop = (screenTwips - 500 - 8145) / 15;
        QTRY_COMPARE(m_form->frameGeometry().top(), expectedTop);
        QCOMPARE(m_form->frameGeometry().left(), 100);
    }

    void switchingRecountsTheSelection()
    {
        FormDriver form(*m_form);
        for (int row = 1; row <= 27; ++row)
            vyber().setCell(row, 1, QStringLiteral("n"));
        QCOMPARE(form.caption(QStringLiteral("zbpopis")), QStringLiteral("Zbývá znaků - 51"));
        form.selectPictureChoice();
        QCOMPARE(form.caption(QStringLiteral("zbpopis")), QStringLiteral("Zbývá znaků - 24"));
        vyber().setCell(3, 1, QStringLiteral("N"));
        form.selectTypedNames();
        QCOMPARE(form.caption(QStringLiteral("zbpopis")), QStringLiteral("Zbývá znaků - 25"));
    }

    void letteringChoosesTheFiles_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QSize>("size");
        QTest::addRow("Tiskací") << "Option20" << QSize(40, 50);
        QTest::addRow("Psací") << "Option21" << QSize(60, 70);
    }

    void letteringChoosesTheFiles()
    {
        QFETCH(QString, option);
        QFETCH(QSize, size);
        FormDriver form(*m_form);
        for (int row = 2; row <= 27; ++row)
            vyber().setCell(row, 1, QStringLiteral("n"));
        for (int row = 1; row <= 24; ++row)
            vyber().setCell(row, 2, QStringLiteral("n"));
        form.click(QStringLiteral("Option21"));
        form.click(option);
        form.click(QStringLiteral("start"));
        QCOMPARE(m_form->shownRow(), 1);
        QCOMPARE(form.control<QLabel>(QStringLiteral("obrazek1"))->pixmap().size(), size);
    }

    void missingPicturesLeaveEmptyBoxes()
    {
        QVERIFY(showForm(m_form, std::make_unique<SeededRandom>(3),
                         m_pictures.filePath(QStringLiteral("nowhere"))));
        FormDriver form(*m_form);
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("cannot load picture .*nowhere")));
        form.click(QStringLiteral("start"));
        QVERIFY(form.control<QLabel>(QStringLiteral("obrazek1"))->pixmap().isNull());
        QVERIFY(form.isShown(QStringLiteral("stopka")));
    }

    void picturesMatchTheScreen_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QSize>("size"); // in pixels of the window
        QTest::addRow("typed-name picture")
            << QStringLiteral("start") << QStringLiteral("obrazek1") << QSize(80, 100);
        QTest::addRow("help page")
            << QStringLiteral("help") << QStringLiteral("hlppic1") << QSize(621, 509);
        QTest::addRow("enter") << QStringLiteral("Option10") << QStringLiteral("enter")
                               << QSize(22, 26);
    }

    // Run again by CTest at screen scales 1.5 and 2: every picture has a pixel of its own for
    // each pixel of the screen.
    void picturesMatchTheScreen()
    {
        QFETCH(QString, button);
        QFETCH(QString, control);
        QFETCH(QSize, size);
        QVERIFY(showForm(m_form, std::make_unique<SeededRandom>(1))); // the built pictures
        const qreal ratio = m_form->devicePixelRatio();
        QCOMPARE(ratio, qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble());
        FormDriver form(*m_form);
        form.click(button);
        const QPixmap picture = form.control<QLabel>(control)->pixmap();
        QCOMPARE(picture.size(), size * ratio);
        QCOMPARE(picture.devicePixelRatio(), ratio);
    }

    void initTestCase()
    {
        QVERIFY(m_pictures.isValid());
        // Row 1 in two recognisable sizes; every other picture is missing.
        QVERIFY(QImage(40, 50, QImage::Format_RGB32)
                    .save(m_pictures.filePath(QStringLiteral("m01.gif")), "PNG"));
        QVERIFY(QImage(60, 70, QImage::Format_RGB32)
                    .save(m_pictures.filePath(QStringLiteral("m01.jpg")), "PNG"));
    }

private:
    QTemporaryDir m_pictures;
    std::unique_ptr<Form1> m_form;
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
