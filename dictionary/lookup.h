#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <exception>
#include <optional>

namespace dictionary {

enum class LookupFailure {
    FileNotFound,    // no regular file at the path, or it could not be read
    Overflow,        // past a 16-bit limit: too many lines, or "=" too far in
    InvalidArgument, // a line of the section without "=" was scanned
};

class LookupError : public std::exception {
public:
    explicit LookupError(LookupFailure failure) : m_failure(failure) {}
    LookupFailure failure() const { return m_failure; }
    const char *what() const noexcept override;

private:
    LookupFailure m_failure;
};

// How a caller of LookupEntry learns the outcome. Each calling window has its
// own flavour: the main window writes its status bar, the Add-word dialog
// sets its new-word flag. Nothing is reported when the lookup fails.
class LookupReporter {
public:
    virtual ~LookupReporter() = default;
    virtual void emptyKey() = 0;
    virtual void found(const QByteArray &value) = 0;
    // Returns what LookupEntry gives back for a key the section lacks.
    virtual std::optional<QByteArray> notFound(const QByteArray &defaultValue) = 0;
};

// Looks `key` up in `section` of the word list at `filePath`: reads the file
// whole, closes it, scans it, and only then reports. Returns the entry's
// value when found, the reporter's answer when not, and no value for an
// empty key. Throws LookupError on failure, before reporting anything.
std::optional<QByteArray> LookupEntry(QByteArrayView section, QByteArrayView key,
                                      const QByteArray &defaultValue, const QString &filePath,
                                      LookupReporter &reporter);

// The same over several word lists, read in turn as if they were one: the
// first list that holds the key gives its value, and a list that fails
// fails the lookup, as a bad line met before the key does in one list.
std::optional<QByteArray> LookupEntry(QByteArrayView section, QByteArrayView key,
                                      const QByteArray &defaultValue, const QStringList &filePaths,
                                      LookupReporter &reporter);

// The scan alone, over bytes already read.
enum class ScanOutcome { Found, NotFound };
struct ScanResult {
    ScanOutcome outcome = ScanOutcome::NotFound;
    QByteArray value;
};
ScanResult scanEntries(QByteArrayView file, QByteArrayView section, QByteArrayView key);

} // namespace dictionary
