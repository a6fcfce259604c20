// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QFileDialog>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;

namespace kelmora {

struct GrlistResult;

// The selection window "Nastavení": a box per character, ticked from vyber() on load and
// written back on "Použít"; on closing it reports the count into the main window's label.
class Form2 : public QDialog
{
    Q_OBJECT

public:
    // Asks for a file to save or load; an empty name means the user cancelled.
    using FileChooser = std::function<QString(QFileDialog::AcceptMode mode, const QString &title)>;

    // zbpopis must outlive the window.
    explicit Form2(QLabel *zbpopis, QWidget *parent = nullptr);

    // Replaces Qt's file dialog, so tests can pick the file.
    void setFileChooser(FileChooser chooser);

    // Every way of closing ends here.
    void done(int result) override;

    // What "Načíst" does with the file chosen, also for a list named at start: reads it into
    // vyber(), calls `loaded` when flags changed (all of them, or the lines before a bad one)
    // and tells a failure over `window`.
    static void loadList(const QString &fileName, QWidget *window,
                         const std::function<void()> &loaded);

private:
    void Form_Load();
    void Form_Unload();
    void Form_Terminate();
    void zaskrtej();
    void Label2_Click(int Index);
    void ok_Click();
    void sejf_Click();
    void loud_Click();

    int applyBoxes();
    QString chooseWithDialog(QFileDialog::AcceptMode mode, const QString &title);
    static void showFailure(QWidget *window, const GrlistResult &result, const QString &fileName,
                            bool saving);

    QLabel *m_zbpopis;
    FileChooser m_chooseFile;
    std::array<QCheckBox *, 27> mt{};
    std::array<QCheckBox *, 24> vt{};
    int pocetznaku = 0;
};

} // namespace kelmora
