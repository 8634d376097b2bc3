#include "line_scan.h"

#include "codepage.h"
#include "line_model.h"

#include <cstring>

namespace dictionary {

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

} // namespace dictionary
