#pragma once

#include "profile/IoJob.h"

#include <QString>
#include <memory>

namespace Profiles {

// One way of moving a job's blocks. An engine serves one job; run() is called once per pass on
// the job's own thread and returns when the job may issue no more and all it issued completed.
// The tally comes with the pass's start; the engine adds what completed and when the last did.
class IoEngine {
public:
    virtual ~IoEngine() = default;
    virtual QString name() const = 0;
    virtual void run(IoJob &job, PassTally &tally) = 0;
};

enum class EngineChoice { Auto, Uring, Threads };

// io_uring with the job's buffers and file registered; nullptr when the kernel refuses it, with
// the reason in refusedErrno.
std::unique_ptr<IoEngine> MakeUringEngine(IoJob &job, int &refusedErrno);
// One thread per queue slot, each issuing pread/pwrite.
std::unique_ptr<IoEngine> MakeThreadEngine();

} // namespace Profiles
