#pragma once

#include <QString>
#include <QStringList>

// Where the word lists live. The program comes with a shared list: beside
// it, or in a system install on Linux in ../share/parlanta. Where this user
// may replace the list beside the program, it is the user's own and takes
// the words the user adds, as it always has. Otherwise (a list the package
// manager owns, a read-only file, a folder this user may not write) the
// shared list is never written, and the words go to the user's own list in
// their profile, which is read before the shared one.
namespace platform {

enum class System { Posix, Windows };

// What decides the places, gathered from the system by gatherPlaceFacts and
// given by hand in tests.
struct PlaceFacts {
    System system = System::Posix;
    QString programFolder;
    bool besideExists = false;     // something is at dicy.ini beside the program
    bool systemListExists = false; // ../share/parlanta/dicy.ini exists (looked for on POSIX only)
    // This user may replace the list beside the program: the file, when there
    // is one, is not read-only to them, and they may create files in its folder.
    bool besideWritable = false;
    QString xdgDataHome; // POSIX
    QString home;        // POSIX
    QString appData;     // Windows
};

struct WordListPlaces {
    QString shared; // the list that comes with the program
    QString own;    // where added words go: `shared` itself, or a list in the profile; empty when none is known
    QString sharedFolder() const;
    bool separate() const { return own != shared; }
    // The lists a lookup reads, in order: the user's own list when it is a
    // separate file and exists, then the shared one.
    QStringList readOrder() const;
};

WordListPlaces choosePlaces(const PlaceFacts &facts);

// The facts of this system for a program in `programFolder`.
PlaceFacts gatherPlaceFacts(const QString &programFolder);

} // namespace platform
