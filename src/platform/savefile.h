#pragma once
// Every file of the player's (the save, the race record, the history, the lock, the settings):
// looked at without ever waiting on what is not a file, read only when it is a regular one, and
// written crash-safe, only ever to a regular file. A save may be a symbolic link to a regular file
// elsewhere (a synced folder): it is read and written through, the link kept.
#include <QByteArray>
#include <QString>

// Why path (links followed) is no regular file: a device, a FIFO, a socket or a folder, or the
// system's reason when what is there cannot be looked at (a link loop). Empty when it is a regular
// file or nothing is there.
QString notARegularFile(const QString &path);

// Whether nothing at all is at path, not even a link (a link to nowhere or to itself is something).
bool nothingAt(const QString &path);

// Reads up to maxBytes of a regular file. Nothing else is opened; a FIFO never holds the game up.
// On failure the reason goes to error.
bool readFileWhole(const QString &path, qint64 maxBytes, QByteArray *content, QString *error);

// Puts content in place as path in one step (the save's way): the file on disk is always the
// old or the new content, whole. The new content is written to a temporary file beside it, whose
// name carries ".trotix-tmp-", flushed to the disk and renamed over it; it keeps the old file's
// permissions. On failure the reason goes to error and the old file stays. Anything but a regular
// file (or no file) at path is never opened, replaced or waited on.
bool writeFileWhole(const QString &path, const QByteArray &content, QString *error);

// Removes what a save killed between writing and renaming left beside path: regular files named
// path plus ".trotix-tmp-" and six letters or digits, a name no player gives a file. Every other
// file is left, whatever its name. Each removal is logged.
void removeLeftoverTemps(const QString &path);
