// The two windows driven as a user drives them: whole runs, layouts, help, selection and files.
#include "czech.h"
#include "form2.h"
#include "formdriver.h"
#include "names.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

using namespace kelmora;

namespace {

const QString kHotovo = QStringLiteral("HOTOVO");

// Closes the next modal window above `below` once it shows, noting what it showed.
void closeModal(QWidget *below, QStringList &seen, int tries = 300)
{
    QTimer::singleShot(10, [=, &seen] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == below)
            return tries > 0 ? closeModal(below, seen, tries - 1) : void();
        seen << modal->windowTitle();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            seen << box->text() << QString::number(box->textFormat());
            return box->button(QMessageBox::Ok)->click();
        }
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        seen << dialog->nameFilters() << QString::number(dialog->acceptMode())
             << QString::number(dialog->fileMode());
        dialog->reject();
    });
}

// The selection window over a stand-in for the main window's label.
struct Selection {
    Selection() { form.show(); }
    QCheckBox *box(const QString &name) const { return form.findChild<QCheckBox *>(name); }
    void click(const QStringList &names) const
    {
        for (const QString &name : names)
            QTest::mouseClick(form.findChild<QWidget *>(name), Qt::LeftButton);
    }
    // "z"/"n" for mt0..mt26, then vt0..vt23: the order of boxFlags().
    QStringList ticks() const
    {
        QStringList ticks;
        for (int i = 0; i < 51; ++i)
            ticks << (box(i < 27 ? QStringLiteral("mt%1").arg(i)
                                 : QStringLiteral("vt%1").arg(i - 27))
                              ->isChecked()
                          ? QStringLiteral("z")
                          : QStringLiteral("n"));
        return ticks;
    }
    QLabel zbpopis{QStringLiteral("před")};
    Form2 form{&zbpopis};
};

QStringList boxFlags()
{
    QStringList flags;
    for (int i = 0; i < 51; ++i)
        flags << vyber().cell(i % 27 + 1, i < 27 ? 1 : 2);
    return flags;
}

QString zbyva(int count)
{
    return QStringLiteral("Zbývá znaků - %1").arg(count);
}

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT

private slots:
    void init() { vyber().clear(); }
    void cleanup() { m_form.reset(); }

    void run_data()
    {
        QTest::addColumn<bool>("pictures");
        QTest::addColumn<int>("count");      // rows spread over small, variant and capital forms
        QTest::addColumn<int>("wrongEvery"); // answers 0, n, 2n … wrong; 0: all right
        QTest::addColumn<int>("stopAt");     // STOP before this answer; -1: on to HOTOVO
        for (bool pictures : {false, true}) {
            const char *mode = pictures ? "pictures" : "typed";
            QTest::addRow("%s, one, right", mode) << pictures << 1 << 0 << -1;
            QTest::addRow("%s, one, wrong first", mode) << pictures << 1 << 3 << -1;
            QTest::addRow("%s, 51, every third wrong", mode) << pictures << 51 << 3 << -1;
            QTest::addRow("%s, STOP", mode) << pictures << 5 << 2 << 4;
            QTest::addRow("%s, none selected", mode) << pictures << 0 << 0 << -1;
        }
    }

    // Every score against the test's own answer key; the controls locked during a run and
    // back when it ends or stops.
    void run()
    {
        QFETCH(bool, pictures);
        QFETCH(int, count);
        QFETCH(int, wrongEvery);
        QFETCH(int, stopAt);
        QList<int> rows;
        AnswerKey key;
        for (int i = 1; i <= count; ++i)
            key.marks[rows.emplace_back(i * 51 / count)] = 0;
        selectOnly(rows);
        QVERIFY(showForm(m_form, quint64(count * 7 + wrongEvery)));
        FormDriver form(*m_form);
        Tabznaku catalogue;
        std::array<QString, 28> koncovky;
        fillCatalogue(catalogue, koncovky);
        if (pictures) // as an assistive tool selects it
            QAccessible::queryAccessibleInterface(form.control(QStringLiteral("Option13")))
                ->actionInterface()
                ->doAction(QAccessibleActionInterface::toggleAction());
        form.click(QStringLiteral("start"));
        for (int answer = 0; form.caption(QStringLiteral("truefalse")) != kHotovo; ++answer) {
            QVERIFY2(answer < 1000, "the run does not end");
            const int row = pictures ? m_form->soughtRow() : m_form->shownRow();
            QVERIFY(key.marks.contains(row) && key.marks[row] != 1);
            for (const char *name : {"Option10", "Option13", "Option20", "Option21"})
                QVERIFY(!form.isEnabled(QLatin1String(name)));
            QVERIFY(!form.isShown(QStringLiteral("setup")) &&
                    !form.isShown(QStringLiteral("start")));
            QVERIFY(form.isShown(QStringLiteral("stopka")));
            if (answer == stopAt) {
                form.click(QStringLiteral("stopka"));
                QVERIFY(form.caption(QStringLiteral("truefalse")).isEmpty());
                AnswerKey fresh{key.marks};
                for (int &mark : fresh.marks)
                    mark = 0;
                return expectIdle(pictures, fresh.score());
            }
            const bool right = !wrongEvery || answer % wrongEvery;
            const Nazvy nazvy = splitNames(catalogue.names[row]);
            if (pictures) {
                QCOMPARE(form.caption(QStringLiteral("vema")), phrase(row, koncovky));
                QCOMPARE(form.caption(QStringLiteral("message")), rozloz(catalogue.names[row]));
                const int slot = m_form->rightSlot();
                if (answer == 0 && right) // as an assistive tool presses it
                    QAccessible::queryAccessibleInterface(form.box(slot))
                        ->actionInterface()
                        ->doAction(QAccessibleActionInterface::pressAction());
                else
                    form.clickBox(right ? slot : (slot + 20) % kSlots);
                for (int i = 0; i < kSlots; ++i)
                    QCOMPARE(form.box(i)->isHidden(), i != slot);
            } else {
                if (answer == 0) {
                    form.type(QStringLiteral("x"));
                    QVERIFY(form.isShown(QStringLiteral("enter")));
                    QTest::keyClick(form.control(QStringLiteral("zadano")), Qt::Key_Backspace);
                    QVERIFY(!form.isShown(QStringLiteral("enter")));
                }
                form.type(right ? nazvy[1] : QStringLiteral("?"));
                form.pressEnter();
                QCOMPARE(form.caption(QStringLiteral("message")),
                         right ? QString() : nameLines(nazvy));
            }
            key.judge(row, right);
            QCOMPARE(form.caption(QStringLiteral("truefalse")),
                     right ? QStringLiteral("Správně") : QStringLiteral("ŠPATNĚ"));
            QCOMPARE(
                form.control(QStringLiteral("truefalse"))->palette().color(QPalette::WindowText),
                right ? QColor(0, 128, 0) : QColor(255, 0, 0));
            if (pictures)
                form.clickBox(m_form->rightSlot());
            else
                form.pressEnter();
            QCOMPARE(form.score(), key.score());
        }
        QVERIFY(key.over());
        QCOMPARE(form.score(), key.score());
        expectIdle(pictures, key.score());
    }

    // The typed-name layout is short, the picture-choice one tall and kept on the screen;
    // switching counts the selection again.
    void layouts()
    {
        QVERIFY(showForm(m_form, 1));
        FormDriver form(*m_form);
        const int screen = m_form->screen()->geometry().height();
        QCOMPARE(m_form->frameGeometry().height(), 3165 / 15);
        for (int row = 1; row <= 27; ++row)
            vyber().setCell(row, 1, QStringLiteral("n"));
        m_form->move(100, screen - 250);
        form.click(QStringLiteral("Option13"));
        QCOMPARE(form.caption(QStringLiteral("zbpopis")), zbyva(24));
        QCOMPARE(m_form->frameGeometry().height(), 8145 / 15);
        QTRY_COMPARE(m_form->frameGeometry().top(), (screen * 15 - 500 - 8145) / 15);
        QVERIFY(form.box(20)->isVisible() && !form.isShown(QStringLiteral("zadano")));
        vyber().setCell(3, 1, QStringLiteral("N"));
        form.click(QStringLiteral("Option10"));
        QCOMPARE(form.caption(QStringLiteral("zbpopis")), zbyva(25));
        QCOMPARE(m_form->frameGeometry().height(), 3165 / 15);
        QVERIFY(form.box(0)->isHidden() && form.isShown(QStringLiteral("zadano")));
    }

    // Help covers the window at the tall height and puts it back where it was.
    void help()
    {
        QVERIFY(showForm(m_form, 1));
        FormDriver form(*m_form);
        const int fitTop = (m_form->screen()->geometry().height() * 15 - 500 - 8145) / 15;
        m_form->move(30, fitTop + 150);
        QTRY_COMPARE(m_form->frameGeometry().top(), fitTop + 150);
        const QRect before = m_form->frameGeometry();
        form.click(QStringLiteral("help"));
        QCOMPARE(m_form->childAt(600, 10), form.control(QStringLiteral("hlppic1")));
        QTRY_COMPARE(m_form->frameGeometry().top(), fitTop);
        QCOMPARE(m_form->frameGeometry().height(), 8145 / 15);
        form.click(QStringLiteral("hlppic1"));
        QCOMPARE(m_form->childAt(600, 10), form.control(QStringLiteral("hlppic2")));
        form.click(QStringLiteral("hlppic2"));
        QVERIFY(!form.isShown(QStringLiteral("hlppic2")));
        QTRY_COMPARE(m_form->frameGeometry(), before);
    }

    // "Tiskací" shows the .gif pictures, "Psací" the .jpg ones; a missing picture leaves its
    // box empty.
    void lettering()
    {
        QTemporaryDir dir;
        QVERIFY(QImage(40, 50, QImage::Format_RGB32)
                    .save(dir.filePath(QStringLiteral("m01.gif")), "PNG"));
        QVERIFY(QImage(60, 70, QImage::Format_RGB32)
                    .save(dir.filePath(QStringLiteral("m01.jpg")), "PNG"));
        selectOnly({1});
        QVERIFY(showForm(m_form, 3, dir.path()));
        FormDriver form(*m_form);
        const auto start = [&](const char *option) {
            form.click(QStringLiteral("stopka"));
            form.click(QLatin1String(option));
            form.click(QStringLiteral("start"));
            return form.control<QLabel>(QStringLiteral("obrazek1"))->pixmap().size();
        };
        QCOMPARE(start("Option21"), QSize(60, 70));
        QCOMPARE(start("Option20"), QSize(40, 50));
        start("Option13");
        int empty = 0;
        for (int i = 0; i < kSlots; ++i)
            empty += form.box(i)->pixmap().isNull();
        QCOMPARE(empty, 20);
        QCOMPARE(form.box(m_form->rightSlot())->pixmap().size(), QSize(40, 50));
    }

    void selection_data()
    {
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QString>("closedBy");
        QTest::addColumn<int>("count");
        QTest::addRow("as loaded") << ""
                                   << "ok" << 49;
        QTest::addRow("two off") << "mt0 vt23"
                                 << "ok" << 47;
        QTest::addRow("velké inverts the capitals") << "Label20"
                                                    << "ok" << 27;
        QTest::addRow("malé inverts the small forms") << "Label21"
                                                      << "ok" << 24;
        QTest::addRow("Esc") << "mt0 Label20"
                             << "Esc" << 49;
        QTest::addRow("closed") << "mt0"
                                << "close" << 49;
    }

    // Boxes ticked from the flags; "Použít" writes them back, any other close keeps the flags.
    void selection()
    {
        QFETCH(QString, clicks);
        QFETCH(QString, closedBy);
        QFETCH(int, count);
        vyber().markUnusedCells();
        vyber().setCell(4, 1, QStringLiteral("n"));
        vyber().setCell(3, 2, QStringLiteral("n"));
        vyber().setCell(7, 1, QStringLiteral("N"));
        vyber().setCell(26, 2, QStringLiteral("x"));
        vyber().setCell(0, 0, QStringLiteral("s"));
        const QStringList before = vyberCells(vyber());
        Selection w;
        QStringList loaded(51, QStringLiteral("z"));
        loaded[3] = loaded[29] = QStringLiteral("n");
        QCOMPARE(w.ticks(), loaded);
        w.click(clicks.split(QLatin1Char(' '), Qt::SkipEmptyParts));
        const QStringList ticks = w.ticks();
        if (closedBy == QLatin1String("ok"))
            w.click({closedBy});
        else if (closedBy == QLatin1String("Esc"))
            QTest::keyClick(&w.form, Qt::Key_Escape);
        else
            w.form.close();
        QVERIFY(!w.form.isVisible());
        QCOMPARE(w.zbpopis.text(), zbyva(count));
        if (closedBy != QLatin1String("ok"))
            return QCOMPARE(vyberCells(vyber()), before);
        QCOMPARE(boxFlags(), ticks);
        QCOMPARE(vyber().cell(26, 2) + vyber().cell(0, 0), QStringLiteral("ns"));
    }

    void emptySelectionRefused()
    {
        Selection w;
        w.click({QStringLiteral("Label20"), QStringLiteral("Label21")});
        QStringList seen;
        closeModal(&w.form, seen);
        w.click({QStringLiteral("ok")});
        QCOMPARE(seen.mid(0, 2),
                 (QStringList{QStringLiteral("Kelmora"),
                              QStringLiteral("Ke zkoušení je pořeba vybrat alespoň 1 znak.")}));
        QVERIFY(w.form.isVisible());
        QCOMPARE(w.zbpopis.text(), QStringLiteral("před"));
        QCOMPARE(boxFlags(), QStringList(51, QStringLiteral("n")));
    }

    // "Uložit" applies the boxes and writes them; "Načíst" ticks the boxes from the file.
    void saveThenLoad()
    {
        QTemporaryDir dir;
        Selection w;
        w.form.setFileChooser([&](QFileDialog::AcceptMode, const QString &) {
            return dir.filePath(QStringLiteral("a.grlist"));
        });
        w.click({QStringLiteral("mt3"), QStringLiteral("vt10"), QStringLiteral("mt25")});
        const QStringList saved = w.ticks();
        w.click({QStringLiteral("sejf")});
        QCOMPARE(boxFlags(), saved);
        vyber().clear();
        w.click({QStringLiteral("Label20"), QStringLiteral("Label21"), QStringLiteral("loud")});
        QCOMPARE(w.ticks(), saved);
        QTest::keyClick(&w.form, Qt::Key_Escape);
        QCOMPARE(w.zbpopis.text(), zbyva(48));
    }

    void failedFile_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("bytes"); // null: the file's folder is a file
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("firstFlag");
        const QByteArray line("m-01-n\r\n");
        QTest::addRow("row out of range") << "loud" << line + "m-31-z\r\nm-02-n\r\n"
                                          << "Řádek 2"
                                          << "n";
        QTest::addRow("over 64 KiB") << "loud" << line.repeated(8193) << "64 KiB"
                                     << "";
        QTest::addRow("NUL byte") << "loud" << line + QByteArray(1, '\0') << "nulový bajt"
                                  << "";
        QTest::addRow("no such file") << "loud" << QByteArray() << "nelze otevřít"
                                      << "";
        QTest::addRow("no such folder") << "sejf" << QByteArray() << "nelze vytvořit"
                                        << "z";
    }

    // A Czech message with the file name as it is; a load keeps the lines before a bad one.
    void failedFile()
    {
        QFETCH(QString, button);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QFETCH(QString, firstFlag);
        QTemporaryDir dir;
        QString fileName = dir.filePath(QStringLiteral("<b>a.grlist"));
        QFile file(bytes.isNull() ? dir.filePath(QStringLiteral("f")) : fileName);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        if (bytes.isNull())
            fileName = file.fileName() + QStringLiteral("/a.grlist");
        Selection w;
        w.form.setFileChooser([&](QFileDialog::AcceptMode, const QString &) { return fileName; });
        w.click({QStringLiteral("mt5")});
        QStringList seen;
        closeModal(&w.form, seen);
        w.click({button});
        QCOMPARE(seen.size(), 3);
        QVERIFY2(seen[1].contains(QDir::toNativeSeparators(fileName)) && seen[1].contains(reason),
                 qPrintable(seen[1]));
        QCOMPARE(seen[2], QString::number(Qt::PlainText));
        QCOMPARE(vyber().cell(1, 1), firstFlag);
        QCOMPARE(w.box(QStringLiteral("mt0"))->isChecked(), firstFlag != QLatin1String("n"));
        QCOMPARE(w.box(QStringLiteral("mt5"))->isChecked(), button == QLatin1String("loud"));
    }

    // Qt's own dialog: an existing file to open, any name to save.
    void fileDialog()
    {
        Selection w;
        const QString filter = QStringLiteral("Seznam řeckých znaku (*.grlist)");
        for (const auto &[button, title, modes] :
             {std::tuple{"sejf", "Uložit výběr řeckých znaků", "10"},
              {"loud", "Načíst výběr řeckých znaků", "01"}}) {
            QStringList seen;
            closeModal(&w.form, seen);
            w.click({QLatin1String(button)});
            QCOMPARE(seen,
                     (QStringList{QString::fromUtf8(title), filter, QString(QLatin1Char(modes[0])),
                                  QString(QLatin1Char(modes[1]))}));
        }
    }

    // Last: Qt's Czech catalogue, as the program installs it, stays for the rest of the run.
    void czech()
    {
        static QTranslator translator;
        prepareApplication(translator);
        QDialogButtonBox box(QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')),
                 QStringLiteral("Zrušit"));
    }

private:
    // Start, setup and the options back; nothing left of the run; board and answer box dead.
    void expectIdle(bool pictures, const QString &score)
    {
        FormDriver form(*m_form);
        QCOMPARE(form.score(), score);
        for (const char *name : {"Option10", "Option13", "Option20", "Option21"})
            QVERIFY(form.isEnabled(QLatin1String(name)));
        QVERIFY(form.isShown(QStringLiteral("start")) && form.isShown(QStringLiteral("setup")));
        for (const char *name : {"stopka", "enter", "pokracovat"})
            QVERIFY2(!form.isShown(QLatin1String(name)), name);
        QCOMPARE(form.caption(QStringLiteral("message")) + form.caption(QStringLiteral("vema")),
                 QString());
        QVERIFY(form.control<QLineEdit>(QStringLiteral("zadano"))->text().isEmpty());
        QVERIFY(form.control<QLabel>(QStringLiteral("obrazek1"))->pixmap().isNull());
        for (int i = 0; i < kSlots; ++i)
            QVERIFY(form.box(i)->pixmap().isNull() && form.box(i)->isHidden() != pictures);
        if (!pictures)
            return;
        const QString verdict = form.caption(QStringLiteral("truefalse"));
        form.clickBox(1);
        form.click(QStringLiteral("Option10"));
        form.type(QStringLiteral("beta"));
        form.pressEnter();
        QCOMPARE(form.caption(QStringLiteral("truefalse")) + form.caption(QStringLiteral("cormis")),
                 verdict + score.section(QLatin1Char('|'), 6));
    }

    std::unique_ptr<Form1> m_form;
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
