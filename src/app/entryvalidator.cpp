#include "app/entryvalidator.h"

#include <algorithm>

EntryValidator::EntryValidator(Keeps keeps, QObject *parent) : QValidator(parent), m_keeps(keeps) {}

QValidator::State EntryValidator::validate(QString &input, int &pos) const
{
    const QString composed = input.normalized(QString::NormalizationForm_C);
    const QList<uint> characters = composed.toUcs4();
    if (!std::all_of(characters.begin(), characters.end(), [this](uint c) { return m_keeps(c); }))
        return Invalid;
    pos = qBound(0, pos - int(input.size() - composed.size()), int(composed.size()));
    input = composed;
    return Acceptable;
}
