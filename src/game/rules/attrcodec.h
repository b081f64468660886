#pragma once
// The attribute file's text, both ways. Six lines: the 15-character name with "|" for every
// blank, then age, muscle, fat, power and spirit, each printed with "%f".
// Pure: no file, no widget.
#include "game/rules/horse.h"

#include <QByteArray>

struct AttrFileContent
{
    // The first word, at most 19 characters: the template is recognised by a "%" in position 16.
    QByteArray probe;
    // The file is the installed template: a horse still waiting for its name.
    bool isNew = false;
    // For an old file, the horse read over the one given; fields that could not be read keep
    // their previous value.
    Horse horse;
    // How many of the five attributes were read.
    int attributesRead = 0;
};

AttrFileContent parseAttrFile(const QByteArray &content, const Horse &current);
QByteArray formatAttrFile(const Horse &horse);
