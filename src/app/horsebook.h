#pragma once
// The horse's book: the "Race record" entry of the window's own menu (key R) and the small window
// it opens: the horse's exact attributes and race weight with their changes since this session
// started, its race record, and a chart of its life from the history beside the save.
class QDialog;
class QWidget;
struct GameState;

// Puts the entry, key R, among the main widget's window-menu actions; the book shows `state`.
void addHorseBookEntry(QWidget *mainWidget, const GameState &state);
// Opens the book (one at a time), read afresh from the game's state and the files beside the save.
QDialog *showHorseBook(QWidget *mainWidget, const GameState &state);
