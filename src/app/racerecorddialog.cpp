#include "app/racerecorddialog.h"

#include "game/gamestate.h"
#include "game/racerecord.h"
#include "platform/paths.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeySequence>
#include <QLabel>
#include <QVBoxLayout>

namespace {

const char dialogName[] = "raceRecordDialog";

void fill(QGridLayout *grid, const RaceRecord &record)
{
    auto cell = [grid](int row, int column, const QString &text) {
        auto *label = new QLabel(text);
        label->setAlignment(column == 0 ? Qt::AlignLeft : Qt::AlignRight);
        grid->addWidget(label, row, column);
    };
    auto *name = new QLabel(QStringLiteral("<b>%1</b>").arg(QString::fromLatin1(record.horse).trimmed().toHtmlEscaped()));
    grid->addWidget(name, 0, 0, 1, 3);
    cell(1, 1, QStringLiteral("Wins"));
    cell(1, 2, QStringLiteral("Losses"));
    const std::pair<const char *, RaceTally> rows[] = {{"Against the computer", record.computer},
                                                       {"Over the network", record.network}};
    int row = 2;
    for (const auto &[label, tally] : rows) {
        cell(row, 0, QString::fromLatin1(label));
        cell(row, 1, QString::number(tally.wins));
        cell(row, 2, QString::number(tally.losses));
        ++row;
    }
    grid->setHorizontalSpacing(12);
}

}

void addRaceRecordEntry(QWidget *mainWidget)
{
    auto *action = new QAction(QStringLiteral("Race record"), mainWidget);
    action->setObjectName(QStringLiteral("raceRecordAction"));
    // Among the window's own entries (see buildWindowActions); R opens it where there is no
    // right-click, as on a device screen.
    action->setShortcut(QKeySequence(Qt::Key_R));
    action->setShortcutContext(Qt::WindowShortcut);
    mainWidget->addAction(action);
    action->setProperty("windowMenu", true);
    QObject::connect(action, &QAction::triggered, mainWidget, [mainWidget] { showRaceRecord(mainWidget); });
}

QDialog *showRaceRecord(QWidget *mainWidget)
{
    // One window at a time, showing the record as it is now.
    delete mainWidget->findChild<QDialog *>(QLatin1String(dialogName), Qt::FindDirectChildrenOnly);
    auto *dialog = new QDialog(mainWidget);
    dialog->setObjectName(QLatin1String(dialogName));
    dialog->setWindowTitle(QStringLiteral("Race record"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The game's zoomed font, as the window's own menus have it.
    dialog->setAttribute(Qt::WA_WindowPropagation);
    auto *layout = new QVBoxLayout(dialog);
    auto *grid = new QGridLayout;
    fill(grid, loadRaceRecord(Paths::raceRecordFile(), QByteArray(gs.horseName)));
    layout->addLayout(grid);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog->show();
    return dialog;
}
