#include "history/RunHistory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

namespace RunHistory {

namespace {

double Rate(const RunRecord &record, PhaseKind kind)
{
    const PhaseRecord *phase = record.phase(kind);
    return phase && phase->rateMBps ? *phase->rateMBps : 0.0;
}

QString CsvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    return u'"' + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

QString Number(double value)
{
    return QString::number(value, 'f', 3);
}

} // namespace

QString DeviceText(const RunRecord &record)
{
    if (!record.device)
        return {};
    const DeviceIdentity &d = *record.device;
    QStringList parts;
    if (d.model && !d.model->trimmed().isEmpty())
        parts << d.model->trimmed();
    if (d.blockDevice && !d.blockDevice->isEmpty())
        parts << (parts.isEmpty() ? *d.blockDevice : u'(' + *d.blockDevice + u')');
    if (parts.isEmpty() && d.mountSource)
        parts << *d.mountSource;
    if (d.fileSystem && !d.fileSystem->isEmpty())
        parts << u'[' + *d.fileSystem + u']';
    return parts.join(u' ');
}

QString OptionsText(const RunRecord &record)
{
    const RunOptions &o = record.options;
    QStringList on;
    if (o.disableCaching)
        on << (record.directIoRefused ? QStringLiteral("no cache (refused)") : QStringLiteral("no cache"));
    if (o.writeThrough)
        on << QStringLiteral("write through");
    if (o.lightPump)
        on << QStringLiteral("light pump");
    if (o.writeLogFile)
        on << QStringLiteral("log file");
    if (o.readUncached)
        on << QStringLiteral("uncached read");
    if (o.verifyData)
        on << QStringLiteral("verify");
    return on.join(QStringLiteral(", "));
}

QString ProfilesText(const RunRecord &record)
{
    QStringList parts;
    for (const ProfileRecord &p : record.profiles) {
        QString text = (p.name.isEmpty() ? p.spec : p.name) + QStringLiteral(" ") +
                       QString::number(p.bestMBps, 'f', 1) + QStringLiteral(" MB/s ") +
                       QString::number(p.bestIops, 'f', 0) + QStringLiteral(" IOPS");
        if (p.status != RunStatus::Complete)
            text += QStringLiteral(" (") + toString(p.status) + QLatin1Char(')');
        parts << text;
    }
    return parts.join(QStringLiteral("; "));
}

HistoryEntry EntryOf(const RunRecord &record)
{
    HistoryEntry e;
    e.started = record.startedUtc.isValid() ? record.startedUtc.toUTC() : QDateTime::currentDateTimeUtc();
    e.target = record.target;
    e.device = DeviceText(record);
    e.kind = toString(record.kind);
    e.outcome = toString(record.outcome.status);
    e.files = record.fileCount;
    e.megabytes = record.fileSizeMB;
    e.writeRate = Rate(record, PhaseKind::Write);
    e.readRate = Rate(record, PhaseKind::Read);
    e.options = OptionsText(record);
    e.profiles = ProfilesText(record);
    e.record = QJsonDocument(record.toJson()).toJson(QJsonDocument::Compact);
    return e;
}

std::optional<RunRecord> RecordOf(const HistoryEntry &entry)
{
    return RunRecord::fromJsonBytes(entry.record);
}

bool Open(HistoryStore &store)
{
    store.SetRecordCheck([](const QByteArray &json) { return RunRecord::fromJsonBytes(json).has_value(); });
    return store.Open();
}

bool Keep(const RunRecord &record, const QString &path, HistoryProblem *problem)
{
    HistoryStore store(path);
    HistoryEntry entry = EntryOf(record);
    const bool kept = Open(store) && store.Add(entry);
    if (problem)
        *problem = store.Problem();
    return kept;
}

QString Describe(const HistoryProblem &problem)
{
    QString what;
    switch (problem.kind) {
    case HistoryProblem::None:
        return {};
    case HistoryProblem::FolderNotCreated:
        what = QStringLiteral("its folder cannot be created");
        break;
    case HistoryProblem::ReadOnly:
        what = QStringLiteral("it is read-only");
        break;
    case HistoryProblem::Damaged:
        what = problem.movedTo.isEmpty() ? QStringLiteral("it is damaged and could not be moved aside")
                                         : QStringLiteral("it was damaged and moved aside to ") + problem.movedTo;
        break;
    case HistoryProblem::NewerSchema:
        what = QStringLiteral("it was written by a newer version");
        break;
    case HistoryProblem::Failed:
        what = problem.detail;
        break;
    }
    return problem.path + QStringLiteral(": ") + what;
}

QByteArray ToJson(const QList<RunRecord> &records)
{
    QJsonArray array;
    for (const RunRecord &r : records)
        array.append(r.toJson());
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

QByteArray ToCsv(const QList<RunRecord> &records)
{
    QString out = QStringLiteral("run_id,started_utc,target,device,kind,outcome,files,file_mb,write_ms,read_ms,"
                                 "write_mbps,read_mbps,options,profiles\r\n");
    for (const RunRecord &r : records) {
        const PhaseRecord *write = r.phase(PhaseKind::Write);
        const PhaseRecord *read = r.phase(PhaseKind::Read);
        const QStringList fields{QString::fromLatin1(r.runId),
                                 r.startedUtc.toUTC().toString(Qt::ISODateWithMs),
                                 CsvField(r.target),
                                 CsvField(DeviceText(r)),
                                 toString(r.kind),
                                 toString(r.outcome.status),
                                 QString::number(r.fileCount),
                                 QString::number(r.fileSizeMB),
                                 write ? QString::number(write->ms) : QString(),
                                 read ? QString::number(read->ms) : QString(),
                                 write && write->rateMBps ? Number(*write->rateMBps) : QString(),
                                 read && read->rateMBps ? Number(*read->rateMBps) : QString(),
                                 CsvField(OptionsText(r)),
                                 CsvField(ProfilesText(r))};
        out += fields.join(u',') + QStringLiteral("\r\n");
    }
    return out.toUtf8();
}

} // namespace RunHistory
