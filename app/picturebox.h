// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>

namespace kelmora {

// A clickable picture that remembers one whole number (the row it shows). It clicks as a
// button does: on the release of a press that began on it, by the mouse or by Space when
// focused; Enter clicks it at once.
class PictureBox : public QLabel
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    int stored() const { return m_stored; }
    void setStored(int value) { m_stored = value; }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    int m_stored = 0;
    bool m_down = false; // pressed on it, by the left button or Space
};

} // namespace kelmora
