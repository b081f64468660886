#pragma once
// The horse as the game knows it: five attributes, and a name of 15 characters that goes with
// them in the save. Pure value types.

// Single-precision floats without units; only the care activities change them.
struct Attributes
{
    float age, muscle, fat, power, spirit;
};

struct Horse
{
    char name[16]; // 15 characters padded with blanks, then a NUL
    Attributes attributes;
};

// The horse of a game that has read no save yet.
inline constexpr Horse firstHorse = {"MY HORSE       ", {1.0f, 150.0f, 50.0f, 100.0f, 100.0f}};
