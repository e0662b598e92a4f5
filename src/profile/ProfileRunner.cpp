#include "profile/ProfileRunner.h"

#include <QDir>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <numeric>
#include <thread>
#include <unistd.h>

namespace Profiles {

namespace {

constexpr uint64_t kCreationTag = 0;
constexpr uint64_t kWarmUpTag = 1;
constexpr int64_t kCreationChunk = 1 << 20;
constexpr int kWarmUpMaxMs = 1000;

void CloseAndDelete(const QList<int> &fds, const QString &folder, int files, bool keep)
{
    for (int fd : fds)
        ::close(fd);
    for (int j = 0; j < files && !keep; ++j)
        ::unlink(QFile::encodeName(ProfileRunner::FilePath(folder, j)).constData());
}

double Best(const QList<PassFigures> &passes, double PassFigures::*field)
{
    double best = 0;
    for (const PassFigures &p : passes)
        best = std::max(best, p.*field);
    return best;
}

double Mean(const QList<PassFigures> &passes, double PassFigures::*field)
{
    if (passes.isEmpty())
        return 0;
    double sum = 0;
    for (const PassFigures &p : passes)
        sum += p.*field;
    return sum / double(passes.size());
}

} // namespace

double ProfileOutcome::bestMbps() const { return Best(passes, &PassFigures::mbps); }
double ProfileOutcome::meanMbps() const { return Mean(passes, &PassFigures::mbps); }
double ProfileOutcome::bestIops() const { return Best(passes, &PassFigures::iops); }
double ProfileOutcome::meanIops() const { return Mean(passes, &PassFigures::iops); }

ProfileRunner::ProfileRunner(const QString &folder, const ProfileOptions &options, Poll poll)
    : m_folder(folder), m_options(options), m_poll(std::move(poll))
{
}

QString ProfileRunner::FilePath(const QString &folder, int job)
{
    return QDir(folder).filePath(QStringLiteral("profile%1.tst").arg(job + 1));
}

ProfileOutcome ProfileRunner::run(const ProfileSpec &spec)
{
    ProfileOutcome out;
    out.spec = spec;
    if ((out.error = Validate(spec)))
        return out;
    if (spec.fileSize <= 0)
        return out.error = {ProfileError::FileSize, QString::number(spec.fileSize)}, out;
    // Whole blocks only, so random offsets and O_DIRECT transfers stay aligned.
    out.spec.fileSize = spec.fileSize / spec.blockSize * spec.blockSize;
    const QStorageInfo storage(m_folder);
    if (!storage.isValid() || !QDir(m_folder).exists())
        return out.error = {ProfileError::CreateFailed, m_folder, ENOENT}, out;
    if (storage.bytesAvailable() < out.spec.fileSize * spec.jobs)
        return out.error = {ProfileError::NoSpace, m_folder, ENOSPC}, out;

    QList<int> fds;
    if (!createFiles(out, fds)) {
        CloseAndDelete(fds, m_folder, spec.jobs, false);
        return out;
    }

    std::vector<std::unique_ptr<IoJob>> jobs;
    std::vector<std::unique_ptr<IoEngine>> engines;
    for (int j = 0; j < spec.jobs && !out.error; ++j) {
        jobs.push_back(std::make_unique<IoJob>(out.spec, fds[j], out.spec.fileSize));
        if (!jobs.back()->allocate()) {
            out.error = {ProfileError::IoFailed, m_folder, ENOMEM};
            break;
        }
        std::unique_ptr<IoEngine> engine;
        if (m_options.engine != EngineChoice::Threads && (j == 0 || out.engine == QLatin1String("io_uring")))
            engine = MakeUringEngine(*jobs.back(), out.uringErrno);
        if (!engine && m_options.engine == EngineChoice::Uring)
            out.error = {ProfileError::IoFailed, QStringLiteral("io_uring"), out.uringErrno};
        if (!engine)
            engine = MakeThreadEngine();
        out.engine = engine->name();
        engines.push_back(std::move(engine));
    }

    out.hugePageBuffers = !out.error && std::all_of(jobs.begin(), jobs.end(), [](const auto &job) {
        return job->hugePageBuffers();
    });
    PassTally tally;
    if (!out.error && m_options.warmUp) {
        const int64_t warmBytes = spec.bytes > 0 ? std::max<int64_t>(spec.blockSize, spec.bytes / 4) : 0;
        const int warmMs = spec.bytes > 0 ? 0 : std::min(kWarmUpMaxMs, std::max(1, spec.durationMs / 4));
        runPass(out, jobs, engines, kWarmUpTag, warmBytes, warmMs, tally);
    }
    for (int pass = 0; pass < spec.passes && !out.error && !out.stopped; ++pass) {
        PassTally total;
        if (!runPass(out, jobs, engines, kWarmUpTag + 1 + uint64_t(pass), spec.bytes, spec.durationMs, total))
            break;
        PassFigures f;
        f.bytes = total.bytesRead + total.bytesWritten;
        f.ios = total.ios;
        f.failures = total.failures;
        f.firstErrno = total.firstErrno;
        f.seconds = double(std::max<int64_t>(1, total.endNs - total.startNs)) / 1e9;
        f.mbps = double(f.bytes) / 1048576.0 / f.seconds;
        f.iops = double(f.ios) / f.seconds;
        f.latency = total.latency;
        out.passes << f;
    }
    engines.clear();
    jobs.clear();
    CloseAndDelete(fds, m_folder, spec.jobs, m_options.keepFiles);
    return out;
}

bool ProfileRunner::createFiles(ProfileOutcome &out, QList<int> &fds)
{
    const ProfileSpec &spec = out.spec;
    const int flags = O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC | (m_options.directIo ? O_DIRECT : 0) |
                      (m_options.writeThrough ? O_DSYNC : 0);
    // Every chunk is whole blocks of the same pattern, so the file reads like the profile wrote it.
    const int64_t chunk = std::max<int64_t>(spec.blockSize, kCreationChunk);
    char *data = nullptr;
    if (posix_memalign(reinterpret_cast<void **>(&data), IoJob::kAlignment, size_t(chunk)) != 0)
        return out.error = {ProfileError::IoFailed, m_folder, ENOMEM}, false;
    const std::unique_ptr<char, decltype(&std::free)> owner(data, &std::free);
    for (int64_t b = 0; b < chunk; b += spec.blockSize)
        IoJob::FillPattern(data + b, spec.blockSize, 0x5EED0000ull + uint64_t(spec.blockSize));

    int64_t lastPoll = NowNs();
    for (int j = 0; j < spec.jobs; ++j) {
        const QString path = FilePath(m_folder, j);
        const int fd = ::open(QFile::encodeName(path).constData(), flags, 0644);
        if (fd < 0) {
            const int err = errno;
            const bool noDirect = err == EINVAL && m_options.directIo;
            out.error = {noDirect ? ProfileError::NoDirectIo : ProfileError::CreateFailed, path, err};
            return false;
        }
        fds << fd;
        for (int64_t at = 0; at < spec.fileSize; at += chunk) {
            const int64_t len = std::min<int64_t>(chunk, spec.fileSize - at);
            IoJob::Stamp(data, len, at, kCreationTag);
            if (::pwrite(fd, data, size_t(len), at) != len) {
                out.error = {errno == ENOSPC ? ProfileError::NoSpace : ProfileError::CreateFailed, path, errno};
                return false;
            }
            if (NowNs() - lastPoll >= int64_t(m_options.pollMs) * 1000000) {
                if (m_poll && m_poll())
                    return out.stopped = true, false;
                lastPoll = NowNs();
            }
        }
        if (::fdatasync(fd) != 0)
            return out.error = {ProfileError::CreateFailed, path, errno}, false;
    }
    return true;
}

bool ProfileRunner::runPass(ProfileOutcome &out, std::vector<std::unique_ptr<IoJob>> &jobs,
                            std::vector<std::unique_ptr<IoEngine>> &engines, uint64_t tag, int64_t bytes,
                            int durationMs, PassTally &total)
{
    std::atomic<bool> stop{false};
    // The pass's span starts here for every job, so starting threads counts against it.
    const int64_t start = NowNs();
    const int64_t deadline = durationMs > 0 ? start + int64_t(durationMs) * 1000000 : 0;
    std::vector<PassTally> tallies(jobs.size());
    for (PassTally &t : tallies)
        t.startNs = start;
    std::mutex mutex;
    std::condition_variable done;
    size_t finished = 0;
    std::vector<std::thread> threads;
    for (size_t j = 0; j < jobs.size(); ++j) {
        jobs[j]->beginPass(tag, bytes, deadline, &stop);
        threads.emplace_back([&, j] {
            engines[j]->run(*jobs[j], tallies[j]);
            const std::lock_guard lock(mutex);
            ++finished;
            done.notify_one();
        });
    }
    {
        std::unique_lock lock(mutex);
        while (finished < jobs.size()) {
            done.wait_for(lock, std::chrono::milliseconds(m_options.pollMs));
            if (finished == jobs.size() || stop)
                continue;
            lock.unlock();
            const bool stopNow = m_poll && m_poll();
            lock.lock();
            if (stopNow) {
                stop = true;
                out.stopped = true;
            }
        }
    }
    for (std::thread &t : threads)
        t.join();
    for (const PassTally &t : tallies)
        total.add(t);
    if (total.failures > 0 && !out.error)
        out.error = {ProfileError::IoFailed, FilePath(m_folder, 0), total.firstErrno};
    return !out.stopped && !out.error;
}

} // namespace Profiles
