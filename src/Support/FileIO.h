#pragma once

#include <QByteArray>
#include <QString>

class QFile;

#include <optional>

// Small file helpers shared by every store. They report failure through the return value
// and an optional readable error, the system's own reason ("No space left on device",
// "Read-only file system"); they never throw.
namespace FileIO {

// The system's text for an error number, e.g. "No space left on device".
QString systemReason(int code);
// Puts `reason` into `error` when there is one; false, so a failure is one `return`.
bool fail(QString* error, const QString& reason);

// Replaces the file in one step: the data goes to a temporary file beside it, which is
// flushed to disk and renamed over the file only once every byte is written, so readers see
// either the old or the new content and a failure leaves the old file as it was. The new
// file keeps the old one's permissions, or gets mode 0600 when `ownerOnly`, before any byte
// is written. A symbolic link is followed: the file it points to is replaced.
// The temporary file has no name (O_TMPFILE) while it is written, so a crash leaves nothing
// behind; it gets one only for the instant before the rename. Where the file system has no
// unnamed files, it is "<file>.tmp-<random>" from the start, and a crash leaves it: the
// stores remove such leftovers when they start (removeLeftoverTemporaries).
bool writeAtomically(const QString& path, const QByteArray& data, QString* error = nullptr, bool ownerOnly = false);

// Whether this process may read, write or enter the path (R_OK, W_OK, X_OK from <unistd.h>)
// as its effective ids and capabilities say; errno tells why not.
bool mayAccess(const QString& path, int mode);
// Whether writeAtomically may replace the file, in the eyes of this process: the file (the one
// a symbolic link points to) and its folder may be written. A file made read-only, or one in a
// read-only folder or mount, is not replaced; false with the system's reason then.
bool mayReplace(const QString& path, QString* error = nullptr);
// Removes the file once it may be replaced. A symbolic link is followed: the file it points to
// goes, then the link, which would point nowhere.
bool removeFile(const QString& path, QString* error = nullptr);

// Removes the temporaries that writeAtomically left in the folder when a process ended in
// the middle of a write ("<file>.tmp-<random>"); returns how many went. For a store when it
// starts, before it writes there itself: only one program runs per user, so any such file
// belongs to no write in progress.
int removeLeftoverTemporaries(const QString& folder);

// Appends whole lines (`data` ends in a line feed) to a file of line-ended records, creating
// it when missing (O_APPEND); anything but a regular file in its place (a FIFO, a device) is
// refused, "Not a regular file", and nothing is written to it. The lines start on a line of
// their own: a file whose last line was cut short (a crash in the middle of a write) gets its
// line feed first, logged, so readers skip that torn line alone and keep what comes after it.
// A write that fails leaves the file as it was: cut back to its old length, so it never ends
// in half a record, or removed when this call created it. Assumes one writer per file.
bool append(const QString& path, const QByteArray& data, QString* error = nullptr);

// Opens the file for reading without ever waiting: anything but a regular file (a FIFO, a
// device, a folder, or a link to one) is refused with the reason ("Not a regular file", "Is a
// directory"), where opening a FIFO would wait for a writer.
bool openForReading(QFile& file, QString* error = nullptr);

// The whole file, or nothing when it is missing or cannot be read.
std::optional<QByteArray> readAll(const QString& path, QString* error = nullptr);

// Moves a damaged file out of the way as "<name>.corrupt-<yyyyMMdd-HHmmss>" so a store can
// start fresh without destroying what the user had. Returns the new path, or "" on failure.
QString moveAside(const QString& path, QString* error = nullptr);

// Creates the directory (and its parents); `ownerOnly` restricts the leaf to mode 0700.
bool ensureDirectory(const QString& path, bool ownerOnly = false, QString* error = nullptr);

}  // namespace FileIO
