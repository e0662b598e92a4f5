// The io_uring engine: the whole queue driven from one thread, one system call per round of
// completions (submit the refills and wait for the next).
#include "profile/IoEngine.h"

#include <liburing.h>

#include <cerrno>
#include <sys/uio.h>
#include <vector>

namespace Profiles {

namespace {

class UringEngine final : public IoEngine {
public:
    ~UringEngine() override
    {
        if (m_ready)
            io_uring_queue_exit(&m_ring);
    }

    int init(IoJob &job)
    {
        if (const int r = io_uring_queue_init(unsigned(job.queueSlots()), &m_ring, 0); r < 0)
            return -r;
        m_ready = true;
        std::vector<iovec> iov(size_t(job.queueSlots()));
        for (int s = 0; s < job.queueSlots(); ++s)
            iov[size_t(s)] = {job.buffer(s), size_t(job.blockSize())};
        // Both registrations only save the kernel work per block; without them the engine still runs.
        m_fixedBuffers = io_uring_register_buffers(&m_ring, iov.data(), unsigned(iov.size())) == 0;
        const int fd = job.fd();
        m_fixedFile = io_uring_register_files(&m_ring, &fd, 1) == 0;
        m_issued.assign(size_t(job.queueSlots()), 0);
        m_ops.assign(size_t(job.queueSlots()), {});
        return 0;
    }

    QString name() const override { return QStringLiteral("io_uring"); }

    void run(IoJob &job, PassTally &t) override
    {
        Rng &rng = m_rng;
        int64_t now = NowNs();
        int inflight = 0;
        for (int s = 0; s < job.queueSlots() && prepare(job, rng, s, now); ++s)
            ++inflight;
        while (inflight > 0) {
            const int r = io_uring_submit_and_wait(&m_ring, 1);
            if (r < 0 && r != -EINTR && r != -EAGAIN && r != -EBUSY) {
                // The ring is unusable: what is in flight cannot be waited for any more.
                t.firstErrno = t.firstErrno ? t.firstErrno : -r;
                ++t.failures;
                break;
            }
            now = NowNs();
            unsigned head;
            unsigned seen = 0;
            io_uring_cqe *cqe;
            io_uring_for_each_cqe(&m_ring, head, cqe)
            {
                ++seen;
                const int s = int(cqe->user_data);
                --inflight;
                t.complete(m_ops[size_t(s)].write, cqe->res, job.blockSize(), now - m_issued[size_t(s)]);
                if (prepare(job, rng, s, now))
                    ++inflight;
            }
            io_uring_cq_advance(&m_ring, seen);
        }
        t.endNs = now;
    }

private:
    bool prepare(IoJob &job, Rng &rng, int s, int64_t now)
    {
        IoJob::Op &op = m_ops[size_t(s)];
        if (!job.next(rng, now, op))
            return false;
        io_uring_sqe *sqe = io_uring_get_sqe(&m_ring); // never empty: the ring holds the whole queue
        char *buf = job.buffer(s);
        const unsigned len = unsigned(job.blockSize());
        const int fd = m_fixedFile ? 0 : job.fd();
        if (op.write) {
            job.stamp(buf, op.offset);
            if (m_fixedBuffers)
                io_uring_prep_write_fixed(sqe, fd, buf, len, uint64_t(op.offset), s);
            else
                io_uring_prep_write(sqe, fd, buf, len, uint64_t(op.offset));
        } else if (m_fixedBuffers) {
            io_uring_prep_read_fixed(sqe, fd, buf, len, uint64_t(op.offset), s);
        } else {
            io_uring_prep_read(sqe, fd, buf, len, uint64_t(op.offset));
        }
        if (m_fixedFile)
            sqe->flags |= IOSQE_FIXED_FILE;
        io_uring_sqe_set_data64(sqe, uint64_t(s));
        m_issued[size_t(s)] = now;
        return true;
    }

    io_uring m_ring{};
    Rng m_rng{0x243F6A8885A308D3ull};
    bool m_ready = false;
    bool m_fixedBuffers = false;
    bool m_fixedFile = false;
    std::vector<int64_t> m_issued;
    std::vector<IoJob::Op> m_ops;
};

} // namespace

std::unique_ptr<IoEngine> MakeUringEngine(IoJob &job, int &refusedErrno)
{
    auto engine = std::make_unique<UringEngine>();
    refusedErrno = engine->init(job);
    if (refusedErrno)
        return nullptr;
    return engine;
}

} // namespace Profiles
