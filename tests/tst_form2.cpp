#include "form2.h"
#include "selectiontest.h"
#include "vyber.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
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

    QWidget *widget(const QString &name) const { return form.findChild<QWidget *>(name); }
    QCheckBox *box(const QString &name) const { return form.findChild<QCheckBox *>(name); }

    // Clicks the named controls one after another.
    void click(const QStringList &names) const
    {
        for (const QString &name : names)
            QTest::mouseClick(widget(name), Qt::LeftButton);
    }

    // The boxes as "z"/"n": mt0..mt26, then vt0..vt23.
    QStringList ticks() const
    {
        QStringList ticks;
        const auto add = [&](const QString &prefix, int count) {
            for (int i = 0; i < count; ++i) {
                ticks += box(prefix + QString::number(i))->isChecked() ? QStringLiteral("z")
                                                                       : QStringLiteral("n");
            }
        };
        add(QStringLiteral("mt"), 27);
        add(QStringLiteral("vt"), 24);
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

QStringList unusedFlags()
{
    return {vyber().cell(25, 2), vyber().cell(26, 2), vyber().cell(27, 2)};
}

bool writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// What a modal window showed before the test closed it.
struct Seen {
    QString className;
    QString objectName;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QStringList nameFilters;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    bool nonNative = false;
};

// Waits for a modal window to open above `below` and hands it to `answer`, which closes it.
class ModalWatcher
{
public:
    ModalWatcher(QWidget *below, std::function<void(QWidget *)> answer)
    {
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this, below, answer] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || modal == below)
                return;
            m_timer.stop();
            ++m_opened;
            answer(modal);
        });
        m_timer.start(10);
    }

    int opened() const { return m_opened; }

private:
    QTimer m_timer;
    int m_opened = 0;
};

// Notes a message box and presses its OK button.
std::function<void(QWidget *)> pressOk(Seen &seen)
{
    return [&seen](QWidget *modal) {
        seen.className = QString::fromLatin1(modal->metaObject()->className());
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box) {
            modal->close();
            return;
        }
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    };
}

// Notes a file dialog, then picks fileName in it, or cancels it when that is empty.
std::function<void(QWidget *)> answerDialog(Seen &seen, const QString &fileName)
{
    return [&seen, fileName](QWidget *modal) {
        seen.className = QString::fromLatin1(modal->metaObject()->className());
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        seen.objectName = dialog->objectName();
        seen.title = dialog->windowTitle();
        seen.nameFilters = dialog->nameFilters();
        seen.acceptMode = dialog->acceptMode();
        seen.fileMode = dialog->fileMode();
        seen.nonNative = dialog->testOption(QFileDialog::DontUseNativeDialog);
        if (fileName.isEmpty()) {
            QTest::keyClick(dialog, Qt::Key_Escape);
            return;
        }
        // Into the file's folder, then its name typed the way a user types it; a dialog
        // that stays open is cancelled so that the test fails instead of hanging.
        const QFileInfo file(fileName);
        dialog->setDirectory(file.absolutePath());
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (edit) {
            edit->clear();
            QTest::keyClicks(edit, file.fileName());
            QTest::keyClick(edit, Qt::Key_Return);
        }
        if (dialog->isVisible())
            dialog->reject();
    };
}

} // namespace

class TestForm2 : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void ticksFromFlags_data();
    void ticksFromFlags();
    void rows_data();
    void rows();
    void namesBesideBoxes();
    void controls_data();
    void controls();
    void window();
    void tabOrder();

    void invertColumn_data();
    void invertColumn();
    void apply_data();
    void apply();
    void emptySelectionRefused();
    void closeWithoutApplying_data();
    void closeWithoutApplying();

    void saveThenLoad();
    void cancelledSave();
    void cancelledLoad();
    void failedLoad_data();
    void failedLoad();
    void failedSave();
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
    QTest::addColumn<bool>("ticked");

    QTest::addRow("n unticks small alfa") << 1 << 1 << QStringLiteral("n") << "mt0" << false;
    QTest::addRow("N ticks") << 1 << 1 << QStringLiteral("N") << "mt0" << true;
    QTest::addRow("x ticks") << 1 << 1 << QStringLiteral("x") << "mt0" << true;
    QTest::addRow("empty ticks") << 1 << 1 << QString() << "mt0" << true;
    QTest::addRow("z ticks") << 1 << 1 << QStringLiteral("z") << "mt0" << true;
    QTest::addRow("capital epsilon") << 5 << 2 << QStringLiteral("n") << "vt4" << false;
    QTest::addRow("capital omega") << 24 << 2 << QStringLiteral("n") << "vt23" << false;
    QTest::addRow("final sigma") << 25 << 1 << QStringLiteral("n") << "mt24" << false;
    QTest::addRow("variant kappa") << 27 << 1 << QStringLiteral("n") << "mt26" << false;
}

void TestForm2::ticksFromFlags()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, flag);
    QFETCH(QString, boxName);
    QFETCH(bool, ticked);

    vyber().setCell(row, column, flag);
    Window w;
    QStringList expected(51, QStringLiteral("z"));
    if (!ticked) {
        const int index = boxName.mid(2).toInt() + (column == 2 ? 27 : 0);
        expected[index] = QStringLiteral("n");
    }
    QCOMPARE(w.box(boxName)->isChecked(), ticked);
    QCOMPARE(w.ticks(), expected);

    // The count of the load reaches the main window when the window closes.
    QTest::keyClick(&w.form, Qt::Key_Escape);
    QCOMPARE(w.zbpopis.text(), zbyva(ticked ? 51 : 50));
}

void TestForm2::rows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("top");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mtName");
    QTest::addColumn<QString>("rightLabel");
    QTest::addColumn<int>("rightWidth");
    QTest::addColumn<QString>("vtName"); // empty: a small form only
    QTest::addColumn<QString>("leftLabel");
    QTest::addColumn<int>("leftWidth");

    const QString theta = QStringLiteral("theta (jako škrtnutá nula)");
    QTest::addRow("alfa") << 1 << 50 << "alfa"
                          << "mt0"
                          << "Label30" << 46 << "vt0"
                          << "Label353" << 46;
    QTest::addRow("éta") << 7 << 152 << "éta"
                         << "mt6"
                         << "Label36" << 46 << "vt6"
                         << "Label347" << 46;
    QTest::addRow("theta") << 8 << 169 << theta << "mt7"
                           << "Label324" << 128 << "vt7"
                           << "Label329" << 125;
    QTest::addRow("second theta") << 26 << 186 << "theta"
                                  << "mt25"
                                  << "Label37" << 46 << QString() << QString() << 0;
    QTest::addRow("ióta") << 9 << 203 << "ióta"
                          << "mt8"
                          << "Label38" << 46 << "vt8"
                          << "Label345" << 46;
    QTest::addRow("second kappa") << 27 << 237 << "kappa (jako psací H)"
                                  << "mt26"
                                  << "Label326" << 108 << QString() << QString() << 0;
    QTest::addRow("sigma") << 18 << 373 << "sigma"
                           << "mt17"
                           << "Label317" << 46 << "vt17"
                           << "Label336" << 46;
    QTest::addRow("final sigma") << 25 << 390 << "sigma (koncová)"
                                 << "mt24"
                                 << "Label325" << 100 << QString() << QString() << 0;
    QTest::addRow("tau") << 19 << 407 << "tau"
                         << "mt18"
                         << "Label318" << 46 << "vt18"
                         << "Label335" << 46;
    QTest::addRow("omega") << 24 << 492 << "omega"
                           << "mt23"
                           << "Label323" << 46 << "vt23"
                           << "Label330" << 46;
}

void TestForm2::rows()
{
    QFETCH(int, row);
    QFETCH(int, top);
    QFETCH(QString, name);
    QFETCH(QString, mtName);
    QFETCH(QString, rightLabel);
    QFETCH(int, rightWidth);
    QFETCH(QString, vtName);
    QFETCH(QString, leftLabel);
    QFETCH(int, leftWidth);

    // The row's flags unset, so its boxes are the only unticked ones.
    vyber().setCell(row, 1, QStringLiteral("n"));
    if (!vtName.isEmpty())
        vyber().setCell(row, 2, QStringLiteral("n"));
    Window w;
    QCOMPARE(w.ticks().count(QStringLiteral("n")), vtName.isEmpty() ? 1 : 2);

    QCheckBox *small = w.box(mtName);
    QVERIFY(small);
    QVERIFY(!small->isChecked());
    QCOMPARE(small->geometry(), QRect(166, top, 15, 15));
    auto *right = w.form.findChild<QLabel *>(rightLabel);
    QVERIFY(right);
    QCOMPARE(right->text(), name);
    QCOMPARE(right->x(), 188);
    QCOMPARE(right->width(), rightWidth);
    QVERIFY(right->y() >= top - 2 && right->y() <= top);

    if (vtName.isEmpty())
        return;
    QCheckBox *capital = w.box(vtName);
    QVERIFY(capital);
    QVERIFY(!capital->isChecked());
    QCOMPARE(capital->geometry(), QRect(132, top, 15, 15));
    auto *left = w.form.findChild<QLabel *>(leftLabel);
    QVERIFY(left);
    QCOMPARE(left->text(), name);
    QCOMPARE(left->x() + left->width(), 126);
    QCOMPARE(left->width(), leftWidth);
    QVERIFY(left->y() >= top - 2 && left->y() <= top);
    QVERIFY(left->alignment() & Qt::AlignRight);
}

void TestForm2::namesBesideBoxes()
{
    Window w;
    const QList<QCheckBox *> boxes = w.form.findChildren<QCheckBox *>();
    QCOMPARE(boxes.size(), 51);
    const QList<QLabel *> labels = w.form.findChildren<QLabel *>();
    for (QCheckBox *box : boxes) {
        const bool small = box->objectName().startsWith(QLatin1String("mt"));
        QVERIFY2(small || box->objectName().startsWith(QLatin1String("vt")),
                 qPrintable(box->objectName()));
        QVERIFY(box->text().isEmpty());
        QCOMPARE(box->size(), QSize(15, 15));

        // The one name level with the box, right of a small form, left of a capital.
        QList<QLabel *> beside;
        for (QLabel *label : labels) {
            const bool level = label->y() >= box->y() - 2 && label->y() <= box->y();
            const bool onItsSide =
                small ? label->x() == box->x() + 22 : label->x() + label->width() == box->x() - 6;
            if (level && onItsSide)
                beside += label;
        }
        QCOMPARE(beside.size(), 1);
        const QString expected =
            (small ? QStringLiteral("malé ") : QStringLiteral("velké ")) + beside.first()->text();
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(box);
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name), expected);
    }
}

void TestForm2::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<qreal>("pointSize");
    QTest::addColumn<QPalette::ColorRole>("role");
    QTest::addColumn<QColor>("colour");

    QTest::addRow("Label1") << "Label1"
                            << "Výběr znaků pro zkoušení" << QRect(5, -1, 250, 31) << 13.5
                            << QPalette::WindowText << QColor(0, 0, 192);
    QTest::addRow("Label2(0)") << "Label20"
                               << "velké" << QRect(107, 27, 40, 17) << 9.75 << QPalette::WindowText
                               << QColor(192, 0, 0);
    QTest::addRow("Label2(1)") << "Label21"
                               << "malé" << QRect(166, 27, 33, 17) << 9.75 << QPalette::WindowText
                               << QColor(192, 0, 0);
    QTest::addRow("sejf") << "sejf"
                          << "Uložit" << QRect(272, 1, 61, 20) << 9.75 << QPalette::Button
                          << QColor(255, 224, 192);
    QTest::addRow("loud") << "loud"
                          << "Načíst" << QRect(272, 22, 61, 20) << 9.75 << QPalette::Button
                          << QColor(255, 224, 192);
    QTest::addRow("ok") << "ok"
                        << "Použít" << QRect(272, 48, 61, 20) << 9.75 << QPalette::Button
                        << QColor(192, 255, 255);
}

void TestForm2::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, geometry);
    QFETCH(qreal, pointSize);
    QFETCH(QPalette::ColorRole, role);
    QFETCH(QColor, colour);

    Window w;
    QWidget *control = w.widget(name);
    QVERIFY(control);
    QCOMPARE(control->property("text").toString(), caption);
    QCOMPARE(control->geometry(), geometry);
    QCOMPARE(control->font().pointSizeF(), pointSize);
    QVERIFY(control->font().bold());
    // The font is really there, not a stand-in.
    QCOMPARE(QFontInfo(control->font()).family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(control->palette().color(role), colour);
    QCOMPARE(QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name), caption);
}

void TestForm2::window()
{
    Window w;
    QCOMPARE(w.form.windowTitle(), QStringLiteral("Nastavení"));
    QCOMPARE(w.form.size(), QSize(340, 517));
    QCOMPARE(w.form.minimumSize(), w.form.maximumSize());
    QVERIFY(w.form.isModal());
    for (const QString &name : {QStringLiteral("Label20"), QStringLiteral("Label21")}) {
        QWidget *label = w.widget(name);
        QCOMPARE(label->toolTip(), QStringLiteral("Při kliku na tento nápis se invertuje výběr."));
        // The hand picture compiled in, pointing with the fingertip.
        QCOMPARE(label->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(label->cursor().pixmap().size(), QSize(32, 32));
        QCOMPARE(label->cursor().hotSpot(), QPoint(12, 4));
    }
}

void TestForm2::tabOrder()
{
    Window w;
    w.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    w.widget(QStringLiteral("sejf"))->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), w.widget(QStringLiteral("sejf")));

    // Three buttons, then the 51 boxes row by row, then round again.
    QList<QWidget *> visited{QApplication::focusWidget()};
    for (int i = 0; i < 54; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited += QApplication::focusWidget();
    }
    QCOMPARE(visited.at(1)->objectName(), QStringLiteral("loud"));
    QCOMPARE(visited.at(2)->objectName(), QStringLiteral("ok"));
    QCOMPARE(visited.last(), visited.first());
    QSet<QWidget *> boxes;
    for (int i = 3; i < 54; ++i) {
        QVERIFY(qobject_cast<QCheckBox *>(visited.at(i)));
        boxes += visited.at(i);
        const QPoint before = visited.at(i - 1)->pos();
        const QPoint here = visited.at(i)->pos();
        QVERIFY2(here.y() > before.y() || (here.y() == before.y() && here.x() > before.x()),
                 qPrintable(visited.at(i)->objectName()));
    }
    QCOMPARE(boxes.size(), 51);
}

void TestForm2::invertColumn_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("column");

    QTest::addRow("velké inverts the capitals") << "Label20"
                                                << "vt";
    QTest::addRow("malé inverts the small forms") << "Label21"
                                                  << "mt";
}

void TestForm2::invertColumn()
{
    QFETCH(QString, label);
    QFETCH(QString, column);

    // A partly ticked column stays partly ticked.
    vyber().setCell(2, 1, QStringLiteral("n"));
    vyber().setCell(26, 1, QStringLiteral("n"));
    vyber().setCell(3, 2, QStringLiteral("n"));
    vyber().setCell(24, 2, QStringLiteral("n"));
    const QStringList flagsBefore = vyberCells(vyber());
    Window w;
    const QStringList before = w.ticks();

    w.click({label});
    const QStringList once = w.ticks();
    for (int i = 0; i < 51; ++i) {
        const bool inColumn = (i < 27) == (column == QLatin1String("mt"));
        QCOMPARE(once.at(i) == before.at(i), !inColumn);
    }
    QCOMPARE(vyberCells(vyber()), flagsBefore);

    w.click({label});
    QCOMPARE(w.ticks(), before);

    // Neither the flags nor the count move until "Použít".
    QTest::keyClick(&w.form, Qt::Key_Escape);
    QCOMPARE(vyberCells(vyber()), flagsBefore);
    QCOMPARE(w.zbpopis.text(), zbyva(47));
}

void TestForm2::apply_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("count");

    const QString mt0 = QStringLiteral("mt0");
    const QString mt4 = QStringLiteral("mt4");
    const QString vt23 = QStringLiteral("vt23");
    const QString velke = QStringLiteral("Label20");
    const QString male = QStringLiteral("Label21");
    QTest::addRow("as loaded") << QStringList() << 51;
    QTest::addRow("two boxes off") << QStringList{mt0, vt23} << 49;
    QTest::addRow("capitals inverted") << QStringList{velke} << 27;
    QTest::addRow("one left") << QStringList{velke, male, mt4} << 1;
}

void TestForm2::apply()
{
    QFETCH(QStringList, clicks);
    QFETCH(int, count);

    // A hand-edited list may have ticked a cell that belongs to no character.
    vyber().setCell(26, 2, QStringLiteral("x"));
    vyber().setCell(0, 0, QStringLiteral("s"));
    vyber().setCell(28, 1, QStringLiteral("s"));
    Window w;
    w.click(clicks);
    const QStringList ticks = w.ticks();

    w.click({QStringLiteral("ok")});
    QVERIFY(!w.form.isVisible());
    QCOMPARE(w.form.result(), int(QDialog::Accepted));
    QCOMPARE(boxFlags(), ticks);
    QCOMPARE(unusedFlags(), QStringList(3, QStringLiteral("n")));
    QCOMPARE(vyber().cell(0, 0), QStringLiteral("s"));
    QCOMPARE(vyber().cell(28, 1), QStringLiteral("s"));
    QCOMPARE(w.zbpopis.text(), zbyva(count));
}

void TestForm2::emptySelectionRefused()
{
    Window w;
    w.click({QStringLiteral("Label20"), QStringLiteral("Label21")});
    QCOMPARE(w.ticks(), QStringList(51, QStringLiteral("n")));

    Seen seen;
    ModalWatcher watcher(&w.form, pressOk(seen));
    w.click({QStringLiteral("ok")});
    QCOMPARE(watcher.opened(), 1);
    QCOMPARE(seen.className, QStringLiteral("QMessageBox"));
    QCOMPARE(seen.title, QStringLiteral("Kelmora"));
    QCOMPARE(seen.text, QStringLiteral("Ke zkoušení je pořeba vybrat alespoň 1 znak."));
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    // Still open, every flag written as unticked.
    QVERIFY(w.form.isVisible());
    QCOMPARE(boxFlags(), QStringList(51, QStringLiteral("n")));
    QCOMPARE(w.zbpopis.text(), QStringLiteral("před"));

    QTest::keyClick(&w.form, Qt::Key_Escape);
    QVERIFY(!w.form.isVisible());
    QCOMPARE(boxFlags(), QStringList(51, QStringLiteral("n")));
    QCOMPARE(w.zbpopis.text(), zbyva(0));
}

void TestForm2::closeWithoutApplying_data()
{
    QTest::addColumn<bool>("escape");

    QTest::addRow("Esc") << true;
    QTest::addRow("frame's close button") << false;
}

void TestForm2::closeWithoutApplying()
{
    QFETCH(bool, escape);

    vyber().setCell(4, 1, QStringLiteral("n"));
    const QStringList before = vyberCells(vyber());
    Window w;
    w.click({QStringLiteral("mt0"), QStringLiteral("vt5"), QStringLiteral("Label21")});

    if (escape)
        QTest::keyClick(&w.form, Qt::Key_Escape);
    else
        w.form.close();
    QVERIFY(!w.form.isVisible());
    QCOMPARE(w.form.result(), int(QDialog::Rejected));
    QCOMPARE(vyberCells(vyber()), before);
    QCOMPARE(w.zbpopis.text(), zbyva(50));
}

void TestForm2::saveThenLoad()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fileName = dir.filePath(QStringLiteral("vyber.grlist"));
    Window w;
    QList<QFileDialog::AcceptMode> modes;
    QStringList titles;
    w.form.setFileChooser([&](QFileDialog::AcceptMode mode, const QString &title) {
        modes += mode;
        titles += title;
        return fileName;
    });

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
    QCOMPARE(unusedFlags(), QStringList(3, QStringLiteral("n")));

    QCOMPARE(modes,
             (QList<QFileDialog::AcceptMode>{QFileDialog::AcceptSave, QFileDialog::AcceptOpen}));
    QCOMPARE(titles, (QStringList{QStringLiteral("Uložit výběr řeckých znaků"),
                                  QStringLiteral("Načíst výběr řeckých znaků")}));

    // The load counted the boxes.
    QTest::keyClick(&w.form, Qt::Key_Escape);
    QCOMPARE(w.zbpopis.text(), zbyva(48));
}

void TestForm2::cancelledSave()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fileName = dir.filePath(QStringLiteral("vyber.grlist"));
    Window w;
    QStringList answers{fileName, QString()};
    w.form.setFileChooser(
        [&](QFileDialog::AcceptMode, const QString &) { return answers.takeFirst(); });

    w.click({QStringLiteral("sejf")});
    const QByteArray first = fileBytes(fileName);
    QCOMPARE(first.size(), 432);

    // The second dialog is cancelled: the earlier file stays as it was, but the
    // boxes are applied all the same.
    w.click({QStringLiteral("mt0"), QStringLiteral("sejf")});
    QVERIFY(answers.isEmpty());
    QCOMPARE(fileBytes(fileName), first);
    QCOMPARE(vyber().cell(1, 1), QStringLiteral("n"));
}

void TestForm2::cancelledLoad()
{
    vyber().setCell(3, 2, QStringLiteral("n"));
    const QStringList before = vyberCells(vyber());
    Window w;
    w.form.setFileChooser([](QFileDialog::AcceptMode, const QString &) { return QString(); });
    Seen seen;
    ModalWatcher watcher(&w.form, pressOk(seen));
    w.click({QStringLiteral("mt0"), QStringLiteral("vt2")});

    w.click({QStringLiteral("loud")});
    QCOMPARE(watcher.opened(), 0);
    QCOMPARE(vyberCells(vyber()), before);
    // The boxes are refreshed from the flags all the same.
    QVERIFY(w.box(QStringLiteral("mt0"))->isChecked());
    QVERIFY(!w.box(QStringLiteral("vt2"))->isChecked());
}

void TestForm2::failedLoad_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("firstLineKept");

    const QByteArray line("m-01-n\r\n");
    QTest::addRow("row out of range") << line + "m-31-z\r\nm-02-n\r\n" << true << "Řádek 2" << true;
    QTest::addRow("over 64 KiB") << line.repeated(8193) << true << "64 KiB" << false;
    QTest::addRow("NUL byte") << line + QByteArray(1, '\0') << true << "nulový bajt" << false;
    QTest::addRow("no such file") << QByteArray() << false << "nelze otevřít" << false;
}

void TestForm2::failedLoad()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, exists);
    QFETCH(QString, reason);
    QFETCH(bool, firstLineKept);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fileName = dir.filePath(QStringLiteral("vyber.grlist"));
    if (exists)
        QVERIFY(writeFile(fileName, bytes));
    Window w;
    w.form.setFileChooser([&](QFileDialog::AcceptMode, const QString &) { return fileName; });
    w.click({QStringLiteral("mt5")});

    Seen seen;
    ModalWatcher watcher(&w.form, pressOk(seen));
    w.click({QStringLiteral("loud")});
    QCOMPARE(watcher.opened(), 1);
    QCOMPARE(seen.className, QStringLiteral("QMessageBox"));
    QCOMPARE(seen.title, QStringLiteral("Kelmora"));
    QVERIFY2(seen.text.contains(QDir::toNativeSeparators(fileName)), qPrintable(seen.text));
    QVERIFY2(seen.text.contains(reason), qPrintable(seen.text));

    // Lines before the bad one stay applied, later ones are not; the boxes show the flags.
    QCOMPARE(vyber().cell(1, 1), firstLineKept ? QStringLiteral("n") : QString());
    QCOMPARE(w.box(QStringLiteral("mt0"))->isChecked(), !firstLineKept);
    QVERIFY(w.box(QStringLiteral("mt1"))->isChecked());
    QVERIFY(w.box(QStringLiteral("mt5"))->isChecked());
    QTest::keyClick(&w.form, Qt::Key_Escape);
    QCOMPARE(w.zbpopis.text(), zbyva(firstLineKept ? 50 : 51));
}

void TestForm2::failedSave()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString notAFolder = dir.filePath(QStringLiteral("soubor"));
    QVERIFY(writeFile(notAFolder, "x"));
    const QString fileName = notAFolder + QStringLiteral("/vyber.grlist");
    Window w;
    w.form.setFileChooser([&](QFileDialog::AcceptMode, const QString &) { return fileName; });
    w.click({QStringLiteral("mt0")});

    Seen seen;
    ModalWatcher watcher(&w.form, pressOk(seen));
    w.click({QStringLiteral("sejf")});
    QCOMPARE(watcher.opened(), 1);
    QCOMPARE(seen.className, QStringLiteral("QMessageBox"));
    QCOMPARE(seen.title, QStringLiteral("Kelmora"));
    QVERIFY2(seen.text.contains(QDir::toNativeSeparators(fileName)), qPrintable(seen.text));
    QVERIFY2(seen.text.contains(QStringLiteral("nelze vytvořit")), qPrintable(seen.text));
    QCOMPARE(vyber().cell(1, 1), QStringLiteral("n"));
    QCOMPARE(fileBytes(notAFolder), QByteArray("x"));
}

void TestForm2::fileDialog_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QFileDialog::AcceptMode>("mode");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("choose");

    const QString save = QStringLiteral("Uložit výběr řeckých znaků");
    const QString load = QStringLiteral("Načíst výběr řeckých znaků");
    QTest::addRow("Uložit, cancelled") << "sejf" << QFileDialog::AcceptSave << save << false;
    QTest::addRow("Uložit, file chosen") << "sejf" << QFileDialog::AcceptSave << save << true;
    QTest::addRow("Načíst, cancelled") << "loud" << QFileDialog::AcceptOpen << load << false;
    QTest::addRow("Načíst, file chosen") << "loud" << QFileDialog::AcceptOpen << load << true;
}

void TestForm2::fileDialog()
{
    QFETCH(QString, button);
    QFETCH(QFileDialog::AcceptMode, mode);
    QFETCH(QString, title);
    QFETCH(bool, choose);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fileName = dir.filePath(QStringLiteral("vyber.grlist"));
    const bool saving = mode == QFileDialog::AcceptSave;
    if (!saving)
        QVERIFY(writeFile(fileName, "m-01-n\r\n"));
    Window w;

    Seen seen;
    ModalWatcher watcher(&w.form, answerDialog(seen, choose ? fileName : QString()));
    w.click({button});
    QCOMPARE(watcher.opened(), 1);
    QCOMPARE(seen.className, QStringLiteral("QFileDialog"));
    QCOMPARE(seen.objectName, QStringLiteral("dialog"));
    QCOMPARE(seen.title, title);
    QCOMPARE(seen.nameFilters, {QStringLiteral("Seznam řeckých znaku (*.grlist)")});
    QCOMPARE(seen.acceptMode, mode);
    QCOMPARE(seen.fileMode, saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QVERIFY(seen.nonNative);

    if (saving)
        QCOMPARE(QFile::exists(fileName), choose);
    else
        QCOMPARE(vyber().cell(1, 1), choose ? QStringLiteral("n") : QString());
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
