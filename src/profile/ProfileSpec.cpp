#include "profile/ProfileSpec.h"

#include <QRegularExpression>

#include <algorithm>

namespace Profiles {

namespace {

bool PowerOfTwo(qint64 v)
{
    return v > 0 && (v & (v - 1)) == 0;
}

// A number after a fixed prefix ("qd32"); false when the word does not start so or has no number.
bool PrefixedNumber(const QString &word, const char *prefix, qint64 &value)
{
    const QLatin1String p(prefix);
    if (!word.startsWith(p) || word.size() == p.size())
        return false;
    bool ok = false;
    value = word.mid(p.size()).toLongLong(&ok);
    return ok;
}

ProfileSpec Make(ProfileSpec::Pattern pattern, ProfileSpec::Access access, qint64 block, int depth)
{
    ProfileSpec s;
    s.pattern = pattern;
    s.access = access;
    s.blockSize = block;
    s.depth = depth;
    // "seq,read,1m,qd8" reads better as "seq1m-qd8-read".
    const QStringList w = Format(s).split(QLatin1Char(','));
    s.name = w[0] + w[2] + QLatin1Char('-') + w[3] + QLatin1Char('-') + w[1];
    return s;
}

} // namespace

qint64 ParseSize(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{1,12})([kmg]?)$"));
    const auto m = re.match(text.toLower());
    if (!m.hasMatch())
        return -1;
    const qint64 n = m.captured(1).toLongLong();
    const QString unit = m.captured(2);
    const int shift = unit == QLatin1String("k") ? 10 : unit == QLatin1String("m") ? 20 : unit == QLatin1String("g") ? 30 : 0;
    return n << shift;
}

QString SizeText(qint64 bytes)
{
    for (const auto &[shift, unit] : {std::pair{30, 'g'}, {20, 'm'}, {10, 'k'}}) {
        if (bytes > 0 && bytes % (qint64(1) << shift) == 0)
            return QString::number(bytes >> shift) + QLatin1Char(unit);
    }
    return QString::number(bytes);
}

ProfileError Validate(const ProfileSpec &s)
{
    if (!PowerOfTwo(s.blockSize) || s.blockSize < ProfileSpec::kMinBlock || s.blockSize > ProfileSpec::kMaxBlock)
        return {ProfileError::BlockSize, SizeText(s.blockSize)};
    if (s.fileSize < 0)
        return {ProfileError::FileSize, QString::number(s.fileSize)};
    if (s.fileSize > 0 && s.blockSize > s.fileSize)
        return {ProfileError::BlockAboveFile, SizeText(s.blockSize)};
    if (s.depth < 1 || s.depth > ProfileSpec::kMaxDepth)
        return {ProfileError::Depth, QString::number(s.depth)};
    if (s.jobs < 1 || s.jobs > ProfileSpec::kMaxJobs)
        return {ProfileError::Jobs, QString::number(s.jobs)};
    if (s.passes < 1 || s.passes > ProfileSpec::kMaxPasses)
        return {ProfileError::Passes, QString::number(s.passes)};
    if (s.durationMs <= 0 && s.bytes <= 0)
        return {ProfileError::Limit, QString()};
    if (s.depth * s.blockSize > ProfileSpec::kMaxQueueBytes)
        return {ProfileError::QueueTooLarge, QString::number(s.depth) + QLatin1Char('x') + SizeText(s.blockSize)};
    if (s.access == ProfileSpec::Access::Mix && (s.readShare < 0 || s.readShare > 100))
        return {ProfileError::UnknownToken, QStringLiteral("mix") + QString::number(s.readShare)};
    return {};
}

ProfileError Parse(const QString &text, ProfileSpec &spec, const ProfileSpec &base)
{
    ProfileSpec s = base;
    s.name.clear();
    const QStringList words = text.toLower().split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {ProfileError::UnknownToken, text};
    for (QString word : words) {
        word = word.trimmed();
        qint64 n = 0;
        if (word == QLatin1String("seq")) {
            s.pattern = ProfileSpec::Pattern::Sequential;
        } else if (word == QLatin1String("rnd") || word == QLatin1String("rand")) {
            s.pattern = ProfileSpec::Pattern::Random;
        } else if (word == QLatin1String("read")) {
            s.access = ProfileSpec::Access::Read;
            s.readShare = 100;
        } else if (word == QLatin1String("write")) {
            s.access = ProfileSpec::Access::Write;
            s.readShare = 0;
        } else if (PrefixedNumber(word, "mix", n)) {
            if (n < 0 || n > 100)
                return {ProfileError::UnknownToken, word};
            s.access = ProfileSpec::Access::Mix;
            s.readShare = int(n);
        } else if (PrefixedNumber(word, "qd", n)) {
            s.depth = int(std::clamp<qint64>(n, -1, 100000));
        } else if (PrefixedNumber(word, "jobs", n)) {
            s.jobs = int(std::clamp<qint64>(n, -1, 100000));
        } else if (PrefixedNumber(word, "passes", n)) {
            s.passes = int(std::clamp<qint64>(n, -1, 100000));
        } else if (word.startsWith(QLatin1String("size"))) {
            s.fileSize = ParseSize(word.mid(4));
            if (s.fileSize <= 0)
                return {ProfileError::FileSize, word};
        } else if (word.startsWith(QLatin1String("bytes"))) {
            s.bytes = ParseSize(word.mid(5));
            if (s.bytes <= 0)
                return {ProfileError::UnknownToken, word};
            s.durationMs = 0;
        } else if (word.endsWith(QLatin1String("ms")) && PrefixedNumber(word.chopped(2), "", n)) {
            s.durationMs = int(std::clamp<qint64>(n, 0, 86400000));
            s.bytes = 0;
        } else if (word.endsWith(QLatin1Char('s')) && PrefixedNumber(word.chopped(1), "", n)) {
            s.durationMs = int(std::clamp<qint64>(n * 1000, 0, 86400000));
            s.bytes = 0;
        } else if ((n = ParseSize(word)) >= 0) {
            s.blockSize = n;
        } else {
            return {ProfileError::UnknownToken, word};
        }
    }
    if (const ProfileError e = Validate(s))
        return e;
    spec = s;
    return {};
}

QString Format(const ProfileSpec &s)
{
    QStringList w;
    w << (s.pattern == ProfileSpec::Pattern::Sequential ? QStringLiteral("seq") : QStringLiteral("rnd"));
    if (s.access == ProfileSpec::Access::Mix)
        w << QStringLiteral("mix") + QString::number(s.readShare);
    else
        w << (s.access == ProfileSpec::Access::Read ? QStringLiteral("read") : QStringLiteral("write"));
    w << SizeText(s.blockSize) << QStringLiteral("qd") + QString::number(s.depth)
      << QStringLiteral("jobs") + QString::number(s.jobs);
    if (s.fileSize > 0)
        w << QStringLiteral("size") + SizeText(s.fileSize);
    if (s.bytes > 0)
        w << QStringLiteral("bytes") + SizeText(s.bytes);
    else
        w << (s.durationMs % 1000 == 0 ? QString::number(s.durationMs / 1000) + QLatin1Char('s')
                                       : QString::number(s.durationMs) + QStringLiteral("ms"));
    w << QStringLiteral("passes") + QString::number(s.passes);
    return w.join(QLatin1Char(','));
}

QList<ProfileSpec> Standard()
{
    using P = ProfileSpec::Pattern;
    using A = ProfileSpec::Access;
    QList<ProfileSpec> list;
    for (A access : {A::Read, A::Write}) {
        list << Make(P::Sequential, access, 1 << 20, 8) << Make(P::Sequential, access, 1 << 20, 1)
             << Make(P::Random, access, 4096, 32) << Make(P::Random, access, 4096, 1);
    }
    return list;
}

ProfileError Find(const QString &name, const QList<ProfileSpec> &userProfiles, QList<ProfileSpec> &found)
{
    const QString key = name.trimmed();
    if (key.compare(QLatin1String("standard"), Qt::CaseInsensitive) == 0) {
        found << Standard();
        return {};
    }
    for (const QList<ProfileSpec> &list : {userProfiles, Standard()}) {
        for (const ProfileSpec &s : list) {
            if (s.name.compare(key, Qt::CaseInsensitive) == 0) {
                found << s;
                return {};
            }
        }
    }
    return {ProfileError::UnknownName, key};
}

} // namespace Profiles
