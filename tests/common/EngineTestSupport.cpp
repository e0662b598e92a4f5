#include "common/EngineTestSupport.h"

#include "shell/lang/modLang.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>

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
    return TimerComponent::Create([now, stepMs]() -> std::optional<int64_t> {
        const int64_t reading = *now;
        *now += stepMs;
        return reading;
    });
}

std::unique_ptr<HeadlessContext> MakeContext(const QString &folder)
{
    auto ctx = std::make_unique<HeadlessContext>();
    ctx->Drive1Text = folder;
    ctx->CreateTimer = [] { return SteppingTimer(1532); };
    ctx->Pump = [](bool) {};
    ctx->Stop = false; // as during a run
    return ctx;
}

bool SameLines(const QStringList &actual, const QStringList &expected, QString *difference)
{
    static const QRegularExpression time(QStringLiteral("^\\d\\d:\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d$"));
    const qsizetype n = std::max(actual.size(), expected.size());
    for (qsizetype i = 0; i < n; ++i) {
        const QString a = i < actual.size() ? actual[i] : QStringLiteral("<missing>");
        const QString e = i < expected.size() ? expected[i] : QStringLiteral("<missing>");
        bool same = a == e;
        const qsizetype marker = e.indexOf(QLatin1String("<time>"));
        if (!same && marker >= 0 && a.startsWith(e.left(marker)))
            same = time.match(a.mid(marker)).hasMatch();
        if (!same) {
            *difference = QStringLiteral("line %1: got \"%2\", expected \"%3\"\nwhole log:\n%4")
                              .arg(i + 1)
                              .arg(a, e, actual.join(u'\n'));
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

int OpenDescriptors()
{
    return static_cast<int>(
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System).size());
}

} // namespace EngineTest
