#pragma once

#include "engine/RunRecord.h"

#include <QByteArray>

namespace CsvWriter {

// A header row, then one row per file and phase and one row "all" per phase with the phase's own
// span and rate (the multiple test times only its phases). Times a file did not get are empty.
// A profile run has a header of its own and one row per profile and pass (one with empty figures
// for a profile that measured nothing). Numbers in C notation; every row ends in "\n".
QByteArray Rows(const RunRecord &record);

} // namespace CsvWriter
