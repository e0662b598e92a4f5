/* The least any tool can cost: 1 KiB write(2) calls on the same files as Veltaro's write phases,
 * timed the same way (from the first block to the last, the flush and close outside the span).
 *   bareloop FOLDER COUNT SIZE_MB DIRECT(0|1) MULTIPLE(0|1)
 * Prints the write rate in MB/s (MB = 1048576 bytes) and deletes its files. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static double now(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

static int open_file(const char *folder, int n, int direct)
{
    char name[4096];
    snprintf(name, sizeof name, "%s/bare.%d", folder, n);
    int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (direct ? O_DIRECT : 0), 0644);
    if (fd < 0 && direct)
        fd = open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        perror(name);
        exit(1);
    }
    fsync(fd);
    return fd;
}

static void remove_file(const char *folder, int n)
{
    char name[4096];
    snprintf(name, sizeof name, "%s/bare.%d", folder, n);
    unlink(name);
}

int main(int argc, char **argv)
{
    if (argc != 6) {
        fprintf(stderr, "usage: bareloop FOLDER COUNT SIZE_MB DIRECT MULTIPLE\n");
        return 2;
    }
    const char *folder = argv[1];
    const int count = atoi(argv[2]), size = atoi(argv[3]), direct = atoi(argv[4]), multiple = atoi(argv[5]);
    char *block = aligned_alloc(4096, 4096);
    memset(block, 'x', 1022);
    block[1022] = block[1023] = 0;
    const long blocks = (long)size * 1024;
    double total = 0;

    if (multiple) {
        int *fds = calloc(count, sizeof *fds);
        for (int f = 0; f < count; ++f)
            fds[f] = open_file(folder, f + 1, direct);
        const double t0 = now();
        for (long b = 0; b < blocks; ++b)
            for (int f = 0; f < count; ++f)
                if (write(fds[f], block, 1024) < 0)
                    return 1;
        total = now() - t0;
        for (int f = 0; f < count; ++f) {
            fsync(fds[f]);
            close(fds[f]);
        }
        free(fds);
    } else {
        for (int f = 1; f <= count; ++f) {
            const int fd = open_file(folder, f, direct);
            const double t0 = now();
            for (long b = 0; b < blocks; ++b)
                if (write(fd, block, 1024) < 0)
                    return 1;
            total += now() - t0;
            fsync(fd);
            close(fd);
        }
    }
    for (int f = 1; f <= count; ++f)
        remove_file(folder, f);
    free(block);
    printf("%.3f\n", (double)count * size / total);
    return 0;
}
