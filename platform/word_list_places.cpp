#include "word_list_places.h"

#include "file_system.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {

const QString kFileName = QStringLiteral("dicy.ini");

// An XDG base folder counts only when it is absolute; a relative or empty
// one is ignored, as the XDG rules say.
QString posixDataHome(const PlaceFacts &facts)
{
    if (!facts.xdgDataHome.isEmpty() && QDir::isAbsolutePath(facts.xdgDataHome))
        return facts.xdgDataHome;
    if (!facts.home.isEmpty() && QDir::isAbsolutePath(facts.home))
        return facts.home + QStringLiteral("/.local/share");
    return {};
}

// A drive's root or a share's: "C:\\..." or "\\\\server\\...", either slash.
bool windowsAbsolute(const QString &path)
{
    const auto slash = [&](qsizetype i) { return i < path.size() && (path[i] == u'\\' || path[i] == u'/'); };
    return (path.size() > 2 && path[0].isLetter() && path[1] == u':' && slash(2)) || (slash(0) && slash(1));
}

QString ownList(const PlaceFacts &facts)
{
    if (facts.system == System::Windows) {
        if (!windowsAbsolute(facts.appData))
            return {};
        return facts.appData + QStringLiteral("\\Parlanta\\") + kFileName;
    }
    const QString dataHome = posixDataHome(facts);
    return dataHome.isEmpty() ? QString() : dataHome + QStringLiteral("/parlanta/") + kFileName;
}

QString systemListFolder(const QString &programFolder)
{
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/parlanta"));
}

} // namespace

QString WordListPlaces::sharedFolder() const
{
    return QFileInfo(shared).path();
}

QStringList WordListPlaces::readOrder() const
{
    if (separate() && !own.isEmpty() && QFileInfo::exists(own))
        return {own, shared};
    return {shared};
}

WordListPlaces choosePlaces(const PlaceFacts &facts)
{
    // A list beside the program makes a portable copy, even where a system
    // install lies above it.
    const bool systemLayout = facts.system == System::Posix && !facts.besideExists && facts.systemListExists;
    WordListPlaces places;
    if (systemLayout) {
        // The package manager owns this list, and an upgrade replaces it:
        // it is never written, even by root.
        places.shared = systemListFolder(facts.programFolder) + QLatin1Char('/') + kFileName;
        places.own = ownList(facts);
        return places;
    }
    const QLatin1Char separator(facts.system == System::Windows ? '\\' : '/');
    places.shared = facts.programFolder + separator + kFileName;
    places.own = facts.besideWritable ? places.shared : ownList(facts);
    return places;
}

PlaceFacts gatherPlaceFacts(const QString &programFolder)
{
    PlaceFacts facts;
#ifdef Q_OS_WIN
    facts.system = System::Windows;
    facts.appData = qEnvironmentVariable("APPDATA");
#else
    facts.xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME");
    facts.home = qEnvironmentVariable("HOME");
    facts.systemListExists = QFileInfo::exists(systemListFolder(programFolder) + QLatin1Char('/') + kFileName);
#endif
    facts.programFolder = programFolder;
    const QString beside = programFolder + QDir::separator() + kFileName;
    facts.besideExists = QFileInfo::exists(beside) || QFileInfo(beside).isSymLink();
    facts.besideWritable = files::mayReplace(beside);
    return facts;
}

} // namespace platform
