// What the verified block costs beside the write it rides on: the time to fill a block and to check
// it, against one buffered 1 KiB write(2) to a file in the given folder (default /var/tmp).
//   build/bin/bench_pattern [folder] [blocks]
#include "engine/BlockPattern.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {
double nsPerBlock(long blocks, auto &&step)
{
    const auto t0 = std::chrono::steady_clock::now();
    for (long i = 0; i < blocks; ++i)
        step(i);
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count() / double(blocks);
}
} // namespace

int main(int argc, char **argv)
{
    const std::string folder = argc > 1 ? argv[1] : "/var/tmp";
    const long blocks = argc > 2 ? std::atol(argv[2]) : 4096;
    alignas(4096) static char block[BlockPattern::kBlockBytes];
    const BlockPattern::Generator pattern(0x5eed);

    const std::string path = folder + "/bench_pattern.tst";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) {
        std::perror(path.c_str());
        return 1;
    }
    double best[3] = {1e30, 1e30, 1e30};
    // The best of many short rounds: the figure of a quiet machine, not of its neighbours.
    for (int rep = 0; rep < 60; ++rep) {
        ::lseek(fd, 0, SEEK_SET);
        best[0] = std::min(best[0], nsPerBlock(blocks, [&](long i) {
            if (::write(fd, block, sizeof block) != sizeof block)
                std::abort();
            (void)i;
        }));
        best[1] = std::min(best[1], nsPerBlock(blocks, [&](long i) { pattern.Fill(block, 1, uint64_t(i)); }));
        best[2] = std::min(best[2], nsPerBlock(blocks, [&](long i) {
            pattern.Fill(block, 1, uint64_t(i));
            if (pattern.Verify(block, sizeof block, 1, uint64_t(i)).verdict != BlockPattern::Verdict::Good)
                std::abort();
        }));
    }
    ::close(fd);
    ::unlink(path.c_str());
    const double check = best[2] - best[1];
    std::printf("buffered 1 KiB write(2): %8.1f ns/block\n", best[0]);
    std::printf("fill a verified block:   %8.1f ns/block  (%.3f of a write)\n", best[1], best[1] / best[0]);
    std::printf("check a verified block:  %8.1f ns/block  (%.3f of a write)\n", check, check / best[0]);
    return best[1] < best[0] / 10 ? 0 : 3;
}
