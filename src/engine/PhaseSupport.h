#pragma once

#include "engine/RunContext.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// What the four phases share: 32-bit arithmetic that reports overflow, the pump check, texts.
namespace PhaseSupport {

std::optional<int32_t> Mul(int32_t a, int32_t b);
std::optional<int32_t> Add(int32_t a, int32_t b);
std::optional<int32_t> Sub(int32_t a, int32_t b);

// The value a progress bar is given: numerator × 100 / denominator in double precision, from
// 32-bit integer products; nothing when a product overflows or the denominator is 0.
std::optional<double> Percent(std::optional<int32_t> numerator, std::optional<int32_t> denominator);

enum class Pump { Skipped, Pumped, Stop };

// The pump check after each block step: the first check follows the second step, then every
// 100th. The counter starts at 0 with each phase.
inline Pump PumpCheck(RunContext &ctx, int32_t &counter)
{
    Pump result = Pump::Skipped;
    if (counter == 1) {
        if (ctx.StopRequested())
            return Pump::Stop;
        ctx.fDoEvents(!ctx.LightPump());
        result = Pump::Pumped;
    }
    if (++counter > 100)
        counter = 1;
    return result;
}

// average = (total / 1000) / count and rate = sizeMB / average; false on a division by zero.
bool Averages(int64_t totalMs, int32_t count, int32_t sizeMB, double &average, double &rate);

QString TestFileName(const QString &path, int32_t number);

// The caching flags of the write phases from the two check boxes.
uint32_t CacheFlags(const RunContext &ctx);

// Closes the open file (if any) with a flush, logs the failure's text and returns false.
bool FailClosing(RunContext &ctx, int32_t &handle, const QString &message);
// The same for every handle a multiple phase holds.
bool FailClosingAll(RunContext &ctx, std::vector<int32_t> &handles, const QString &message);
void CloseAll(std::vector<int32_t> &handles);

// Texts the phases share; the write and read phases fetch text 18 with different defaults.
QString Text(int number);
QString AccessFailed(const QString &path); // text 12, path, text 13
QString StartLine();
QString
CreateLine(int32_t count,
           int32_t totalMB); // "Erstelle 10 Dateien (100 MB)"                       // "Teststart: hh:mm dd.mm.yy"
QString EndLine();           // "Testende: hh:mm dd.mm.yy"
QString TimeLine(const QString &seconds, int32_t ms);
void LogAverages(RunContext &ctx, double average, double rate);

} // namespace PhaseSupport
