#pragma once
// The pictures of the game and their files: the one place that knows which file a picture comes
// from. The 42 pictures by name; one file may serve several pictures (each activity has its own
// picture per animation step). Each screen's pictures are decoded when the screen is first drawn,
// so that start-up decodes only the field behind the first screen.
#include <QImage>
#include <array>
#include <vector>

class QPixmap;

// In load order; a numbered run (Eat1 ... Eat6) is consecutive, so nth() counts along it.
// clang-format off
enum class Picture : int {
    Title, Block, Judge1, Judge2, Judge3, Judge4, Judge5, Sign1, Sign2, Sign3, Sign4, Jump5,
    Idle1, Idle2, Eat1, Eat2, Eat3, Eat4, Eat5, Eat6, Sleep1, Sleep2, Sleep3, Sleep4,
    Run1, Run2, Run3, Jump1, Jump2, Jump3, Jump4,
    Face1, Face2, Face3, Face4, Face5, Face6, Face7, Race1, Race2, Race3, Race4,
};
// clang-format on
inline constexpr int pictureCount = int(Picture::Race4) + 1;
struct Pictures
{
    std::array<QImage, pictureCount> images;
    QImage &operator[](Picture which) { return images[std::size_t(which)]; }
    const QImage &operator[](Picture which) const { return images[std::size_t(which)]; }
};

// Picture n (from 1) of the run that starts at `first`.
constexpr Picture nth(Picture first, int n) { return Picture(int(first) + n - 1); }

// Decodes those of `wanted` that are still empty (a screen's pictures, as its row in the screen
// table lists them). One that cannot be loaded stays empty and draws nothing; its file is logged once.
void loadPictures(Pictures &pictures, const std::vector<Picture> &wanted);

// The background of a kind as setupBackgd() knows them (1 the field, 2 the status page, 4 the
// course); a kind without a picture, or a picture that cannot be loaded (logged once), gives an empty pixmap.
QPixmap loadBackground(int kind);
