#pragma once
// The keyboard a stylus types with: a grid of keys laid over the window next to the field it
// types into, clear of the field's buttons. A key sends the field the key press a keyboard would.
#include "platform/rules/keyboardlayout.h"

#include <QPointer>
#include <QWidget>

class QLineEdit;

class ScreenKeyboard : public QWidget
{
    Q_OBJECT
public:
    explicit ScreenKeyboard(QWidget *window);

    // Shows it for `field` at the window's zoom; it closes itself when the field goes.
    void open(QLineEdit *field);
    QLineEdit *field() const { return m_field; }
    // A gamepad's way: the chosen key, framed, walks by an arrow (Qt::Key_Up ... Key_Right; first
    // shown on the first key by any other) and is pressed as a tap would press it.
    void walk(int arrowKey);
    void pressChosen();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void press(QPoint at);
    void release(QPoint at);
    void use(const KeyboardLayout::Key &key);
    QSizeF zoom() const;

    QPointer<QLineEdit> m_field;
    const KeyboardLayout::Key *m_down = nullptr;
    const KeyboardLayout::Key *m_chosen = nullptr;
    bool m_lower = false;
};
