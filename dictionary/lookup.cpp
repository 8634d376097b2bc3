#include "lookup.h"

#include "codepage.h"
#include "fast_scan.h"
#include "line_model.h"
#include "word_list_file.h"

#include <cstring>

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

ScanResult scanEntriesReference(QByteArrayView file, QByteArrayView section, QByteArrayView key)
{
    // One pass: the section is scanned while the lines are counted, but the
    // outcome is decided only at the end, because a file past the line limit
    // fails every lookup, wherever the key stands.
    enum class State { SeekingHeader, InBody, Done };
    enum class Pending { NotFound, Found, NoEquals, EqualsTooFar };

    // The sought key is upper-cased once, not once for every line.
    const QByteArray upperKey = codepage::upper(key);
    State state = State::SeekingHeader;
    Pending pending = Pending::NotFound;
    QByteArrayView value;
    qsizetype count = 0;

    forEachLine(file, [&](const Line &line) {
        if (++count > kMaxLines)
            return false;
        const QByteArrayView text = line.text(file);
        switch (state) {
        case State::SeekingHeader:
            if (isSectionHeader(text, section))
                state = State::InBody;
            break;
        case State::InBody: {
            if (startsSection(text)) {
                state = State::Done;
                break;
            }
            const void *found = std::memchr(text.data(), '=', std::size_t(text.size()));
            const qsizetype equals = found ? static_cast<const char *>(found) - text.data() : -1;
            const qsizetype position = equals + 1; // counted from 1; 0 when absent
            if (equals < 0) {
                pending = Pending::NoEquals;
                state = State::Done;
            } else if (position > kMaxEqualsPosition) {
                pending = Pending::EqualsTooFar;
                state = State::Done;
            } else if (codepage::equalsUpper(text.first(equals), upperKey)) {
                // The value would start at position 32768, one past the counter.
                pending = position == kMaxEqualsPosition ? Pending::EqualsTooFar : Pending::Found;
                value = text.sliced(position);
                state = State::Done;
            }
            break;
        }
        case State::Done:
            break;
        }
        return true;
    });

    if (count > kMaxLines)
        throw LookupError(LookupFailure::Overflow);
    switch (pending) {
    case Pending::NoEquals:
        throw LookupError(LookupFailure::InvalidArgument);
    case Pending::EqualsTooFar:
        throw LookupError(LookupFailure::Overflow);
    case Pending::Found:
        return {ScanOutcome::Found, value.toByteArray()};
    case Pending::NotFound:
        break;
    }
    return {};
}

ScanResult scanEntries(QByteArrayView file, QByteArrayView section, QByteArrayView key)
{
    return fastscan::scan(fastscan::bestPath(), file, section, key);
}

std::optional<QByteArray> LookupEntry(QByteArrayView section, QByteArrayView key,
                                      const QByteArray &defaultValue, const QString &filePath,
                                      LookupReporter &reporter)
{
    if (key.isEmpty()) {
        reporter.emptyKey();
        return std::nullopt;
    }
    const std::optional<QByteArray> file = readRegularFile(filePath);
    if (!file)
        throw LookupError(LookupFailure::FileNotFound);

    const ScanResult result = scanEntries(*file, section, key);
    if (result.outcome == ScanOutcome::Found) {
        reporter.found(result.value);
        return result.value;
    }
    return reporter.notFound(defaultValue);
}

} // namespace dictionary
