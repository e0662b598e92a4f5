#include "lang/modLang.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    modLang::LoadLanguageData(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    for (int n : {-1, 0, 1, 12, 27, 53, 32767})
        for (int flags = 0; flags < 8; ++flags)
            (void)modLang::LangText(n, flags & 1, flags & 2, flags & 4, flags ? QString() : QStringLiteral("d"));
    return 0;
}
