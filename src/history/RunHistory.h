#pragma once

#include "engine/RunRecord.h"
#include "history/HistoryStore.h"

#include <QList>
#include <optional>

// Run records in the history: the columns a record gives, and storing one as the window and the
// runner do when a run ends.
namespace RunHistory {

HistoryEntry EntryOf(const RunRecord &record);
std::optional<RunRecord> RecordOf(const HistoryEntry &entry);

// The device column: model and disk where known, else what is mounted.
QString DeviceText(const RunRecord &record);
// The options column: the switches that were on, short and comma-separated.
QString OptionsText(const RunRecord &record);
// The profiles column: each profile's name (or text), best MB/s and best IOPS, "; "-separated,
// with a status word for a profile that did not complete; empty for the classic tests.
QString ProfilesText(const RunRecord &record);

// Opens store so that rows whose record this program cannot read are skipped.
bool Open(HistoryStore &store);
// Stores record in the file at path. False when it could not; problem then says why.
bool Keep(const RunRecord &record, const QString &path = HistoryStore::DefaultPath(),
          HistoryProblem *problem = nullptr);

// The problem in a few English words with the file, for the runner's standard error.
QString Describe(const HistoryProblem &problem);

// Exports: a JSON array of the records as they are, or one CSV line per run.
QByteArray ToJson(const QList<RunRecord> &records);
QByteArray ToCsv(const QList<RunRecord> &records);

} // namespace RunHistory
