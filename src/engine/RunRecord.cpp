#include "engine/RunRecord.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <cmath>

namespace {

const QString kProgram = QStringLiteral("Veltaro");

QString versionText()
{
    return QStringLiteral("%1.%2.%3").arg(VELTARO_VERSION_MAJOR).arg(VELTARO_VERSION_MINOR).arg(VELTARO_VERSION_REVISION);
}

QJsonValue isoTime(const QDateTime &when)
{
    return when.isValid() ? QJsonValue(when.toUTC().toString(Qt::ISODateWithMs)) : QJsonValue(QJsonValue::Null);
}

template <typename T> QJsonValue optional(const std::optional<T> &value)
{
    if (!value)
        return QJsonValue(QJsonValue::Null);
    if constexpr (std::is_same_v<T, int64_t>)
        return QJsonValue(qint64(*value));
    else
        return QJsonValue(*value);
}

// Reading: every accessor records the first problem and yields a harmless value, so a parse is
// one pass that is checked once at the end.
class Reader {
public:
    explicit Reader(QString *error) : m_error(error) {}
    bool ok() const { return m_ok; }

    bool fail(const QString &what)
    {
        if (m_ok && m_error)
            *m_error = what;
        m_ok = false;
        return false;
    }

    QJsonValue value(const QJsonObject &o, const char *key)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            fail(QStringLiteral("\"%1\" is missing").arg(QLatin1String(key)));
        return v;
    }
    bool boolean(const QJsonObject &o, const char *key)
    {
        const QJsonValue v = value(o, key);
        if (!v.isUndefined() && !v.isBool())
            fail(QStringLiteral("\"%1\" is not true or false").arg(QLatin1String(key)));
        return v.toBool();
    }
    QString string(const QJsonObject &o, const char *key)
    {
        const QJsonValue v = value(o, key);
        if (!v.isUndefined() && !v.isString())
            fail(QStringLiteral("\"%1\" is not a text").arg(QLatin1String(key)));
        return v.toString();
    }
    double number(const QJsonObject &o, const char *key)
    {
        const QJsonValue v = value(o, key);
        if (!v.isUndefined() && !v.isDouble())
            fail(QStringLiteral("\"%1\" is not a number").arg(QLatin1String(key)));
        return v.toDouble();
    }
    int64_t whole(const QJsonObject &o, const char *key)
    {
        const double d = number(o, key);
        if (d != std::floor(d) || std::fabs(d) > 9007199254740992.0)
            fail(QStringLiteral("\"%1\" is not a whole number").arg(QLatin1String(key)));
        return m_ok ? int64_t(d) : 0;
    }
    // The fields the program keeps in 32 bits.
    int32_t whole32(const QJsonObject &o, const char *key)
    {
        const int64_t v = whole(o, key);
        if (v < INT32_MIN || v > INT32_MAX)
            fail(QStringLiteral("\"%1\" is out of range").arg(QLatin1String(key)));
        return m_ok ? int32_t(v) : 0;
    }
    QJsonObject object(const QJsonObject &o, const char *key)
    {
        const QJsonValue v = value(o, key);
        if (!v.isUndefined() && !v.isObject())
            fail(QStringLiteral("\"%1\" is not an object").arg(QLatin1String(key)));
        return v.toObject();
    }
    QJsonArray array(const QJsonObject &o, const char *key)
    {
        const QJsonValue v = value(o, key);
        if (!v.isUndefined() && !v.isArray())
            fail(QStringLiteral("\"%1\" is not a list").arg(QLatin1String(key)));
        return v.toArray();
    }
    QDateTime time(const QJsonObject &o, const char *key)
    {
        const QJsonValue v = value(o, key);
        if (v.isNull())
            return {};
        const QDateTime t = QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
        if (!t.isValid())
            fail(QStringLiteral("\"%1\" is not an ISO 8601 time").arg(QLatin1String(key)));
        return t.toUTC();
    }
    // Optional fields may be null or left out.
    template <typename T> std::optional<T> maybe(const QJsonObject &o, const char *key)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isNull() || v.isUndefined())
            return std::nullopt;
        if constexpr (std::is_same_v<T, bool>)
            return boolean(o, key);
        else if constexpr (std::is_same_v<T, QString>)
            return string(o, key);
        else if constexpr (std::is_same_v<T, double>)
            return number(o, key);
        else if constexpr (sizeof(T) == 4)
            return whole32(o, key);
        else
            return T(whole(o, key));
    }
    template <typename Enum, size_t N> Enum choice(const QJsonObject &o, const char *key, const std::pair<Enum, const char *> (&names)[N])
    {
        const QString text = string(o, key);
        for (const auto &[value, name] : names) {
            if (text == QLatin1String(name))
                return value;
        }
        fail(QStringLiteral("\"%1\" has the unknown value \"%2\"").arg(QLatin1String(key), text));
        return names[0].first;
    }

private:
    QString *m_error;
    bool m_ok = true;
};

constexpr std::pair<RunKind, const char *> kKinds[] = {
    {RunKind::Single, "single"}, {RunKind::Multiple, "multiple"}, {RunKind::Profile, "profile"}};
constexpr std::pair<PhaseKind, const char *> kPhases[] = {{PhaseKind::Write, "write"}, {PhaseKind::Read, "read"}};
constexpr std::pair<RunStatus, const char *> kStatuses[] = {
    {RunStatus::Complete, "complete"}, {RunStatus::Stopped, "stopped"}, {RunStatus::Failed, "failed"}};

template <typename Enum, size_t N> QString nameOf(Enum value, const std::pair<Enum, const char *> (&names)[N])
{
    for (const auto &[v, name] : names) {
        if (v == value)
            return QLatin1String(name);
    }
    return QString();
}

QJsonObject verifyJson(const VerifyCounts &v)
{
    return {{QStringLiteral("bad_blocks"), qint64(v.badBlocks)},
            {QStringLiteral("misplaced_blocks"), qint64(v.misplacedBlocks)},
            {QStringLiteral("first_bad_offset_bytes"), optional(v.firstBadOffset)}};
}

QJsonObject fileJson(const FileRecord &f)
{
    return {{QStringLiteral("file"), f.number},
            {QStringLiteral("timed"), f.timed},
            {QStringLiteral("ms"), f.ms},
            {QStringLiteral("us"), qint64(f.us)},
            {QStringLiteral("bytes_requested"), qint64(f.bytesRequested)},
            {QStringLiteral("bytes_transferred"), qint64(f.bytesTransferred)},
            {QStringLiteral("failed_calls"), qint64(f.failedCalls)},
            {QStringLiteral("short_calls"), qint64(f.shortCalls)},
            {QStringLiteral("first_errno"), f.firstErrno},
            {QStringLiteral("direct_io"), optional(f.directIo)},
            {QStringLiteral("cached_share"), optional(f.cachedShare)},
            {QStringLiteral("latency"), f.latency ? QJsonValue(f.latency->toJson()) : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("verify"), f.verify ? QJsonValue(verifyJson(*f.verify)) : QJsonValue(QJsonValue::Null)}};
}

QJsonObject phaseJson(const PhaseRecord &p)
{
    QJsonArray files;
    for (const FileRecord &f : p.files)
        files.append(fileJson(f));
    return {{QStringLiteral("phase"), nameOf(p.kind, kPhases)},
            {QStringLiteral("completed"), p.completed},
            {QStringLiteral("ms"), p.ms},
            {QStringLiteral("us"), qint64(p.us)},
            {QStringLiteral("average_s"), optional(p.averageSeconds)},
            {QStringLiteral("rate_mb_per_s"), optional(p.rateMBps)},
            {QStringLiteral("bytes_requested"), qint64(p.bytesRequested)},
            {QStringLiteral("bytes_transferred"), qint64(p.bytesTransferred)},
            {QStringLiteral("failed_calls"), qint64(p.failedCalls)},
            {QStringLiteral("short_calls"), qint64(p.shortCalls)},
            {QStringLiteral("first_errno"), p.firstErrno},
            {QStringLiteral("read_uncached"), p.readUncached},
            {QStringLiteral("latency"), LatencySummary::of(p.latency).toJson()},
            {QStringLiteral("histogram"), p.latency.toJson()},
            {QStringLiteral("files"), files}};
}

QJsonObject deviceJson(const DeviceIdentity &d)
{
    return {{QStringLiteral("file_system"), optional(d.fileSystem)},
            {QStringLiteral("mount_source"), optional(d.mountSource)},
            {QStringLiteral("mount_options"), optional(d.mountOptions)},
            {QStringLiteral("block_device"), optional(d.blockDevice)},
            {QStringLiteral("model"), optional(d.model)},
            {QStringLiteral("vendor"), optional(d.vendor)},
            {QStringLiteral("serial"), optional(d.serial)},
            {QStringLiteral("size_bytes"), optional(d.sizeBytes)},
            {QStringLiteral("rotational"), optional(d.rotational)},
            {QStringLiteral("logical_block_bytes"), optional(d.logicalBlockBytes)},
            {QStringLiteral("physical_block_bytes"), optional(d.physicalBlockBytes)},
            {QStringLiteral("scheduler"), optional(d.scheduler)},
            {QStringLiteral("free_bytes_before"), optional(d.freeBytes)},
            {QStringLiteral("mount_point"), optional(d.mountPoint)},
            {QStringLiteral("device_chain"), QJsonArray::fromStringList(d.deviceChain)}};
}

QJsonArray fioJson(const std::vector<FioCommandRecord> &commands)
{
    QJsonArray list;
    for (const FioCommandRecord &c : commands)
        list.append(QJsonObject{{QStringLiteral("phase"), nameOf(c.phase, kPhases)},
                                {QStringLiteral("argv"), QJsonArray::fromStringList(c.argv)},
                                {QStringLiteral("command"), c.command}});
    return list;
}

QStringList texts(const QJsonArray &array)
{
    QStringList list;
    for (const QJsonValue &v : array)
        list.append(v.toString());
    return list;
}

FileRecord readFile(Reader &r, const QJsonObject &o)
{
    FileRecord f;
    f.number = r.whole32(o, "file");
    f.timed = r.boolean(o, "timed");
    f.ms = r.whole32(o, "ms");
    f.us = r.whole(o, "us");
    f.bytesRequested = r.whole(o, "bytes_requested");
    f.bytesTransferred = r.whole(o, "bytes_transferred");
    f.failedCalls = r.whole(o, "failed_calls");
    f.shortCalls = r.whole(o, "short_calls");
    f.firstErrno = r.whole32(o, "first_errno");
    f.directIo = r.maybe<bool>(o, "direct_io");
    f.cachedShare = r.maybe<double>(o, "cached_share");
    if (o.value(QStringLiteral("latency")).isObject()) {
        QString problem;
        f.latency = LatencySummary::fromJson(o.value(QStringLiteral("latency")).toObject(), &problem);
        if (!f.latency)
            r.fail(problem);
    }
    if (o.value(QStringLiteral("verify")).isObject()) {
        const QJsonObject v = o.value(QStringLiteral("verify")).toObject();
        f.verify = VerifyCounts{r.whole(v, "bad_blocks"), r.whole(v, "misplaced_blocks"),
                                r.maybe<int64_t>(v, "first_bad_offset_bytes")};
    }
    return f;
}

PhaseRecord readPhase(Reader &r, const QJsonObject &o)
{
    PhaseRecord p;
    p.kind = r.choice(o, "phase", kPhases);
    p.completed = r.boolean(o, "completed");
    p.ms = r.whole32(o, "ms");
    p.us = r.whole(o, "us");
    p.averageSeconds = r.maybe<double>(o, "average_s");
    p.rateMBps = r.maybe<double>(o, "rate_mb_per_s");
    p.bytesRequested = r.whole(o, "bytes_requested");
    p.bytesTransferred = r.whole(o, "bytes_transferred");
    p.failedCalls = r.whole(o, "failed_calls");
    p.shortCalls = r.whole(o, "short_calls");
    p.firstErrno = r.whole32(o, "first_errno");
    p.readUncached = r.boolean(o, "read_uncached");
    const QJsonObject histogram = r.object(o, "histogram");
    QString problem;
    if (std::optional<LatencyHistogram> h = LatencyHistogram::fromJson(histogram, &problem))
        p.latency = *h;
    else
        r.fail(problem);
    for (const QJsonValue &f : r.array(o, "files"))
        p.files.push_back(readFile(r, f.toObject()));
    return p;
}

DeviceIdentity readDevice(Reader &r, const QJsonObject &o)
{
    DeviceIdentity d;
    d.fileSystem = r.maybe<QString>(o, "file_system");
    d.mountSource = r.maybe<QString>(o, "mount_source");
    d.mountOptions = r.maybe<QString>(o, "mount_options");
    d.blockDevice = r.maybe<QString>(o, "block_device");
    d.model = r.maybe<QString>(o, "model");
    d.vendor = r.maybe<QString>(o, "vendor");
    d.serial = r.maybe<QString>(o, "serial");
    d.sizeBytes = r.maybe<qint64>(o, "size_bytes");
    d.rotational = r.maybe<bool>(o, "rotational");
    d.logicalBlockBytes = r.maybe<int>(o, "logical_block_bytes");
    d.physicalBlockBytes = r.maybe<int>(o, "physical_block_bytes");
    d.scheduler = r.maybe<QString>(o, "scheduler");
    d.freeBytes = r.maybe<qint64>(o, "free_bytes_before");
    // Later additions: a record written before them has neither.
    d.mountPoint = r.maybe<QString>(o, "mount_point");
    d.deviceChain = texts(o.value(QStringLiteral("device_chain")).toArray());
    return d;
}

} // namespace

QString toString(RunKind kind)
{
    return nameOf(kind, kKinds);
}

QString toString(PhaseKind kind)
{
    return nameOf(kind, kPhases);
}

QString toString(RunStatus status)
{
    return nameOf(status, kStatuses);
}

RunRecord RunRecord::begin(RunKind kind)
{
    RunRecord r;
    r.kind = kind;
    r.programVersion = versionText();
    r.runId = QByteArray::number(QRandomGenerator::system()->generate64(), 16).rightJustified(16, '0');
    r.startedUtc = QDateTime::currentDateTimeUtc();
    return r;
}

PhaseRecord *RunRecord::phase(PhaseKind kind)
{
    for (PhaseRecord &p : phases) {
        if (p.kind == kind)
            return &p;
    }
    return nullptr;
}

const PhaseRecord *RunRecord::phase(PhaseKind kind) const
{
    return const_cast<RunRecord *>(this)->phase(kind);
}

QJsonObject RunRecord::toJson() const
{
    QJsonArray phaseList;
    for (const PhaseRecord &p : phases)
        phaseList.append(phaseJson(p));
    const QJsonObject optionsJson{{QStringLiteral("write_log_file"), options.writeLogFile},
                                  {QStringLiteral("disable_cache"), options.disableCaching},
                                  {QStringLiteral("write_through"), options.writeThrough},
                                  {QStringLiteral("light_pump"), options.lightPump},
                                  {QStringLiteral("read_uncached"), options.readUncached},
                                  {QStringLiteral("verify_data"), options.verifyData}};
    const QJsonObject outcomeJson{{QStringLiteral("status"), toString(outcome.status)},
                                  {QStringLiteral("reason"), outcome.reason},
                                  {QStringLiteral("path"), outcome.path}};
    return {{QStringLiteral("program"), kProgram},
            {QStringLiteral("schema_version"), kSchemaVersion},
            {QStringLiteral("program_version"), programVersion},
            {QStringLiteral("run_id"), QString::fromLatin1(runId)},
            {QStringLiteral("started_utc"), isoTime(startedUtc)},
            {QStringLiteral("ended_utc"), isoTime(endedUtc)},
            {QStringLiteral("target"), target},
            {QStringLiteral("kind"), toString(kind)},
            {QStringLiteral("file_count"), fileCount},
            {QStringLiteral("file_size_mb"), fileSizeMB},
            {QStringLiteral("bytes_per_mb"), qint64(RunUnits::kBytesPerMB)},
            {QStringLiteral("block_bytes"), RunUnits::kBlockBytes},
            {QStringLiteral("options"), optionsJson},
            {QStringLiteral("direct_io_refused"), directIoRefused},
            {QStringLiteral("device"), device ? QJsonValue(deviceJson(*device)) : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("phases"), phaseList},
            {QStringLiteral("fio_commands"), fioJson(fioCommands)},
            {QStringLiteral("outcome"), outcomeJson},
            {QStringLiteral("test_files_deleted"), testFilesDeleted},
            {QStringLiteral("result_log_path"), resultLogPath.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(resultLogPath)},
            {QStringLiteral("result_log_written"), resultLogWritten},
            {QStringLiteral("extensions"), extensions},
            {QStringLiteral("profiles"), profilesToJson(profiles)}};
}

QByteArray RunRecord::toJsonBytes() const
{
    return QJsonDocument(toJson()).toJson(QJsonDocument::Indented);
}

std::optional<RunRecord> RunRecord::fromJson(const QJsonObject &json, QString *error)
{
    Reader r(error);
    if (json.value(QStringLiteral("program")).toString() != kProgram) {
        r.fail(QStringLiteral("not a record of %1").arg(kProgram));
        return std::nullopt;
    }
    const int version = r.whole32(json, "schema_version");
    if (r.ok() && version != kSchemaVersion)
        r.fail(QStringLiteral("schema version %1, this program reads %2").arg(version).arg(kSchemaVersion));
    if (!r.ok())
        return std::nullopt;

    RunRecord rec;
    rec.programVersion = r.string(json, "program_version");
    rec.runId = r.string(json, "run_id").toLatin1();
    rec.startedUtc = r.time(json, "started_utc");
    rec.endedUtc = r.time(json, "ended_utc");
    rec.target = r.string(json, "target");
    rec.kind = r.choice(json, "kind", kKinds);
    rec.fileCount = r.whole32(json, "file_count");
    rec.fileSizeMB = r.whole32(json, "file_size_mb");
    const QJsonObject o = r.object(json, "options");
    rec.options = {r.boolean(o, "write_log_file"), r.boolean(o, "disable_cache"), r.boolean(o, "write_through"),
                   r.boolean(o, "light_pump"),     r.boolean(o, "read_uncached"), r.boolean(o, "verify_data")};
    rec.directIoRefused = r.boolean(json, "direct_io_refused");
    if (json.value(QStringLiteral("device")).isObject())
        rec.device = readDevice(r, json.value(QStringLiteral("device")).toObject());
    for (const QJsonValue &p : r.array(json, "phases"))
        rec.phases.push_back(readPhase(r, p.toObject()));
    for (const QJsonValue &c : json.value(QStringLiteral("fio_commands")).toArray()) {
        const QJsonObject o = c.toObject();
        rec.fioCommands.push_back({r.choice(o, "phase", kPhases), texts(r.array(o, "argv")), r.string(o, "command")});
    }
    const QJsonObject outcome = r.object(json, "outcome");
    rec.outcome = {r.choice(outcome, "status", kStatuses), r.string(outcome, "reason"), r.string(outcome, "path")};
    rec.testFilesDeleted = r.boolean(json, "test_files_deleted");
    rec.resultLogPath = r.maybe<QString>(json, "result_log_path").value_or(QString());
    rec.resultLogWritten = r.boolean(json, "result_log_written");
    rec.extensions = json.value(QStringLiteral("extensions")).toObject();
    // Records of the two classic tests may come without the key.
    QString problem;
    if (!profilesFromJson(json.value(QStringLiteral("profiles")).toArray(), rec.profiles, &problem))
        r.fail(problem);
    if (!r.ok())
        return std::nullopt;
    return rec;
}

std::optional<RunRecord> RunRecord::fromJsonBytes(const QByteArray &bytes, QString *error)
{
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isObject()) {
        if (error)
            *error = parse.error != QJsonParseError::NoError
                         ? QStringLiteral("not JSON at byte %1: %2").arg(parse.offset).arg(parse.errorString())
                         : QStringLiteral("not a JSON object");
        return std::nullopt;
    }
    return fromJson(doc.object(), error);
}
