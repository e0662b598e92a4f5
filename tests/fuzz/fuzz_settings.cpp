#include "platform/SettingsStore.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const SettingsStore::Store store = SettingsStore::Store::FromContents(bytes);
    (void)store.value(QStringLiteral("Veltaro"), QStringLiteral("PrevPath1"));
    // Any value, written and read back, is the same bytes: a stored path keeps naming its folder.
    if (SettingsStore::UnescapeValue(SettingsStore::EscapeValue(bytes)) != bytes)
        std::abort();
    return 0;
}
