#include "form2.h"
#include "selectiontest.h"
#include "vyber.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace kelmora;

namespace {

QString zbyva(int count)
{
    return QStringLiteral("Zbývá znaků - %1").arg(count);
}

// The selection window over a stand-in for the main window's label.
struct Window {
    Window()
    {
        zbpopis.setText(QStringLiteral("před"));
        form.show();
    }

    QCheckBox *box(const QString &name) const { return form.findChild<QCheckBox *>(name); }

    // Clicks the named controls one after another.
    void click(const QStringList &names) const
    {
        for (const QString &name : names)
            QTest::mouseClick(form.findChild<QWidget *>(name), Qt::LeftButton);
    }

    // The boxes as "z"/"n": mt0..mt26, then vt0..vt23.
    QStringList ticks() const
    {
        QStringList ticks;
        for (int i = 0; i < 51; ++i) {
            const QString name =
                i < 27 ? QStringLiteral("mt%1").arg(i) : QStringLiteral("vt%1").arg(i - 27);
            ticks += box(name)->isChecked() ? QStringLiteral("z") : QStringLiteral("n");
        }
        return ticks;
    }

    QLabel zbpopis;
    Form2 form{&zbpopis};
};

// The flags that belong to boxes, in the order of Window::ticks().
QStringList boxFlags()
{
    QStringList flags;
    for (int row = 1; row <= 27; ++row)
        flags += vyber().cell(row, 1);
    for (int row = 1; row <= 24; ++row)
        flags += vyber().cell(row, 2);
    return flags;
}

bool writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// What a modal window showed before the test closed it.
struct Seen {
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QStringList nameFilters;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
};

// Waits for a modal window to open above `below`, notes it in `seen` and closes it: a
// message box with OK, a file dialog by picking fileName, or cancelling when that is empty.
class ModalWatcher
{
public:
    ModalWatcher(QWidget *below, Seen &seen, const QString &fileName = QString())
    {
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [=, &seen] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || modal == below)
                return;
            m_timer.stop();
            ++m_opened;
            seen.title = modal->windowTitle();
            auto *box = qobject_cast<QMessageBox *>(modal);
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            if (box) {
                seen.text = box->text();
                seen.buttons = box->standardButtons();
                QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
                return;
            }
            if (!dialog) {
                modal->close();
                return;
            }
            seen.nameFilters = dialog->nameFilters();
            seen.acceptMode = dialog->acceptMode();
            seen.fileMode = dialog->fileMode();
            // The name typed the way a user types it; a dialog that stays open is cancelled,
            // so that the test fails instead of hanging.
            auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (edit && !fileName.isEmpty()) {
                dialog->setDirectory(QFileInfo(fileName).absolutePath());
                edit->clear();
                QTest::keyClicks(edit, QFileInfo(fileName).fileName());
                QTest::keyClick(edit, Qt::Key_Return);
            }
            if (dialog->isVisible())
                dialog->reject();
        });
        m_timer.start(10);
    }

    int opened() const { return m_opened; }

private:
    QTimer m_timer;
    int m_opened = 0;
};

} // namespace

class TestForm2 : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void ticksFromFlags_data();
    void ticksFromFlags();
    void invertColumn_data();
    void invertColumn();
    void closing_data();
    void closing();
    void emptySelectionRefused();

    void saveThenLoad();
    void failedFile_data();
    void failedFile();
    void fileDialog_data();
    void fileDialog();
};

void TestForm2::init()
{
    vyber().clear();
    vyber().markUnusedCells();
}

void TestForm2::ticksFromFlags_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("flag");
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("accessibleName");

    const QString n = QStringLiteral("n");
    const QString alfa = QStringLiteral("malé alfa");
    QTest::addRow("n unticks small alfa") << 1 << 1 << n << "mt0" << alfa;
    QTest::addRow("N ticks") << 1 << 1 << QStringLiteral("N") << "mt0" << alfa;
    QTest::addRow("empty ticks") << 1 << 1 << QString() << "mt0" << alfa;
    QTest::addRow("capital epsilon") << 5 << 2 << n << "vt4" << QStringLiteral("velké epsilon");
    QTest::addRow("capital omega") << 24 << 2 << n << "vt23" << QStringLiteral("velké omega");
    QTest::addRow("final sigma") << 25 << 1 << n << "mt24"
                                 << QStringLiteral("malé sigma (koncová)");
    QTest::addRow("variant kappa")
        << 27 << 1 << n << "mt26" << QStringLiteral("malé kappa (jako psací H)");
}

void TestForm2::ticksFromFlags()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, flag);
    QFETCH(QString, boxName);
    QFETCH(QString, accessibleName);

    vyber().setCell(row, column, flag);
    Window w;
    QStringList expected(51, QStringLiteral("z"));
    if (flag == QLatin1String("n"))
        expected[boxName.mid(2).toInt() + (column == 2 ? 27 : 0)] = flag;
    QCOMPARE(w.ticks(), expected);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(w.box(boxName));
    QCOMPARE(accessible->text(QAccessible::Name), accessibleName);
}

void TestForm2::invertColumn_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("small");
    QTest::addColumn<bool>("doubleClick"); // the first time: one inversion all the same

    QTest::addRow("velké inverts the capitals") << "Label20" << false << false;
    QTest::addRow("malé inverts the small forms") << "Label21" << true << false;
    QTest::addRow("malé double-clicked") << "Label21" << true << true;
}

void TestForm2::invertColumn()
{
    QFETCH(QString, label);
    QFETCH(bool, small);
    QFETCH(bool, doubleClick);

    // A partly ticked column stays partly ticked.
    vyber().setCell(2, 1, QStringLiteral("n"));
    vyber().setCell(26, 1, QStringLiteral("n"));
    vyber().setCell(3, 2, QStringLiteral("n"));
    vyber().setCell(24, 2, QStringLiteral("n"));
    const QStringList flagsBefore = vyberCells(vyber());
    Window w;
    const QStringList before = w.ticks();

    w.click({label});
    if (doubleClick) {
        QWidget *heading = w.form.findChild<QWidget *>(label);
        QTest::mouseDClick(heading, Qt::LeftButton);
        QTest::mouseRelease(heading, Qt::LeftButton);
    }
    const QStringList once = w.ticks();
    for (int i = 0; i < 51; ++i)
        QCOMPARE(once.at(i) == before.at(i), (i < 27) != small);
    QCOMPARE(vyberCells(vyber()), flagsBefore);

    w.click({label});
    QCOMPARE(w.ticks(), before);
}

void TestForm2::closing_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("closedBy");
    QTest::addColumn<int>("count");

    const QString velke = QStringLiteral("Label20");
    const QString male = QStringLiteral("Label21");
    const QString ok = QStringLiteral("ok");
    const QStringList some{QStringLiteral("mt0"), QStringLiteral("vt5"), male};
    QTest::addRow("as loaded") << QStringList() << ok << 50;
    QTest::addRow("two boxes off")
        << QStringList{QStringLiteral("mt0"), QStringLiteral("vt23")} << ok << 48;
    QTest::addRow("capitals inverted") << QStringList{velke} << ok << 26;
    QTest::addRow("two left") << QStringList{velke, male, QStringLiteral("mt4")} << ok << 2;
    // Without "Použít" the count is the load's.
    QTest::addRow("Esc") << some << "Esc" << 50;
    QTest::addRow("frame's close button") << some << "close" << 50;
}

void TestForm2::closing()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, closedBy);
    QFETCH(int, count);

    // One character off, so the load counts 50; a hand-edited list may have ticked a cell
    // that belongs to no character, and cells outside the boxes' columns hold anything.
    vyber().setCell(4, 1, QStringLiteral("n"));
    vyber().setCell(26, 2, QStringLiteral("x"));
    vyber().setCell(0, 0, QStringLiteral("s"));
    vyber().setCell(28, 1, QStringLiteral("s"));
    const QStringList before = vyberCells(vyber());
    Window w;
    w.click(clicks);
    const QStringList ticks = w.ticks();

    const bool applied = closedBy == QLatin1String("ok");
    if (applied)
        w.click({closedBy});
    else if (closedBy == QLatin1String("Esc"))
        QTest::keyClick(&w.form, Qt::Key_Escape);
    else
        w.form.close();
    QVERIFY(!w.form.isVisible());
    QCOMPARE(w.form.result(), int(applied ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE(w.zbpopis.text(), zbyva(count));
    if (!applied) {
        QCOMPARE(vyberCells(vyber()), before);
        return;
    }
    QCOMPARE(boxFlags(), ticks);
    const QStringList unused{vyber().cell(25, 2), vyber().cell(26, 2), vyber().cell(27, 2)};
    QCOMPARE(unused, QStringList(3, QStringLiteral("n")));
    QCOMPARE(vyber().cell(0, 0), QStringLiteral("s"));
    QCOMPARE(vyber().cell(28, 1), QStringLiteral("s"));
}

void TestForm2::emptySelectionRefused()
{
    Window w;
    w.click({QStringLiteral("Label20"), QStringLiteral("Label21")});

    Seen seen;
    ModalWatcher watcher(&w.form, seen);
    w.click({QStringLiteral("ok")});
    QCOMPARE(watcher.opened(), 1);
    QCOMPARE(seen.title, QStringLiteral("Kelmora"));
    QCOMPARE(seen.text, QStringLiteral("Ke zkoušení je pořeba vybrat alespoň 1 znak."));
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    // Still open, every flag written as unticked.
    QVERIFY(w.form.isVisible());
    QCOMPARE(boxFlags(), QStringList(51, QStringLiteral("n")));
    QCOMPARE(w.zbpopis.text(), QStringLiteral("před"));
    QTest::keyClick(&w.form, Qt::Key_Escape);
    QCOMPARE(w.zbpopis.text(), zbyva(0));
}

void TestForm2::saveThenLoad()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fileName = dir.filePath(QStringLiteral("vyber.grlist"));
    Window w;
    w.form.setFileChooser([&](QFileDialog::AcceptMode, const QString &) { return fileName; });

    w.click({QStringLiteral("mt3"), QStringLiteral("vt10"), QStringLiteral("mt25")});
    const QStringList saved = w.ticks();
    w.click({QStringLiteral("sejf")});
    QCOMPARE(fileBytes(fileName).size(), 432);
    // Saving applies the boxes to the flags.
    QCOMPARE(boxFlags(), saved);

    // Load into flags that say otherwise, over boxes that say otherwise again.
    init();
    w.click({QStringLiteral("Label20"), QStringLiteral("Label21")});
    w.click({QStringLiteral("loud")});
    QCOMPARE(w.ticks(), saved);
    QCOMPARE(boxFlags(), saved);

    // The load counted the boxes.
    QTest::keyClick(&w.form, Qt::Key_Escape);
    QCOMPARE(w.zbpopis.text(), zbyva(48));
}

void TestForm2::failedFile_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("bytes"); // null: the file's folder is a file
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("firstFlag");

    const QByteArray line("m-01-n\r\n");
    const QString loud = QStringLiteral("loud");
    QTest::addRow("row out of range") << loud << line + "m-31-z\r\nm-02-n\r\n"
                                      << "Řádek 2" << QStringLiteral("n");
    QTest::addRow("over 64 KiB") << loud << line.repeated(8193) << "64 KiB" << QString();
    QTest::addRow("NUL byte") << loud << line + QByteArray(1, '\0') << "nulový bajt" << QString();
    QTest::addRow("no such file") << loud << QByteArray() << "nelze otevřít" << QString();
    QTest::addRow("save, no such folder")
        << "sejf" << QByteArray() << "nelze vytvořit" << QStringLiteral("z");
}

void TestForm2::failedFile()
{
    QFETCH(QString, button);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QFETCH(QString, firstFlag);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString notAFolder = dir.filePath(QStringLiteral("soubor"));
    QVERIFY(writeFile(notAFolder, "x"));
    QString fileName = notAFolder + QStringLiteral("/vyber.grlist");
    if (!bytes.isNull()) {
        fileName = dir.filePath(QStringLiteral("vyber.grlist"));
        QVERIFY(writeFile(fileName, bytes));
    }
    Window w;
    w.form.setFileChooser([&](QFileDialog::AcceptMode, const QString &) { return fileName; });
    w.click({QStringLiteral("mt5")});

    Seen seen;
    ModalWatcher watcher(&w.form, seen);
    w.click({button});
    QCOMPARE(watcher.opened(), 1);
    QCOMPARE(seen.title, QStringLiteral("Kelmora"));
    QVERIFY2(seen.text.contains(QDir::toNativeSeparators(fileName)), qPrintable(seen.text));
    QVERIFY2(seen.text.contains(reason), qPrintable(seen.text));
    QCOMPARE(fileBytes(notAFolder), QByteArray("x"));

    // A save applied the boxes; a load kept the lines before the bad one, not those after,
    // and shows the flags in the boxes again (only then, "n"). A load refused as a whole
    // leaves the unapplied tick alone.
    QCOMPARE(vyber().cell(1, 1), firstFlag);
    QCOMPARE(w.box(QStringLiteral("mt0"))->isChecked(), firstFlag != QLatin1String("n"));
    QVERIFY(w.box(QStringLiteral("mt1"))->isChecked());
    QCOMPARE(w.box(QStringLiteral("mt5"))->isChecked(), firstFlag == QLatin1String("n"));
    QTest::keyClick(&w.form, Qt::Key_Escape);
    QCOMPARE(w.zbpopis.text(), zbyva(firstFlag == QLatin1String("n") ? 50 : 51));
}

void TestForm2::fileDialog_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("typed");  // empty: cancelled
    QTest::addColumn<QString>("chosen"); // the file saved or loaded

    const QString sejf = QStringLiteral("sejf");
    const QString loud = QStringLiteral("loud");
    const QString nova = QStringLiteral("nova.grlist");
    const QString vyber = QStringLiteral("vyber.grlist");
    QTest::addRow("Uložit, new file") << sejf << nova << nova;
    QTest::addRow("Uložit, no extension typed") << sejf << "nova" << nova;
    QTest::addRow("Uložit, cancelled") << sejf << QString() << QString();
    QTest::addRow("Načíst, file chosen") << loud << vyber << vyber;
    QTest::addRow("Načíst, no extension typed") << loud << "vyber" << vyber;
    QTest::addRow("Načíst, cancelled") << loud << QString() << QString();
}

// Qt's own dialog. Cancelled, it changes no file, no flag and no box; "Uložit" applies the
// boxes, "Načíst" shows the flags in them again.
void TestForm2::fileDialog()
{
    QFETCH(QString, button);
    QFETCH(QString, typed);
    QFETCH(QString, chosen);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString existing = dir.filePath(QStringLiteral("vyber.grlist"));
    QVERIFY(writeFile(existing, "m-01-n\r\n"));
    vyber().setCell(3, 2, QStringLiteral("n"));
    const QStringList before = vyberCells(vyber());
    Window w;
    w.click({QStringLiteral("mt5"), QStringLiteral("vt2")});
    const QStringList ticks = w.ticks();

    Seen seen;
    ModalWatcher watcher(&w.form, seen, typed.isEmpty() ? QString() : dir.filePath(typed));
    w.click({button});
    QCOMPARE(watcher.opened(), 1);
    const bool saving = button == QLatin1String("sejf");
    QCOMPARE(seen.title, saving ? QStringLiteral("Uložit výběr řeckých znaků")
                                : QStringLiteral("Načíst výběr řeckých znaků"));
    QCOMPARE(seen.nameFilters, {QStringLiteral("Seznam řeckých znaku (*.grlist)")});
    QCOMPARE(seen.acceptMode, saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    QCOMPARE(seen.fileMode, saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);

    QCOMPARE(fileBytes(existing), QByteArray("m-01-n\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), saving && !chosen.isEmpty() ? 2 : 1);
    if (chosen.isEmpty()) {
        QCOMPARE(vyberCells(vyber()), before);
        QCOMPARE(w.ticks(), ticks);
    } else if (saving) {
        QCOMPARE(boxFlags(), ticks);
        QCOMPARE(fileBytes(dir.filePath(chosen)), writtenBytes(vyber()));
    } else {
        QCOMPARE(vyber().cell(1, 1), QStringLiteral("n"));
        QVERIFY(!w.box(QStringLiteral("mt0"))->isChecked());
        QVERIFY(w.box(QStringLiteral("mt5"))->isChecked());
        QVERIFY(!w.box(QStringLiteral("vt2"))->isChecked());
    }
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
