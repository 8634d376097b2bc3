#pragma once

#include "lookup.h"

namespace dictionary {

// The line-by-line scan, written for clarity over speed: every block scan
// must end exactly as this does, and processors without one run it.
ScanResult scanEntriesReference(QByteArrayView file, QByteArrayView section, QByteArrayView key);

} // namespace dictionary
