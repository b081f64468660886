#include "app/horsebook.h"

#include "app/helpwindow.h"
#include "app/historychartwidget.h"
#include "game/gamestate.h"
#include "game/history.h"
#include "game/racerecord.h"
#include "platform/paths.h"
#include "platform/stylus.h"
#include "race/rules/raceweight.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

const char dialogName[] = "horseBook";

// A change as the book shows it: its sign always ("+3.0", "-0.4"); a loss too small to show is
// no change, "+0.0" rather than "-0.0".
QString change(double delta, int decimals)
{
    QString text = QString::asprintf("%+.*f", decimals, std::isnan(delta) ? 0.0 : delta);
    if (text.toDouble() == 0.0)
        text[0] = QLatin1Char('+');
    return text;
}

class Grid
{
public:
    Grid(QGridLayout *grid, int keySide) : m_grid(grid), m_keySide(keySide) {}
    // A row: a colour key (when given), then texts, the first left and the rest right.
    void row(const QColor &key, const QStringList &texts)
    {
        if (key.isValid()) {
            auto *swatch = new QLabel;
            swatch->setFixedSize(m_keySide, m_keySide);
            swatch->setStyleSheet(QStringLiteral("background: %1").arg(key.name()));
            m_grid->addWidget(swatch, m_row, 0);
        }
        for (int i = 0; i < texts.size(); ++i) {
            auto *label = new QLabel(texts[i]);
            label->setObjectName(QStringLiteral("book_%1_%2").arg(m_row).arg(i));
            label->setAlignment(i == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
            m_grid->addWidget(label, m_row, i + 1);
        }
        ++m_row;
    }

private:
    QGridLayout *m_grid;
    int m_keySide;
    int m_row = 0;
};

void fill(QGridLayout *layout, int keySide, const GameState &state, const QList<HistoryLine> &history,
          const RaceRecord &record)
{
    Grid grid(layout, keySide);
    const Attributes now = state.horse.attributes;
    const char *const names[] = {"Age", "Muscle", "Fat", "Power", "Spirit"};
    const float nowValues[] = {now.age, now.muscle, now.fat, now.power, now.spirit};
    const Attributes &start = state.shell.sessionStart;
    const float startValues[] = {start.age, start.muscle, start.fat, start.power, start.spirit};
    for (int i = 0; i < 5; ++i)
        grid.row(historyLineColour(i + 1), {QLatin1String(names[i]), QString::number(nowValues[i], 'f', 1),
                                            change(double(nowValues[i]) - double(startValues[i]), 1)});
    const int weight = raceWeight(now);
    int best = weight;
    for (const HistoryLine &line : history)
        best = std::max(best, line.raceWeight);
    grid.row(historyLineColour(0), {QStringLiteral("Race weight"), QString::number(weight),
                                    change(double(weight) - double(raceWeight(start)), 0)});
    grid.row({}, {QStringLiteral("Highest so far"), QString::number(best)});
    const std::pair<const char *, RaceTally> races[] = {{"Computer races", record.computer},
                                                        {"Network races", record.network}};
    for (const auto &[label, tally] : races)
        grid.row({}, {QLatin1String(label), QStringLiteral("%1 won").arg(tally.wins),
                      QStringLiteral("%1 lost").arg(tally.losses)});
    layout->setColumnStretch(1, 1);
}

}

void addHorseBookEntry(QWidget *mainWidget, const GameState &state)
{
    auto *action = new QAction(QStringLiteral("Race record"), mainWidget);
    action->setObjectName(QStringLiteral("horseBookAction"));
    // Among the window's own entries (see buildWindowActions); R opens it where there is no
    // right-click, as on a device screen.
    action->setShortcut(QKeySequence(Qt::Key_R));
    action->setShortcutContext(Qt::WindowShortcut);
    mainWidget->addAction(action);
    action->setProperty("windowMenu", true);
    QObject::connect(action, &QAction::triggered, mainWidget,
                     [mainWidget, &state] { showHorseBook(mainWidget, state); });
}

namespace {

// The window and what stays in it from one opening to the next: its paper page, the name and the
// Close button. Made anew at each opening, the page's palette was a new one each time, and the
// style's cache of drawn buttons, keyed by palette, kept one more Close button at every opening:
// the game grew by some kilobytes a look at the book (see the soak in docs/reliability.md).
QDialog *makeBook(QWidget *mainWidget)
{
    auto *dialog = new QDialog(mainWidget);
    dialog->setObjectName(QLatin1String(dialogName));
    dialog->setWindowTitle(QStringLiteral("Race record"));
    // A page of its own in the help's paper colours, not the field the game's palette carries.
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("bookPage"));
    QPalette paper = page->palette();
    paper.setColor(QPalette::Window, QColor(0xf3, 0xea, 0xd8));
    paper.setColor(QPalette::WindowText, QColor(0x2b, 0x1d, 0x0e));
    page->setPalette(paper);
    page->setAutoFillBackground(true);
    // The page scrolls where it is taller than the window, by a finger's drag too.
    auto *scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    // Close keeps the keyboard, as it had it before the page scrolled.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(page);
    Stylus::attach(mainWidget)->dragScrolls(scroll);
    auto *whole = new QVBoxLayout(dialog);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->addWidget(scroll);
    auto *layout = new QVBoxLayout(page);
    auto *name = new QLabel;
    name->setObjectName(QStringLiteral("bookName"));
    // The name shares its row with the way out: a row less to fit on the device's screen.
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto *top = new QHBoxLayout;
    top->addWidget(name, 1);
    top->addWidget(buttons);
    layout->addLayout(top);
    return dialog;
}

}

QDialog *showHorseBook(QWidget *mainWidget, const GameState &state)
{
    // One window, filled afresh at each opening with the horse as it is now.
    auto *dialog = mainWidget->findChild<QDialog *>(QLatin1String(dialogName), Qt::FindDirectChildrenOnly);
    if (!dialog)
        dialog = makeBook(mainWidget);
    // The game's zoomed font, as the window's own menus have it.
    dialog->setFont(mainWidget->font());
    auto *page = dialog->findChild<QWidget *>(QStringLiteral("bookPage"));
    auto *layout = static_cast<QVBoxLayout *>(page->layout());
    // The last opening's figures and chart go; the row of the name and the button stays.
    while (QLayoutItem *item = layout->takeAt(1)) {
        if (QLayout *grid = item->layout()) {
            while (QLayoutItem *cell = grid->takeAt(0)) {
                delete cell->widget();
                delete cell;
            }
        }
        delete item->widget();
        delete item;
    }
    // Tight, so that all of it fits the device's screen; spacing grows with the zoomed font.
    const int gap = dialog->fontMetrics().height() / 5;
    layout->setContentsMargins(gap * 2, gap, gap * 2, gap);
    layout->setSpacing(gap);
    page->findChild<QLabel *>(QStringLiteral("bookName"))
        ->setText(QStringLiteral("<b>%1</b>").arg(QString::fromLatin1(state.horse.name).trimmed().toHtmlEscaped()));
    const QList<HistoryLine> history = loadHistory(Paths::historyFile());
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(gap * 3);
    grid->setVerticalSpacing(0);
    fill(grid, dialog->fontMetrics().ascent() * 2 / 3, state, history,
         loadRaceRecord(Paths::raceRecordFile(), QByteArray(state.horse.name)));
    layout->addLayout(grid);
    layout->addWidget(new HistoryChartWidget(history), 1);
    // The device's screen at the game's zoom, as the help has it; the chart takes what the text leaves.
    const qreal scale = qMax(qreal(1), mainWidget->property("screenScale").toReal());
    // The Close button's icon grows with the zoom as its text does, square, from the icon's larger sizes.
    auto *close = dialog->findChild<QPushButton *>();
    const int side = qRound(close->style()->pixelMetric(QStyle::PM_ButtonIconSize, nullptr, close) * scale);
    close->setIconSize(QSize(side, side));
    placeOverGame(dialog, mainWidget, scale);
    dialog->show();
    return dialog;
}
