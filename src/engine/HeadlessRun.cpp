#include "engine/HeadlessRun.h"

#include "engine/HeadlessContext.h"

RunRecord RunHeadless(const HeadlessRunOptions &options, const std::function<void(const QString &)> &onLine)
{
    HeadlessContext ctx;
    ctx.Drive1Text = options.folder;
    ctx.Txt1Text = options.count;
    ctx.Txt2Text = options.sizeMB;
    ctx.chkDisableCaching = options.disableCaching;
    ctx.chkEnableWriteThrough = options.writeThrough;
    ctx.ChkDoEvents = options.lightPump;
    ctx.Chk11 = options.writeLogFile;
    ctx.OnLog = onLine;
    ctx.ExternalStop = options.stopRequested;
    if (options.multiple)
        StartMultiple(ctx);
    else
        StartSingle(ctx);
    return ctx.Record();
}
