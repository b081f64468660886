// Every picture the game loads, by file name, and the scenes the contact sheet composes from them.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

namespace picgen {

// Horses: 80 x 60, facing right. Drawn at (80, 200) the grounded frames put their hooves on y 258.
constexpr int kHorseW = 80;
constexpr int kHorseH = 60;
constexpr double kHorseGround = 58.4; // hoof soles, in picture rows
constexpr int kFaceSize = 38;
constexpr int kJudgeW = 36;
constexpr int kJudgeH = 60;

enum class Cloth { Red, Blue };

QImage horseStanding(Cloth cloth, bool swish);
QImage horseEating(Cloth cloth, int frame);
QImage horseSettingOff(Cloth cloth);
QImage horseLying(Cloth cloth, bool asleep);
QImage horseFallen(Cloth cloth);
QImage horseJumping(Cloth cloth);
QImage horseGallop(Cloth cloth, int frame);
// A horse head in profile for the title emblem, drawn into an existing painter at the given origin and scale.
void horseHeadEmblem(QPainter &p, QPointF poll, double scale);

enum class Mood { Happy, Effort, Calm, Asleep, Hurt, Overfed, Exhausted };
// The portrait, 38 pixels square unless drawn at another size (the menu icons).
QImage face(Mood mood, int size = kFaceSize);

enum class JudgePose { StartDown, StartUp, FinishRed, FinishBlue, FinishWaiting };
QImage judge(JudgePose pose);

QImage field();          // backgd1, 796 x 320, wraps
QImage statusBack();     // backgd2, 240 x 320
QImage raceCourse();     // backgd3, 494 x 320, wraps
QImage titleEmblem();    // Trotix.png
QImage hayBlock();       // block.png
QImage spectatorStand(); // txsign1
QImage blimp();          // txsign2
QImage advertBoard();    // txsign3
QImage finishBoard();    // txsign4

constexpr int kFieldPeriod = 796;
constexpr int kCoursePeriod = 494;

// The pictures in the order the game numbers them, each with its painter.
using Painter = std::function<QImage()>;
const std::vector<std::pair<QString, Painter>> &catalogue();

// The contact sheet and the idle-screen composition used in the docs.
QImage contactSheet(const std::vector<std::pair<QString, QImage>> &pictures);
QImage idleScene(const std::vector<std::pair<QString, QImage>> &pictures);

} // namespace picgen
