#pragma once
// The player's files (the save, the race record): read without ever waiting on what is not a
// file, and written crash-safe, only ever to a regular file. A save may be a symbolic link to a
// regular file elsewhere (a synced folder): it is read and written through, the link kept.
#include <QByteArray>
#include <QString>

// Why path (links followed) is no regular file: a device, a FIFO, a socket or a folder. Empty when
// it is a regular file or nothing is there.
QString notARegularFile(const QString &path);

// Reads up to maxBytes of a regular file. Nothing else is opened; a FIFO never holds the game up.
// On failure the reason goes to error.
bool readFileWhole(const QString &path, qint64 maxBytes, QByteArray *content, QString *error);

// Puts content in place as path in one step (the save's way): the file on disk is always the
// old or the new content, whole. On failure the reason goes to error and the old file stays.
// Anything but a regular file (or no file) at path is never opened, replaced or waited on.
bool writeFileWhole(const QString &path, const QByteArray &content, QString *error);

// Removes what a save killed between writing and renaming left beside path: regular files named
// path plus a dot and six letters or digits (not
// six small letters: a word the player chose). Each removal is logged.
void removeLeftoverTemps(const QString &path);
