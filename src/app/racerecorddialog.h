#pragma once
// The "Race record" entry of the window's own menu and the small window it opens.
class QDialog;
class QWidget;

// Puts the entry, key R, among the main widget's window-menu actions.
void addRaceRecordEntry(QWidget *mainWidget);
// Opens (or brings forward) the window with the own horse's wins and losses, read afresh.
QDialog *showRaceRecord(QWidget *mainWidget);
