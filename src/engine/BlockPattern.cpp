#include "engine/BlockPattern.h"

#include <array>
#include <cstring>

namespace BlockPattern {
namespace {

constexpr int kHeaderBytes = 20;

constexpr uint32_t kPolynomial = 0x82F63B78u; // Castagnoli, reflected

constexpr std::array<std::array<uint32_t, 256>, 8> makeTables()
{
    std::array<std::array<uint32_t, 256>, 8> t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (kPolynomial & (0u - (c & 1u)));
        t[0][i] = c;
    }
    for (int s = 1; s < 8; ++s) {
        for (int i = 0; i < 256; ++i)
            t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
    }
    return t;
}
constexpr auto kTables = makeTables();

uint32_t crcSoftware(const unsigned char *p, size_t n, uint32_t crc)
{
    for (; n >= 8; n -= 8, p += 8) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        v ^= crc;
        crc = kTables[7][v & 0xFF] ^ kTables[6][(v >> 8) & 0xFF] ^ kTables[5][(v >> 16) & 0xFF] ^
              kTables[4][(v >> 24) & 0xFF] ^ kTables[3][(v >> 32) & 0xFF] ^ kTables[2][(v >> 40) & 0xFF] ^
              kTables[1][(v >> 48) & 0xFF] ^ kTables[0][v >> 56];
    }
    while (n--)
        crc = (crc >> 8) ^ kTables[0][(crc ^ *p++) & 0xFF];
    return crc;
}

// The register update by n zero bytes is linear, so it is a 32 x 32 bit matrix, kept as four byte
// tables; it joins lanes that were computed side by side.
constexpr int kLaneBytes = 336;

constexpr uint32_t zeroByte(uint32_t c)
{
    for (int k = 0; k < 8; ++k)
        c = (c >> 1) ^ (kPolynomial & (0u - (c & 1u)));
    return c;
}

// A linear map over GF(2) given by the images of its input bits, as one table per input byte.
template <size_t Bits> constexpr std::array<std::array<uint32_t, 256>, Bits / 8> byteTables(const std::array<uint32_t, Bits> &basis)
{
    std::array<std::array<uint32_t, 256>, Bits / 8> t{};
    for (size_t k = 0; k < Bits / 8; ++k) {
        for (int b = 0; b < 256; ++b) {
            uint32_t v = 0;
            for (int j = 0; j < 8; ++j)
                v ^= (b >> j & 1) ? basis[8 * k + j] : 0u;
            t[k][b] = v;
        }
    }
    return t;
}

constexpr std::array<std::array<uint32_t, 256>, 4> makeShift(int bytes)
{
    std::array<uint32_t, 32> basis{};
    for (int bit = 0; bit < 32; ++bit) {
        uint32_t c = 1u << bit;
        for (int n = 0; n < bytes; ++n)
            c = zeroByte(c);
        basis[bit] = c;
    }
    return byteTables(basis);
}
constexpr auto kShiftLane = makeShift(kLaneBytes);

inline uint32_t shiftLane(uint32_t c)
{
    return kShiftLane[0][c & 0xFF] ^ kShiftLane[1][(c >> 8) & 0xFF] ^ kShiftLane[2][(c >> 16) & 0xFF] ^
           kShiftLane[3][c >> 24];
}

#if defined(__x86_64__)
// Three independent streams hide the instruction's latency; a block is three lanes and a tail.
__attribute__((target("sse4.2"))) uint32_t crcHardware(const unsigned char *p, size_t n, uint32_t crc)
{
    while (n >= 3 * kLaneBytes) {
        uint64_t c0 = crc, c1 = 0, c2 = 0;
        for (int at = 0; at < kLaneBytes; at += 8) {
            uint64_t v0, v1, v2;
            std::memcpy(&v0, p + at, 8);
            std::memcpy(&v1, p + kLaneBytes + at, 8);
            std::memcpy(&v2, p + 2 * kLaneBytes + at, 8);
            c0 = __builtin_ia32_crc32di(c0, v0);
            c1 = __builtin_ia32_crc32di(c1, v1);
            c2 = __builtin_ia32_crc32di(c2, v2);
        }
        crc = shiftLane(shiftLane(uint32_t(c0)) ^ uint32_t(c1)) ^ uint32_t(c2);
        p += 3 * kLaneBytes;
        n -= 3 * kLaneBytes;
    }
    uint64_t c = crc;
    for (; n >= 8; n -= 8, p += 8) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        c = __builtin_ia32_crc32di(c, v);
    }
    uint32_t c32 = uint32_t(c);
    while (n--)
        c32 = __builtin_ia32_crc32qi(c32, *p++);
    return c32;
}
// Static initialisation may run before the processor model is read: read it first.
const bool kHasHardwareCrc = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse4.2") != 0;
}();
#endif

// splitmix64: a well-mixed word from any seed.
inline uint64_t mix(uint64_t &state)
{
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

constexpr int kPayloadBytes = kChecksumOffset - kHeaderBytes;
static_assert(kPayloadBytes % 8 == 0);

// The CRC register after the payload, by linearity: the header's register moved past the payload,
// the pad's share, and the share of the place's word, which repeats in every payload word.
constexpr auto kShiftPayload = makeShift(kPayloadBytes);

constexpr std::array<std::array<uint32_t, 256>, 8> makeWordTables()
{
    std::array<uint32_t, 64> basis{};
    for (int bit = 0; bit < 64; ++bit) {
        uint32_t c = 0;
        for (int n = 0; n < kPayloadBytes; ++n) {
            const int inWord = n % 8;
            const uint32_t byte = (bit / 8 == inWord) ? (1u << (bit % 8)) : 0u;
            c = zeroByte(c ^ byte);
        }
        basis[bit] = c;
    }
    return byteTables(basis);
}
constexpr auto kWordTables = makeWordTables();

inline uint32_t shiftPayload(uint32_t c)
{
    return kShiftPayload[0][c & 0xFF] ^ kShiftPayload[1][(c >> 8) & 0xFF] ^ kShiftPayload[2][(c >> 16) & 0xFF] ^
           kShiftPayload[3][c >> 24];
}

inline uint32_t wordShare(uint64_t w)
{
    uint32_t c = 0;
    for (int k = 0; k < 8; ++k)
        c ^= kWordTables[k][(w >> (8 * k)) & 0xFF];
    return c;
}

// The raw register update, without the inversions before and after.
uint32_t crcRegister(const void *data, size_t length, uint32_t crc)
{
    const auto *p = static_cast<const unsigned char *>(data);
#if defined(__x86_64__)
    if (kHasHardwareCrc)
        return crcHardware(p, length, crc);
#endif
    return crcSoftware(p, length, crc);
}

inline uint64_t placeWord(uint64_t runId, uint32_t file, uint64_t blockNumber)
{
    uint64_t state = runId ^ (uint64_t(file) << 40) ^ (blockNumber * 0xD6E8FEB86659FD93ull);
    return mix(state);
}

template <typename T> T load(const char *p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

} // namespace

uint32_t Crc32c(const void *data, size_t length, uint32_t crc)
{
    return ~crcRegister(data, length, ~crc);
}

uint32_t Crc32cPortable(const void *data, size_t length, uint32_t crc)
{
    return ~crcSoftware(static_cast<const unsigned char *>(data), length, ~crc);
}

Generator::Generator(uint64_t runId) : m_runId(runId)
{
    uint64_t state = runId ^ 0x5BD1E9955BD1E995ull;
    for (uint64_t &word : m_pad)
        word = mix(state);
    m_padRegister = crcRegister(m_pad, sizeof m_pad, 0);
}

void Generator::Fill(char *block, uint32_t file, uint64_t blockNumber) const
{
    std::memcpy(block, &m_runId, 8);
    std::memcpy(block + 8, &file, 4);
    std::memcpy(block + 12, &blockNumber, 8);
    const uint64_t w = placeWord(m_runId, file, blockNumber);
    for (int i = 0; i < kPayloadWords; ++i) {
        const uint64_t v = m_pad[i] ^ w;
        std::memcpy(block + kHeaderBytes + 8 * i, &v, 8);
    }
    const uint32_t reg = shiftPayload(crcRegister(block, kHeaderBytes, ~0u)) ^ m_padRegister ^ wordShare(w);
    const uint32_t crc = ~reg;
    std::memcpy(block + kChecksumOffset, &crc, 4);
}

Check Generator::Verify(const char *block, int bytes, uint32_t file, uint64_t blockNumber) const
{
    Check result;
    if (bytes != kBlockBytes || Crc32c(block, kChecksumOffset) != load<uint32_t>(block + kChecksumOffset) ||
        load<uint64_t>(block) != m_runId)
        return result;
    const uint32_t originFile = load<uint32_t>(block + 8);
    const uint64_t originBlock = load<uint64_t>(block + 12);
    // The checksum holds, so the content must be what its own header says; a mismatch is damage.
    const uint64_t w = placeWord(m_runId, originFile, originBlock);
    for (int i = 0; i < kPayloadWords; ++i) {
        if (load<uint64_t>(block + kHeaderBytes + 8 * i) != (m_pad[i] ^ w))
            return result;
    }
    if (originFile != file || originBlock != blockNumber)
        return {Verdict::Misplaced, originFile, originBlock};
    return {Verdict::Good, file, blockNumber};
}

} // namespace BlockPattern
