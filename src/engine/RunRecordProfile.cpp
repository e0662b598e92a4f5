// The profile test's part of the run record in JSON.
#include "engine/RunRecord.h"

#include <QJsonArray>
#include <cmath>

namespace {

// Reads fields of one entry; the first missing or mistyped one is the reason given.
class EntryReader {
public:
    EntryReader(const QJsonObject &o, QString &problem) : m_o(o), m_problem(problem) {}
    QJsonValue get(const char *key, bool (QJsonValue::*is)() const, const char *what)
    {
        const QJsonValue v = m_o.value(QLatin1String(key));
        if (!(v.*is)() && m_problem.isEmpty())
            m_problem = QStringLiteral("profile entry: \"%1\" is not %2").arg(QLatin1String(key), QLatin1String(what));
        return v;
    }
    double number(const char *key) { return get(key, &QJsonValue::isDouble, "a number").toDouble(); }
    int64_t whole(const char *key)
    {
        const double d = number(key);
        if (d != std::floor(d) && m_problem.isEmpty())
            m_problem = QStringLiteral("profile entry: \"%1\" is not a whole number").arg(QLatin1String(key));
        return int64_t(d);
    }
    QString text(const char *key) { return get(key, &QJsonValue::isString, "a text").toString(); }
    QJsonObject object(const char *key) { return get(key, &QJsonValue::isObject, "an object").toObject(); }
    QJsonArray array(const char *key) { return get(key, &QJsonValue::isArray, "a list").toArray(); }
    // Records written before the field existed lack it: false then.
    bool flag(const char *key)
    {
        return m_o.contains(QLatin1String(key)) && get(key, &QJsonValue::isBool, "true or false").toBool();
    }

private:
    const QJsonObject m_o; // by value: callers pass a temporary from QJsonValue::toObject()
    QString &m_problem;
};

QJsonObject passJson(const ProfilePassRecord &p)
{
    return {{QStringLiteral("bytes"), qint64(p.bytes)},
            {QStringLiteral("ios"), qint64(p.ios)},
            {QStringLiteral("us"), qint64(p.us)},
            {QStringLiteral("rate_mb_per_s"), p.rateMBps},
            {QStringLiteral("iops"), p.iops},
            {QStringLiteral("failed_calls"), qint64(p.failedCalls)},
            {QStringLiteral("first_errno"), p.firstErrno},
            {QStringLiteral("latency"), LatencySummary::of(p.latency).toJson()},
            {QStringLiteral("histogram"), p.latency.toJson()}};
}

} // namespace

QJsonArray profilesToJson(const std::vector<ProfileRecord> &profiles)
{
    QJsonArray list;
    for (const ProfileRecord &r : profiles) {
        QJsonArray passes;
        for (const ProfilePassRecord &p : r.passes)
            passes.append(passJson(p));
        list.append(QJsonObject{{QStringLiteral("name"), r.name},
                                {QStringLiteral("spec"), r.spec},
                                {QStringLiteral("engine"), r.engine},
                                {QStringLiteral("huge_page_buffers"), r.hugePageBuffers},
                                {QStringLiteral("file_size_bytes"), qint64(r.fileSizeBytes)},
                                {QStringLiteral("status"), toString(r.status)},
                                {QStringLiteral("reason"), r.reason},
                                {QStringLiteral("best_mb_per_s"), r.bestMBps},
                                {QStringLiteral("mean_mb_per_s"), r.meanMBps},
                                {QStringLiteral("best_iops"), r.bestIops},
                                {QStringLiteral("mean_iops"), r.meanIops},
                                {QStringLiteral("passes"), passes}});
    }
    return list;
}

bool profilesFromJson(const QJsonArray &json, std::vector<ProfileRecord> &profiles, QString *error)
{
    QString problem;
    std::vector<ProfileRecord> list;
    for (const QJsonValue &entry : json) {
        EntryReader in(entry.toObject(), problem);
        ProfileRecord r;
        r.name = in.text("name");
        r.spec = in.text("spec");
        r.engine = in.text("engine");
        r.hugePageBuffers = in.flag("huge_page_buffers");
        r.fileSizeBytes = in.whole("file_size_bytes");
        const QString status = in.text("status");
        bool known = false;
        for (RunStatus value : {RunStatus::Complete, RunStatus::Stopped, RunStatus::Failed}) {
            if (status == toString(value))
                r.status = value, known = true;
        }
        if (!known && problem.isEmpty())
            problem = QStringLiteral("profile entry: unknown status \"%1\"").arg(status);
        r.reason = in.text("reason");
        r.bestMBps = in.number("best_mb_per_s");
        r.meanMBps = in.number("mean_mb_per_s");
        r.bestIops = in.number("best_iops");
        r.meanIops = in.number("mean_iops");
        for (const QJsonValue &pass : in.array("passes")) {
            EntryReader p(pass.toObject(), problem);
            ProfilePassRecord rec;
            rec.bytes = p.whole("bytes");
            rec.ios = p.whole("ios");
            rec.us = p.whole("us");
            rec.rateMBps = p.number("rate_mb_per_s");
            rec.iops = p.number("iops");
            rec.failedCalls = p.whole("failed_calls");
            rec.firstErrno = int(p.whole("first_errno"));
            QString histogramProblem;
            if (std::optional<LatencyHistogram> h = LatencyHistogram::fromJson(p.object("histogram"), &histogramProblem))
                rec.latency = *h;
            else if (problem.isEmpty())
                problem = QStringLiteral("profile entry: ") + histogramProblem;
            r.passes.push_back(rec);
        }
        if (!problem.isEmpty())
            break;
        list.push_back(std::move(r));
    }
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    profiles = std::move(list);
    return true;
}
