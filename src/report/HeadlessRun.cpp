#include "report/HeadlessRun.h"

#include "report/HeadlessContext.h"

QString HeadlessTargetPath(const QString &folder)
{
    HeadlessContext ctx;
    ctx.Drive1Text = folder;
    return ctx.TargetPath();
}

bool HeadlessTargetAccepted(const QString &path)
{
    HeadlessContext ctx;
    return ctx.TargetAccepted(path);
}

RunRecord RunHeadless(const HeadlessRunOptions &options, const std::function<void(const QString &)> &onLine)
{
    HeadlessContext ctx;
    ApplyOptions(options, ctx);
    ctx.OnLog = onLine;
    Start(options, ctx);
    return ctx.Record();
}

void ApplyOptions(const HeadlessRunOptions &options, HeadlessContext &ctx)
{
    ctx.Drive1Text = options.folder;
    ctx.Txt1Text = options.count;
    ctx.Txt2Text = options.sizeMB;
    ctx.chkDisableCaching = options.disableCaching;
    ctx.chkEnableWriteThrough = options.writeThrough;
    ctx.ChkDoEvents = options.lightPump;
    ctx.Chk11 = options.writeLogFile;
    ctx.chkReadFromDevice = options.readUncached;
    ctx.directIoRefused = options.directIoRefused;
    ctx.chkVerifyData = options.verifyData;
    ctx.ExternalStop = options.stopRequested;
}

void Start(const HeadlessRunOptions &options, HeadlessContext &ctx)
{
    if (options.multiple)
        StartMultiple(ctx);
    else
        StartSingle(ctx);
}
