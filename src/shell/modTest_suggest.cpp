#include "shell/modTest_suggest.h"

#include "lang/modLang.h"
#include "platform/NumberText.h"
#include "platform/ui/MsgBox.h"
#include "shell/modGetDiskSpaceFree.h"

#include <cmath>
#include <limits>

namespace modTest {

namespace {

// Whole-number conversion as the counts get it: halves to the even neighbour, held to 32 bits.
std::int32_t RoundEven(double value)
{
    const double r = std::nearbyint(value);
    if (!(r >= std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (r > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(r);
}

std::int32_t Digits(std::int64_t value)
{
    return static_cast<std::int32_t>(QString::number(value).size());
}

} // namespace

Proposal ProposeValues(const QString &freeMB)
{
    Proposal p;
    p.free = RoundEven(LeadingNumber(freeMB));
    const std::int32_t free = p.free;
    if (free == 1) {
        p.megabytes = 1;
        p.files = 1;
        return p;
    }
    if (free == 2 || free == 3 || free == 5 || free == 7 || free == 9) {
        p.megabytes = 1;
        p.files = free;
        return p;
    }
    std::int32_t megabytes = RoundEven(static_cast<double>(free) / Digits(free));
    megabytes = RoundEven(static_cast<double>(megabytes) / std::pow(2.0, Digits(megabytes)));
    if (megabytes < 1)
        megabytes = 1;
    std::int32_t files = RoundEven(static_cast<double>(free) / megabytes);
    // Rounding can overshoot the free space; trade size for count until it fits.
    for (int corrections = 0; static_cast<std::int64_t>(files) * megabytes > free;) {
        --megabytes;
        ++files;
        if (++corrections > 32000)
            break;
    }
    p.files = files;
    p.megabytes = megabytes;
    return p;
}

QString ProposalMessage(const QString &path, const Proposal &p)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString mb = LangText(18, true, false, false, QStringLiteral(" MB"));
    return LangText(35, false, true, false, QStringLiteral("Freier Speicher auf")) + u'[' + path +
           QStringLiteral("]: ") + QString::number(p.free) + mb + crlf + crlf +
           LangText(36, false, true, false, QStringLiteral("Vorschlag für die Einstellungen: ")) +
           QString::number(p.files) + LangText(23, true, false, false, QStringLiteral(" Dateien")) +
           LangText(37, true, true, false, QStringLiteral(" á ")) + QString::number(p.megabytes) +
           LangText(18, true, true, false, QStringLiteral(" MB")) + QStringLiteral("= ") +
           QString::number(static_cast<std::int64_t>(p.files) * p.megabytes) + mb + crlf + crlf +
           LangText(38, false, false, false, QStringLiteral("Vorschlag übernehmen?"));
}

void SuggestValuesFor(std::int32_t &files, std::int32_t &megabytes, const QString &path, const QString &freeMB,
                      QWidget *parent)
{
    const Proposal p = ProposeValues(freeMB);
    const int style = MsgBoxStyle::YesNo | MsgBoxStyle::Information;
    if (MsgBox(ProposalMessage(path, p), style, QStringLiteral("Veltaro"), parent) == MsgBoxResult::Yes) {
        files = p.files;
        megabytes = p.megabytes;
    } else {
        files = -1;
        megabytes = -1;
    }
}

void SuggestValues(std::int32_t &files, std::int32_t &megabytes, const QString &path, QWidget *parent)
{
    SuggestValuesFor(files, megabytes, path, modGetDiskSpaceFree::FreeSpaceMB(path), parent);
}

} // namespace modTest
