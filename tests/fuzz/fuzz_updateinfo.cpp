#include "shell/modDl.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const modDl::UpdateInfo info =
        modDl::ParseUpdateInfo(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    const modDl::VersionNumber announced = modDl::SplitVersion(info.CurrentVersion);
    // Whatever the file says, its version reads back as three plain numbers.
    if (modDl::SplitVersion(announced.toString()) != announced)
        std::abort();
    return 0;
}
