#pragma once
// What a text field takes as the player types: only characters its rule keeps, so that a letter
// the game could not keep is refused at once rather than lost later without a word.
#include <QValidator>

class EntryValidator : public QValidator
{
public:
    using Keeps = bool (*)(char32_t);
    EntryValidator(Keeps keeps, QObject *parent);
    // A letter typed as base and accent becomes the one character it is, as the rules see it.
    State validate(QString &input, int &pos) const override;

private:
    Keeps m_keeps;
};
