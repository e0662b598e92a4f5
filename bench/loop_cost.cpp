// What Veltaro's write loop costs beside the least a loop can cost, told apart from the machine's
// noise. The runner and the bare loop of bench.py run as separate processes seconds apart, and on
// a shared machine their rates swing by a third from one run to the next. Here the engine's single
// test (one file, through the cache unless --direct) and a bare loop of 1 KiB write(2) calls take
// turns in one process on the same folder, each round a few milliseconds after the other, so the
// noise mostly falls on both of a round's runs.
//   build/bin/bench_loop [--direct] [folder] [rounds] [size MB]
// Prints each contender's median rate and the median of the rounds' ratios with its 95 % interval,
// against a bare loop of write(2) calls and against one that makes its calls as the engine does.
#include "engine/RunRecord.h"
#include "platform/BlockCall.h"
#include "report/HeadlessRun.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr double MB = 1048576.0;

uint64_t monotonicNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000000000u + uint64_t(ts.tv_nsec);
}

// As bench/bareloop.c times it: from the first block to the last, creation and flush outside.
// inLine makes each block's call as the engine does, without libc's wrapper.
double bareRate(const std::string &folder, int sizeMB, bool direct, bool inLine)
{
    alignas(4096) static char block[4096];
    std::memset(block, 'x', 1022);
    const std::string path = folder + "/bare.1";
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (direct ? O_DIRECT : 0), 0644);
    if (fd < 0 && direct)
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
    ::fsync(fd);
    const long blocks = long(sizeMB) * 1024;
    const uint64_t t0 = monotonicNs();
    if (inLine) {
        for (long b = 0; b < blocks; ++b)
            if (BlockCall::PWrite(fd, block, 1024, b * 1024) != 1024)
                std::exit(1);
    } else {
        for (long b = 0; b < blocks; ++b)
            if (::write(fd, block, 1024) != 1024)
                std::exit(1);
    }
    const double seconds = double(monotonicNs() - t0) / 1e9;
    ::fsync(fd);
    ::close(fd);
    ::unlink(path.c_str());
    return sizeMB / seconds;
}

// The write phase's exact rate: bytes over its span in microseconds, as bench.py reads it.
double veltaroRate(const QString &folder, int sizeMB, bool direct)
{
    HeadlessRunOptions options;
    options.folder = folder;
    options.count = QStringLiteral("1");
    options.sizeMB = QString::number(sizeMB);
    options.disableCaching = direct;
    const RunRecord record = RunHeadless(options, [](const QString &) {});
    const PhaseRecord *write = record.phase(PhaseKind::Write);
    if (!write || !write->completed || write->us <= 0) {
        std::fprintf(stderr, "the run's write phase did not complete\n");
        std::exit(1);
    }
    return double(write->bytesTransferred) / MB / (double(write->us) / 1e6);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// The order statistics that bound the median at 95 %, whatever the shape of the noise.
std::pair<double, double> medianInterval(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const double n = double(v.size());
    const long k = std::max(0L, long(std::floor((n - 1.96 * std::sqrt(n)) / 2)));
    return {v[size_t(k)], v[v.size() - 1 - size_t(k)]};
}

void printRatios(const char *label, const std::vector<double> &ratios)
{
    const auto [low, high] = medianInterval(ratios);
    std::printf("%s median %.3f (95 %% interval %.3f-%.3f)\n", label, median(ratios), low, high);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool direct = !args.empty() && args.front() == "--direct";
    if (direct)
        args.erase(args.begin());
    const std::string folder = args.size() > 0 ? args[0] : "/var/tmp";
    const int rounds = args.size() > 1 ? std::atoi(args[1].c_str()) : 101;
    const int sizeMB = args.size() > 2 ? std::atoi(args[2].c_str()) : 8;

    // The bare loop twice: with libc's write(2), as bench/bareloop.c, and with the engine's in-line
    // call, which tells the per-block bookkeeping apart from the way the call is made.
    std::vector<double> ours, bare, inLine, ratios, inLineRatios;
    for (int round = 0; round < rounds; ++round) {
        // Each takes the lead in turn, so none always runs on another's freshly freed pages.
        double rate[3] = {};
        for (int i = 0; i < 3; ++i) {
            const int k = (round + i) % 3;
            rate[k] = k == 0 ? veltaroRate(QString::fromStdString(folder), sizeMB, direct)
                             : bareRate(folder, sizeMB, direct, k == 2);
        }
        ours.push_back(rate[0]);
        bare.push_back(rate[1]);
        inLine.push_back(rate[2]);
        ratios.push_back(rate[0] / rate[1]);
        inLineRatios.push_back(rate[0] / rate[2]);
    }
    std::printf("%s 1 x %d MB, %d rounds: veltaro %.1f MB/s, bare write(2) %.1f MB/s, bare in-line %.1f MB/s (medians)\n",
                direct ? "cache disabled" : "cache enabled", sizeMB, rounds, median(ours), median(bare), median(inLine));
    printRatios("veltaro/bare write(2):", ratios);
    printRatios("veltaro/bare in-line: ", inLineRatios);
    return 0;
}
