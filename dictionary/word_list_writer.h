#pragma once

#include "word_list_places.h"

#include <QByteArrayView>
#include <QString>

#include <chrono>
#include <optional>

// Adding an entry to the word list. The writer follows the reader's line
// model (line_model.h), so an entry it accepts is found by the next lookup.
namespace dictionary {

// Why an entry may not be written at all: it could never be found again, or
// would break the file.
enum class EntryProblem {
    KeyHasEquals,     // read back, the key would end at its own "="
    KeyStartsSection, // read back, the line would end the section
    LineBreak,        // CR or LF in the key or the value would split the line
    KeyTooLong,       // the "=" would lie past the 16-bit position counter
};

// Checks key (English, as typed, already Windows-1252 bytes) and value
// (Balouchi, upper-cased bytes): a key holding "=", a key whose first
// non-space byte is "[", CR or LF in either, a key of 32766 bytes or more.
// No value when the entry can be written.
//
// Accepted but not read back exactly, since lines are trimmed of spaces:
// leading spaces of the key (the entry is found by the key without them) and
// trailing spaces of the value (found without them). The Add-word dialog
// writes what the user typed, and these cost nothing but a stray line.
std::optional<EntryProblem> checkEntry(QByteArrayView key, QByteArrayView value);

enum class WriteFailure {
    InvalidEntry,  // checkEntry refused it, or the key is empty (defensive; the dialog checks first)
    Full,          // the file would pass 32767 non-blank lines
    NoSpace,       // disk full or file size limit (ENOSPC, EFBIG, EDQUOT)
    AccessDenied,  // EACCES, EPERM, EROFS
    FolderMissing, // the folder does not exist or a part of the path is not a folder (ENOENT, ENOTDIR)
    NotAFile,      // something other than a regular file at the path (folder, FIFO, device)
    Busy,          // the lock could not be taken in reasonable time (another copy holds it)
    Other,         // anything else, including a word list the lookup cannot read
};

// detail: the system's own words (strerror / QFileDevice::errorString), may be empty.
struct WriteError {
    WriteFailure failure;
    QString detail;
};

// Adds "key=value" CR LF to the first [section] of the file at path: after
// the section's last non-blank line (blank lines at its end stay after the
// new one), or right after the header when the section is empty. A missing
// section is appended as a header line and the entry; a missing file is
// created with both. Every other byte stays as it was. Returns no value on
// success.
//
// The file is replaced as a whole (platform::files::replaceWhole), synced to
// disk before it replaces the old one, and keeps its permissions and owner
// (on Windows, its attributes); a symbolic link is written through to its
// target. Writers are serialised by a lock file beside the target (name +
// ".lock"), waited for at most lockTimeout, and the file is read again under
// the lock, since another copy of the program may have written in the
// meantime. On any failure the file is left as it
// was, and neither a temporary file nor the lock file remains.
//
// When the key is already found under the lock (another copy added it since
// the caller's lookup), nothing is written: with the same value this is
// success, with another value WriteFailure::Other. A word list whose lookup
// fails (a section line without "=", an "=" too far in) is refused with
// WriteFailure::Other too, because the lookup could never reach the new line.
std::optional<WriteError> writeEntry(QByteArrayView section, QByteArrayView key, QByteArrayView value,
                                     const QString &path,
                                     std::chrono::milliseconds lockTimeout = std::chrono::seconds(10));

// Adds the entry to the user's own list, as writeEntry does. A list of the
// user's own in their profile is made on the first add, with its folder;
// the shared list beside it is then never written, and nothing is made
// beside it. With no own list known (no profile folder), FolderMissing.
std::optional<WriteError> addToOwnList(QByteArrayView section, QByteArrayView key, QByteArrayView value,
                                       const platform::WordListPlaces &places,
                                       std::chrono::milliseconds lockTimeout = std::chrono::seconds(10));

} // namespace dictionary
