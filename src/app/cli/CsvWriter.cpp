#include "app/cli/CsvWriter.h"

#include <QRegularExpression>
#include <QStringList>

namespace CsvWriter {

namespace {

QString Rate(int64_t bytes, int32_t ms)
{
    if (ms <= 0)
        return {};
    return QString::number(double(bytes) / RunUnits::kBytesPerMB / (ms / 1000.0), 'f', 3);
}

// Short reads are the read phase's fault and failed writes the write phase's; the other is 0.
QString Row(const RunRecord &r, const PhaseRecord &p, const QString &file, int64_t bytes, const QString &ms,
            const QString &rate, int64_t shortCalls, int64_t failedCalls)
{
    const bool read = p.kind == PhaseKind::Read;
    return QStringList{toString(r.kind),
                       file,
                       toString(p.kind),
                       QString::number(bytes),
                       ms,
                       rate,
                       QString::number(read ? shortCalls : 0),
                       QString::number(read ? 0 : failedCalls)}
               .join(u',') +
           u'\n';
}

// Quoted when it holds a comma, a quote or a line break; a profile as typed always has commas.
QString Field(const QString &text)
{
    if (!text.contains(QRegularExpression(QStringLiteral("[,\"\r\n]"))))
        return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QByteArray ProfileRows(const RunRecord &r)
{
    QString out = QStringLiteral("kind,profile,spec,engine,status,reason,pass,bytes,ios,microseconds,mb_per_s,iops,"
                                 "failed_calls,p50_us,p99_us,max_us\n");
    for (const ProfileRecord &p : r.profiles) {
        const QStringList head{toString(r.kind), Field(p.name), Field(p.spec), p.engine, toString(p.status), p.reason};
        // A profile that measured nothing still gets a row, so its failure is seen.
        if (p.passes.empty())
            out += (head + QStringList(10, QString())).join(u',') + u'\n';
        for (size_t n = 0; n < p.passes.size(); ++n) {
            const ProfilePassRecord &pass = p.passes[n];
            const bool timed = pass.latency.count() > 0;
            const LatencySummary s = LatencySummary::of(pass.latency);
            const auto us = [timed](double v) { return timed ? QString::number(v, 'f', 1) : QString(); };
            out += (head + QStringList{QString::number(n + 1), QString::number(pass.bytes), QString::number(pass.ios),
                                       QString::number(pass.us), QString::number(pass.rateMBps, 'f', 3),
                                       QString::number(pass.iops, 'f', 0), QString::number(pass.failedCalls),
                                       us(s.p50Us), us(s.p99Us), us(s.maxUs)})
                       .join(u',') +
                   u'\n';
        }
    }
    return out.toUtf8();
}

} // namespace

QByteArray Rows(const RunRecord &r)
{
    if (r.kind == RunKind::Profile)
        return ProfileRows(r);
    QString out = QStringLiteral("kind,file,phase,bytes,milliseconds,mb_per_s,short_reads,failed_writes\n");
    for (const PhaseRecord &p : r.phases) {
        for (const FileRecord &f : p.files) {
            const QString ms = f.timed ? QString::number(f.ms) : QString();
            out += Row(r, p, QString::number(f.number), f.bytesTransferred, ms,
                       f.timed ? Rate(f.bytesTransferred, f.ms) : QString(), f.shortCalls, f.failedCalls);
        }
        const QString rate = p.rateMBps ? QString::number(*p.rateMBps, 'f', 3) : QString();
        out += Row(r, p, QStringLiteral("all"), p.bytesTransferred, p.completed ? QString::number(p.ms) : QString(),
                   rate, p.shortCalls, p.failedCalls);
    }
    return out.toUtf8();
}

} // namespace CsvWriter
