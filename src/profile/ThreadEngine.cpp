// The fallback where io_uring is refused: the queue depth as that many threads, each with one
// block in flight through pread/pwrite.
#include "profile/IoEngine.h"

#include <cerrno>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

namespace Profiles {

namespace {

class ThreadEngine final : public IoEngine {
public:
    QString name() const override { return QStringLiteral("threads"); }

    void run(IoJob &job, PassTally &t) override
    {
        std::mutex merge;
        std::vector<std::thread> threads;
        threads.reserve(size_t(job.queueSlots()));
        for (int s = 0; s < job.queueSlots(); ++s) {
            threads.emplace_back([&job, &t, &merge, s] {
                PassTally mine;
                Rng rng(job.seed() + uint64_t(s) * 0x9E3779B97F4A7C15ull);
                char *buf = job.buffer(s);
                const size_t len = size_t(job.blockSize());
                IoJob::Op op;
                int64_t t0 = NowNs();
                while (job.next(rng, t0, op)) {
                    if (op.write)
                        job.stamp(buf, op.offset);
                    const ssize_t n = op.write ? pwrite(job.fd(), buf, len, op.offset)
                                               : pread(job.fd(), buf, len, op.offset);
                    const int64_t t1 = NowNs();
                    mine.complete(op.write, n < 0 ? -errno : n, job.blockSize(), t1 - t0);
                    t0 = t1;
                }
                mine.endNs = t0;
                const std::lock_guard lock(merge);
                t.add(mine);
            });
        }
        for (std::thread &th : threads)
            th.join();
    }
};

} // namespace

std::unique_ptr<IoEngine> MakeThreadEngine()
{
    return std::make_unique<ThreadEngine>();
}

} // namespace Profiles
