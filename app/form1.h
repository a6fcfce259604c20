// SPDX-License-Identifier: MIT
#pragma once

#include "catalogue.h"
#include "grading.h"
#include "names.h"
#include "picturecache.h"
#include "random.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kelmora {

class PictureBox;

// The main window "Zkoušení řeckých znaků": both drill directions, the score panel
// and the help pages. The rules live in the catalogue and quiz libraries; the
// handlers here only move controls.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    // Without a random source the window seeds its own from the clock; without a
    // folder it reads the pictures from znaky/ beside the executable.
    explicit Form1(std::unique_ptr<RandomSource> random = nullptr,
                   const QString &pictureFolder = {}, QWidget *parent = nullptr);
    ~Form1() override;

    // A list named on the command line, loaded as the selection window's "Načíst" loads it.
    void loadList(const QString &fileName);

    // What a run looks like from outside, for the benchmarks.
    const Tabznaku &table() const { return tabznaku; }
    int shownRow() const { return n; }
    int rightSlot() const { return spravna; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createControls();
    void createBoard();
    void createHelpPages();
    void Form_Load();
    void prepni1();
    void prepni2();
    void Option1_Click();
    void Option2_Click(int Index);
    void nulujznaky();

    void setup_Click();
    void start_Click();
    void endRun();
    void test2();
    void obrazek_Click(int Index);
    void kliknuto(int kindex, int spravne, bool poprve);
    void zadano_KeyPress(int KeyAscii);
    void zadano_Change();
    void enter_Click();
    void vyhodnoceni();
    void pokracovat_Click();
    void stopka_Click();
    void help_Click();
    void hlppic1_Click();
    void closeHelp();
    bool helpShown() const;
    void setCoveredEnabled(bool enabled);

    void showVerdict(bool right);
    void showPicture(QLabel *box, int row);
    void tellMissingPictures(const QString &path);
    void clearBoard();
    void focusBoard(int slot);
    void moveOnBoard(int slot, int dx, int dy);
    void setDirectionEnabled(bool enabled);
    void setLetteringEnabled(bool enabled);
    void setOuterHeightTwips(int twips);
    void applyOuterHeight();
    int frameHeight() const;
    int outerHeightTwips() const;
    int topTwips() const;
    void setTopTwips(int twips);
    void keepOnScreen(int heightTwips);

    // Controls, by the names tests and tools find them by.
    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    std::array<QRadioButton *, 4> Option1{}; // elements 0 and 3
    std::array<QRadioButton *, 2> Option2{};
    QPushButton *setup = nullptr;
    QPushButton *start = nullptr;
    QLabel *zbpopis = nullptr;
    QLabel *obrazek1 = nullptr;
    QLabel *vema = nullptr;
    QLabel *message = nullptr;
    QLineEdit *zadano = nullptr;
    PictureBox *enter = nullptr;
    QLabel *truefalse = nullptr;
    QPushButton *pokracovat = nullptr;
    QLabel *Label1 = nullptr;
    std::array<QLabel *, 6> popis{}; // elements 1..5
    QLabel *Label2 = nullptr;
    QLabel *cormis = nullptr;
    QPushButton *help = nullptr;
    QPushButton *stopka = nullptr;
    QWidget *board = nullptr; // the panel of obrazek0..20
    std::array<PictureBox *, 21> obrazek{};
    PictureBox *hlppic1 = nullptr;
    PictureBox *hlppic2 = nullptr;

    // Catalogue and run.
    Tabznaku tabznaku;
    std::array<QString, 28> koncovky;
    Nazvy nazvy;
    std::array<qint16, kTableRows> pozice{};
    QString koncovka;
    qint16 spravna = 0;
    quint8 n = 0;
    Tally tally; // zbyva and znamka1..znamka5
    quint8 pocetznaku = 0;
    bool enterflag = false;
    quint8 hledany = 0;
    qint16 correct = 0;
    qint16 mistake = 0;
    int predhelp = 0;
    int predhelpT = 0;
    QPointer<QWidget> m_focusBeforeHelp;
    std::vector<QPointer<QWidget>> m_covered; // what help disabled, to enable again

    int m_outerHeightTwips = 0;
    int m_appliedFrame = 0; // frame height the client height was last fitted to
    std::unique_ptr<RandomSource> m_random;
    QString m_pictureFolder;
    PictureCache m_pictures;
    bool m_toldMissingPictures = false;
};

} // namespace kelmora
