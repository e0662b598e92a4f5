#include "common/EngineTestSupport.h"

#include "lang/modLang.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <sys/resource.h>

namespace EngineTest {

void UseGerman()
{
    modLang::LoadLanguageData(QByteArray());
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

void UseEnglish()
{
    modLang::LoadLanguageFile(qEnvironmentVariable("VELTARO_SOURCE_DIR") + QStringLiteral("/lang/english.lng"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

std::unique_ptr<TimerComponent> SteppingTimer(int32_t stepMs)
{
    auto now = std::make_shared<int64_t>(100000);
    return TimerComponent::Create(
        [now, stepMs]() -> std::optional<int64_t> { return std::exchange(*now, *now + stepMs); });
}

Target::Target(int32_t stepMs) : path(dir.path() + u'/'), ctx(std::make_unique<HeadlessContext>())
{
    ctx->Drive1Text = path;
    ctx->CreateTimer = [stepMs] { return stepMs < 0 ? nullptr : SteppingTimer(stepMs); };
    ctx->Pump = [](bool) {};
    ctx->Stop = false;
}

bool SameLines(const QStringList &actual, const QStringList &expected, QString *difference)
{
    QStringList masked = actual;
    masked.replaceInStrings(QRegularExpression(QStringLiteral("\\d\\d:\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d$")), "<time>");
    for (qsizetype i = 0; i < std::max(actual.size(), expected.size()); ++i) {
        const QString a = masked.value(i, "<missing>"), e = expected.value(i, "<missing>");
        if (a != e) {
            *difference = QString("line %1: got \"%2\", expected \"%3\"\nwhole log:\n%4")
                              .arg(QString::number(i + 1), a, e, actual.join(u'\n'));
            return false;
        }
    }
    return true;
}

QByteArray Block()
{
    return QByteArray(1022, 'x') + QByteArray(2, '\0');
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList FilesIn(const QString &folder, const QString &pattern)
{
    return QDir(folder).entryList({pattern}, QDir::Files | QDir::Hidden, QDir::Name);
}

int LeakedUnderFileLimit(int extra, const std::function<void()> &run)
{
    const auto open = [] { return int(QDir("/proc/self/fd", {}, {}, QDir::AllEntries | QDir::System).count()) - 2; };
    rlimit old{};
    ::getrlimit(RLIMIT_NOFILE, &old);
    const int before = open();
    const rlimit low{rlim_t(before + extra), old.rlim_max};
    ::setrlimit(RLIMIT_NOFILE, &low);
    run();
    const int after = open();
    ::setrlimit(RLIMIT_NOFILE, &old);
    return after - before;
}

} // namespace EngineTest
