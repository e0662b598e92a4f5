#include "engine/DeviceRead.h"

#include "engine/PhaseSupport.h"
#include "platform/PageCacheState.h"
#include "platform/modFile.h"

namespace DeviceRead {

int DropTestFiles(const QString &path, int32_t count)
{
    int failed = 0;
    for (int32_t f = 1; f <= count; ++f)
        if (!PageCacheState::FlushAndDrop(PhaseSupport::TestFileName(path, f)))
            ++failed;
    return failed;
}

int32_t OpenForRead(const RunContext &ctx, const QString &fileName)
{
    if (ctx.ReadFromDevice() && ctx.DisableCaching()) {
        const int32_t handle = modFile::OpenFileForDirectRead(fileName);
        if (handle != 0)
            return handle;
    }
    return modFile::OpenFileForRead(fileName, modFile::OF_READ);
}

} // namespace DeviceRead
