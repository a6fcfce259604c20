// The two windows driven as a user drives them: whole runs, layouts, help, selection and files.
#include "czech.h"
#include "form2.h"
#include "formdriver.h"
#include "names.h"
#include "board.h"
#include "selectiontest.h"

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

const QString kHotovo = u"HOTOVO"_s;

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
            ticks << (box(i < 27 ? u"mt%1"_s.arg(i) : u"vt%1"_s.arg(i - 27))->isChecked() ? u"z"_s
                                                                                          : u"n"_s);
        return ticks;
    }
    QLabel zbpopis{u"před"_s};
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
    return u"Zbývá znaků - %1"_s.arg(count);
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
            QAccessible::queryAccessibleInterface(form.control(u"Option13"_s))
                ->actionInterface()
                ->doAction(QAccessibleActionInterface::toggleAction());
        form.click(u"start"_s);
        for (int answer = 0; form.caption(u"truefalse"_s) != kHotovo; ++answer) {
            QVERIFY2(answer < 1000, "the run does not end");
            const int row = pictures ? m_form->soughtRow() : m_form->shownRow();
            QVERIFY(key.marks.contains(row) && key.marks[row] != 1);
            for (const char *name : {"Option10", "Option13", "Option20", "Option21"})
                QVERIFY(!form.isEnabled(QLatin1String(name)));
            QVERIFY(!form.isShown(u"setup"_s) && !form.isShown(u"start"_s));
            QVERIFY(form.isShown(u"stopka"_s));
            if (answer == stopAt) {
                form.click(u"stopka"_s);
                QVERIFY(form.caption(u"truefalse"_s).isEmpty());
                AnswerKey fresh{key.marks};
                for (int &mark : fresh.marks)
                    mark = 0;
                return expectIdle(pictures, fresh.score());
            }
            const bool right = !wrongEvery || answer % wrongEvery;
            const Nazvy nazvy = splitNames(catalogue.names[row]);
            if (pictures) {
                QCOMPARE(form.caption(u"vema"_s), phrase(row, koncovky));
                QCOMPARE(form.caption(u"message"_s), rozloz(catalogue.names[row]));
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
                    form.type(u"x"_s);
                    QVERIFY(form.isShown(u"enter"_s));
                    QTest::keyClick(form.control(u"zadano"_s), Qt::Key_Backspace);
                    QVERIFY(!form.isShown(u"enter"_s));
                }
                form.type(right ? nazvy[1] : u"?"_s);
                form.pressEnter();
                QCOMPARE(form.caption(u"message"_s), right ? QString() : nameLines(nazvy));
            }
            key.judge(row, right);
            QCOMPARE(form.caption(u"truefalse"_s), right ? u"Správně"_s : u"ŠPATNĚ"_s);
            QCOMPARE(form.control(u"truefalse"_s)->palette().color(QPalette::WindowText),
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
            vyber().setCell(row, 1, u"n"_s);
        m_form->move(100, screen - 250);
        form.click(u"Option13"_s);
        QCOMPARE(form.caption(u"zbpopis"_s), zbyva(24));
        QCOMPARE(m_form->frameGeometry().height(), 8145 / 15);
        QTRY_COMPARE(m_form->frameGeometry().top(), (screen * 15 - 500 - 8145) / 15);
        QVERIFY(form.box(20)->isVisible() && !form.isShown(u"zadano"_s));
        vyber().setCell(3, 1, u"N"_s);
        form.click(u"Option10"_s);
        QCOMPARE(form.caption(u"zbpopis"_s), zbyva(25));
        QCOMPARE(m_form->frameGeometry().height(), 3165 / 15);
        QVERIFY(form.box(0)->isHidden() && form.isShown(u"zadano"_s));
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
        form.click(u"help"_s);
        QCOMPARE(m_form->childAt(600, 10), form.control(u"hlppic1"_s));
        QTRY_COMPARE(m_form->frameGeometry().top(), fitTop);
        QCOMPARE(m_form->frameGeometry().height(), 8145 / 15);
        form.click(u"hlppic1"_s);
        QCOMPARE(m_form->childAt(600, 10), form.control(u"hlppic2"_s));
        form.click(u"hlppic2"_s);
        QVERIFY(!form.isShown(u"hlppic2"_s));
        QTRY_COMPARE(m_form->frameGeometry(), before);
    }

    // "Tiskací" shows the .gif pictures, "Psací" the .jpg ones; a missing picture leaves its
    // box empty.
    void lettering()
    {
        QTemporaryDir dir;
        QVERIFY(QImage(40, 50, QImage::Format_RGB32).save(dir.filePath(u"m01.gif"_s), "PNG"));
        QVERIFY(QImage(60, 70, QImage::Format_RGB32).save(dir.filePath(u"m01.jpg"_s), "PNG"));
        selectOnly({1});
        QVERIFY(showForm(m_form, 3, dir.path()));
        FormDriver form(*m_form);
        const auto start = [&](const char *option) {
            form.click(u"stopka"_s);
            form.click(QLatin1String(option));
            form.click(u"start"_s);
            return form.control<QLabel>(u"obrazek1"_s)->pixmap().size();
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
        vyber().setCell(4, 1, u"n"_s);
        vyber().setCell(3, 2, u"n"_s);
        vyber().setCell(7, 1, u"N"_s);
        vyber().setCell(26, 2, u"x"_s);
        vyber().setCell(0, 0, u"s"_s);
        const QStringList before = vyberCells(vyber());
        Selection w;
        QStringList loaded(51, u"z"_s);
        loaded[3] = loaded[29] = u"n"_s;
        QCOMPARE(w.ticks(), loaded);
        w.click(clicks.split(QLatin1Char(' '), Qt::SkipEmptyParts));
        QStringList ticks = w.ticks();
        if (closedBy == QLatin1String("ok"))
            w.click({closedBy});
        else if (closedBy == QLatin1String("Esc"))
            QTest::keyClick(&w.form, Qt::Key_Escape);
        else
            w.form.close();
        QVERIFY(!w.form.isVisible());
        QCOMPARE(w.zbpopis.text(), zbyva(count));
        if (closedBy == QLatin1String("ok"))
            QCOMPARE(boxFlags() << vyber().cell(26, 2) << vyber().cell(0, 0),
                     ticks << u"n"_s << u"s"_s);
        else
            QCOMPARE(vyberCells(vyber()), before);
    }

    void emptySelectionRefused()
    {
        Selection w;
        w.click({u"Label20"_s, u"Label21"_s});
        QStringList seen;
        closeModal(&w.form, seen);
        w.click({u"ok"_s});
        QCOMPARE(seen.mid(0, 2),
                 (QStringList{u"Kelmora"_s, u"Ke zkoušení je pořeba vybrat alespoň 1 znak."_s}));
        QVERIFY(w.form.isVisible());
        QCOMPARE(w.zbpopis.text(), u"před"_s);
        QCOMPARE(boxFlags(), QStringList(51, u"n"_s));
    }

    // "Uložit" applies the boxes and writes them; "Načíst" ticks the boxes from the file.
    void saveThenLoad()
    {
        QTemporaryDir dir;
        Selection w;
        w.form.setFileChooser(
            [&](QFileDialog::AcceptMode, const QString &) { return dir.filePath(u"a.grlist"_s); });
        w.click({u"mt3"_s, u"vt10"_s, u"mt25"_s});
        const QStringList saved = w.ticks();
        w.click({u"sejf"_s});
        QCOMPARE(boxFlags(), saved);
        vyber().clear();
        w.click({u"Label20"_s, u"Label21"_s, u"loud"_s});
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
        QString fileName = dir.filePath(u"<b>a.grlist"_s);
        QFile file(bytes.isNull() ? dir.filePath(u"f"_s) : fileName);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        if (bytes.isNull())
            fileName = file.fileName() + u"/a.grlist"_s;
        Selection w;
        w.form.setFileChooser([&](QFileDialog::AcceptMode, const QString &) { return fileName; });
        w.click({u"mt5"_s});
        QStringList seen;
        closeModal(&w.form, seen);
        w.click({button});
        QCOMPARE(seen.size(), 3);
        QVERIFY2(seen[1].contains(QDir::toNativeSeparators(fileName)) && seen[1].contains(reason),
                 qPrintable(seen[1]));
        QCOMPARE(seen[2], QString::number(Qt::PlainText));
        QCOMPARE(vyber().cell(1, 1), firstFlag);
        QCOMPARE(w.box(u"mt0"_s)->isChecked(), firstFlag != QLatin1String("n"));
        QCOMPARE(w.box(u"mt5"_s)->isChecked(), button == QLatin1String("loud"));
    }

    // Qt's own dialog: an existing file to open, any name to save.
    void fileDialog()
    {
        Selection w;
        const QString filter = u"Seznam řeckých znaku (*.grlist)"_s;
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
                 u"Zrušit"_s);
    }

private:
    // Start, setup and the options back; nothing left of the run; board and answer box dead.
    void expectIdle(bool pictures, const QString &score)
    {
        FormDriver form(*m_form);
        QCOMPARE(form.score(), score);
        for (const char *name : {"Option10", "Option13", "Option20", "Option21"})
            QVERIFY(form.isEnabled(QLatin1String(name)));
        QVERIFY(form.isShown(u"start"_s) && form.isShown(u"setup"_s));
        for (const char *name : {"stopka", "enter", "pokracovat"})
            QVERIFY2(!form.isShown(QLatin1String(name)), name);
        QCOMPARE(form.caption(u"message"_s) + form.caption(u"vema"_s), QString());
        QVERIFY(form.control<QLineEdit>(u"zadano"_s)->text().isEmpty());
        QVERIFY(form.control<QLabel>(u"obrazek1"_s)->pixmap().isNull());
        for (int i = 0; i < kSlots; ++i)
            QVERIFY(form.box(i)->pixmap().isNull() && form.box(i)->isHidden() != pictures);
        if (!pictures)
            return;
        const QString verdict = form.caption(u"truefalse"_s);
        form.clickBox(1);
        form.click(u"Option10"_s);
        form.type(u"beta"_s);
        form.pressEnter();
        QCOMPARE(form.caption(u"truefalse"_s) + form.caption(u"cormis"_s),
                 verdict + score.section(QLatin1Char('|'), 6));
    }

    std::unique_ptr<Form1> m_form;
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
