#pragma once
// The horse as the save holds it: a name of 15 characters and the five attributes. Pure.

struct Horse
{
    char name[16];
    float age, muscle, fat, power, spirit;
};
