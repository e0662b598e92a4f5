#include "app/cli/CsvWriter.h"

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

} // namespace

QByteArray Rows(const RunRecord &r)
{
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
