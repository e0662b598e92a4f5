#pragma once

#include <cstddef>
#include <cstdint>

// The verified block: a unique, incompressible 1024 bytes that say where they belong.
//   bytes    0..7   run id          (little-endian)
//   bytes    8..11  file number
//   bytes   12..19  block number within the file
//   bytes   20..1019 payload unique to the run and the place
//   bytes 1020..1023 CRC32C of bytes 0..1019
// A block read back from another place keeps a sound checksum but names the other place, so a
// device that maps two addresses onto one cell (as counterfeit cards do) is caught, and one that
// compresses or deduplicates gains nothing.
namespace BlockPattern {

constexpr int kBlockBytes = 1024;
constexpr int kChecksumOffset = kBlockBytes - 4;

uint32_t Crc32c(const void *data, size_t length, uint32_t crc = 0);
// The same without the processor's CRC instruction, as machines without it compute it.
uint32_t Crc32cPortable(const void *data, size_t length, uint32_t crc = 0);

enum class Verdict { Good, Bad, Misplaced };

struct Check {
    Verdict verdict = Verdict::Bad;
    uint32_t originFile = 0;   // for a misplaced block: where it was written
    uint64_t originBlock = 0;
};

// The blocks of one run. The payload is a random pad drawn once from the run id, XORed with a
// 64-bit word mixed from the file and block number: each block differs from every other in every
// word and looks random on its own, and since the payload is linear in that word, its checksum
// comes from tables instead of a pass over the bytes. Made once per run; Fill and Verify allocate
// nothing.
class Generator {
public:
    explicit Generator(uint64_t runId);

    uint64_t runId() const { return m_runId; }
    // Writes the block of this place into block (kBlockBytes).
    void Fill(char *block, uint32_t file, uint64_t blockNumber) const;
    // Checks a block read at (file, blockNumber); bytes is what the read returned. A short read, a
    // wrong checksum, another run's block or wrong content is Bad; a sound block of this run that
    // names another place is Misplaced.
    Check Verify(const char *block, int bytes, uint32_t file, uint64_t blockNumber) const;

private:
    static constexpr int kPayloadWords = 125;
    uint64_t m_runId;
    uint64_t m_pad[kPayloadWords];
    uint32_t m_padRegister; // the CRC register's share of the pad
};

} // namespace BlockPattern
