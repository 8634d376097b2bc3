// The writer whose save the replay records: adds one entry through the
// dictionary library, as the Add-word dialog does, and only once the add has
// returned success prints the confirmation on its standard output, where
// the recording sees the moment.
//
//   save_once FILE KEY VALUE
//
// Exits 0, or 10 + the WriteFailure.

#include "word_list_writer.h"

#ifdef PARLANTA_RECORD_CALLS
#include "win32_recorder.h"
#endif

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 4)
        return 2;
    const QString file = QCoreApplication(argc, argv).arguments().at(1);
    if (const std::optional<dictionary::WriteError> error
        = dictionary::addToOwnList("lexon", argv[2], argv[3], platform::WordListPlaces{file, file}))
        return 10 + int(error->failure);
#ifdef PARLANTA_RECORD_CALLS
    recordConfirmation();
#endif
    std::fputs("confirmed\n", stdout);
    std::fflush(stdout);
    return 0;
}
