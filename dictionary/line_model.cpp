#include "line_model.h"

#include "codepage.h"

namespace dictionary {

bool isSectionHeader(QByteArrayView line, QByteArrayView section)
{
    return line.size() == section.size() + 2 && line.front() == '[' && line.back() == ']'
        && codepage::equalsIgnoringCase(line.sliced(1, section.size()), section);
}

} // namespace dictionary
