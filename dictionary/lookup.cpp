#include "lookup.h"

#include "fast_scan.h"
#include "file_system.h"

namespace dictionary {

const char *LookupError::what() const noexcept
{
    switch (m_failure) {
    case LookupFailure::FileNotFound:
        return "the word list was not found";
    case LookupFailure::Overflow:
        return "the word list is past its size limits";
    case LookupFailure::InvalidArgument:
        return "the word list has a line without \"=\"";
    }
    return "the word list could not be read";
}

ScanResult scanEntries(QByteArrayView file, QByteArrayView section, QByteArrayView key)
{
    return fastscan::scan(fastscan::bestPath(), file, section, key);
}

std::optional<QByteArray> LookupEntry(QByteArrayView section, QByteArrayView key,
                                      const QByteArray &defaultValue, const QString &filePath,
                                      LookupReporter &reporter)
{
    return LookupEntry(section, key, defaultValue, QStringList{filePath}, reporter);
}

std::optional<QByteArray> LookupEntry(QByteArrayView section, QByteArrayView key,
                                      const QByteArray &defaultValue, const QStringList &filePaths,
                                      LookupReporter &reporter)
{
    if (key.isEmpty()) {
        reporter.emptyKey();
        return std::nullopt;
    }
    for (const QString &filePath : filePaths) {
        const std::optional<QByteArray> file = platform::files::readRegularFile(filePath);
        if (!file)
            throw LookupError(LookupFailure::FileNotFound);
        const ScanResult result = scanEntries(*file, section, key);
        if (result.outcome == ScanOutcome::Found) {
            reporter.found(result.value);
            return result.value;
        }
    }
    return reporter.notFound(defaultValue);
}

} // namespace dictionary
