#pragma once
// Text that comes from outside the game (the environment, a peer's lines, the names announced on
// the network) on its way into the log and onto the screen. A stranger's bytes must neither break
// or forge a log line, nor steer the terminal that shows it, nor turn a name around on screen.
// Pure.
#include <QByteArray>
#include <QString>

// As a log line may echo it: blanks around it trimmed, at most 32 characters, and every character
// that is not printable (the C0 and C1 controls, DEL, the bidi and other format characters, the
// line and paragraph separators) as '?'; in UTF-8.
QByteArray printableForLog(const QString &text);

// A name as the game draws it: without the control characters and the bidi controls (the marks,
// embeddings, overrides and isolates), so that it reads as it was sent.
QString withoutControls(const QString &text);
