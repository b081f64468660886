#include "platform/screenkeyboard.h"

#include "platform/rules/fingertarget.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTouchEvent>

namespace {

// The help window's colours: parchment keys with a brown rim, pressed ones darker.
const QColor rimColour(0x8a, 0x6a, 0x3a);
const QColor keyColour(0xf3, 0xea, 0xd8);
const QColor downColour(0xd9, 0xb7, 0x7a);
const QColor textColour(0x2b, 0x1d, 0x0e);

}

ScreenKeyboard::ScreenKeyboard(QWidget *window) : QWidget(window)
{
    setObjectName(QStringLiteral("screenKeyboard"));
    // The field keeps the focus: a tap on a key must not take it away.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A finger types as the stylus does, from its own touch.
    setAttribute(Qt::WA_AcceptTouchEvents);
    hide();
}

void ScreenKeyboard::open(QLineEdit *field)
{
    QWidget *window = parentWidget();
    if (m_field && m_field != field)
        m_field->removeEventFilter(this);
    m_field = field;
    field->installEventFilter(this);
    // The game's picture inside the window: zoomed, and centred where the window has another shape.
    const qreal scale = qMax(qreal(1), window->property("screenScale").toReal());
    const QRect picture = window->property("screenPicture").toRect();
    QRect area = (picture.isValid() ? picture : window->rect()).intersected(window->rect());
    // On a phone the keys take the window's whole width, as large as a finger wants them.
    const QScreen *screen = window->screen();
    const bool phone = screen && FingerTarget::isPhoneSized(screen->size());
    if (phone) {
        area.setLeft(0);
        area.setRight(window->width() - 1);
    }
    QList<QRect> keep;
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>(Qt::FindDirectChildrenOnly)) {
        if (button->isVisible())
            keep.append(button->geometry());
    }
    const QRect fieldRect(field->mapTo(window, QPoint(0, 0)), field->size());
    const QSizeF zoom = FingerTarget::keyboardZoom(scale, area.width(), phone);
    setGeometry(KeyboardLayout::place(KeyboardLayout::size(zoom), area, fieldRect, keep));
    m_down = nullptr;
    m_chosen = nullptr;
    show();
    raise();
    update();
}

QSizeF ScreenKeyboard::zoom() const
{
    // From its own size, which a zoom changed while it is open moves and sizes with the picture.
    // Taller than the width makes it only on a phone; elsewhere the width's zoom, as the picture's.
    const QSize one = KeyboardLayout::size({1, 1});
    const qreal across = qMax(qreal(1), qreal(width()) / one.width());
    const bool taller = height() > KeyboardLayout::size({across, across}).height();
    return QSizeF(across, taller ? qreal(height()) / one.height() : across);
}

void ScreenKeyboard::paintEvent(QPaintEvent *)
{
    const QSizeF zoom = this->zoom();
    // The gaps and the type as the picture's, the smaller way on a phone's wider keys.
    const qreal type = qMin(zoom.width(), zoom.height());
    QPainter painter(this);
    painter.fillRect(rect(), rimColour);
    QFont font(QStringLiteral("helvetica"));
    font.setBold(true);
    for (const KeyboardLayout::Key &key : KeyboardLayout::keys()) {
        const int gap = qRound(type);
        const QRect cell = KeyboardLayout::keyRect(key, zoom).adjusted(gap, gap, 0, 0);
        painter.fillRect(cell, &key == m_down ? downColour : keyColour);
        // Words (DEL, ENTER) smaller than the single characters.
        font.setPixelSize(qRound((key.label.size() > 1 ? 9 : 12) * type));
        painter.setFont(font);
        painter.setPen(textColour);
        const QString label =
            key.action == KeyboardLayout::Action::Type ? KeyboardLayout::typed(key, m_lower) : key.label;
        painter.drawText(cell, Qt::AlignCenter, label.trimmed());
        if (&key == m_chosen) {
            painter.setPen(QPen(textColour, 2 * gap));
            painter.drawRect(cell.adjusted(gap, gap, -gap, -gap));
        }
    }
}

void ScreenKeyboard::walk(int arrowKey)
{
    m_chosen = m_chosen ? &KeyboardLayout::step(*m_chosen, arrowKey) : &KeyboardLayout::keys().first();
    update();
}

void ScreenKeyboard::pressChosen()
{
    if (m_chosen)
        use(*m_chosen);
}

bool ScreenKeyboard::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchEnd: {
        const QPoint at = static_cast<QTouchEvent *>(event)->point(0).position().toPoint();
        event->type() == QEvent::TouchBegin ? press(at) : release(at);
        event->accept();
        return true;
    }
    case QEvent::TouchUpdate: event->accept(); return true;
    case QEvent::TouchCancel:
        m_down = nullptr;
        update();
        return true;
    default: return QWidget::event(event);
    }
}

void ScreenKeyboard::mousePressEvent(QMouseEvent *event) { press(event->position().toPoint()); }

void ScreenKeyboard::mouseReleaseEvent(QMouseEvent *event) { release(event->position().toPoint()); }

void ScreenKeyboard::press(QPoint at)
{
    m_down = KeyboardLayout::keyAt(at, zoom());
    update();
}

void ScreenKeyboard::release(QPoint at)
{
    // A key counts where the stylus or finger is lifted from the key it went down on.
    const KeyboardLayout::Key *up = KeyboardLayout::keyAt(at, zoom());
    const KeyboardLayout::Key *down = m_down;
    m_down = nullptr;
    update();
    if (up && up == down)
        use(*up);
}

void ScreenKeyboard::use(const KeyboardLayout::Key &key)
{
    switch (key.action) {
    case KeyboardLayout::Action::Shift:
        m_lower = !m_lower;
        update();
        return;
    case KeyboardLayout::Action::Close: hide(); return;
    default: break;
    }
    if (!m_field)
        return;
    // What a physical keyboard's key would send: the field takes it as typed, and Return does
    // what the screen's OK or CONFIRM does.
    const QString text = key.action == KeyboardLayout::Action::Type    ? KeyboardLayout::typed(key, m_lower)
                         : key.action == KeyboardLayout::Action::Enter ? QStringLiteral("\r")
                                                                       : QString();
    QPointer<QLineEdit> field = m_field;
    QKeyEvent press(QEvent::KeyPress, key.qtKey, Qt::NoModifier, text);
    QCoreApplication::sendEvent(field, &press);
    if (field) {
        QKeyEvent release(QEvent::KeyRelease, key.qtKey, Qt::NoModifier, text);
        QCoreApplication::sendEvent(field, &release);
    }
}

bool ScreenKeyboard::eventFilter(QObject *watched, QEvent *event)
{
    // The field's screen is over (named, cancelled): the keyboard goes with it.
    if (event->type() == QEvent::Hide && watched == m_field)
        hide();
    return QWidget::eventFilter(watched, event);
}
