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

namespace {

QStringList Expand(const QStringList &expected)
{
    static const QRegularExpression repeat(QStringLiteral("^<(\\d+)> × (.*)$"));
    QStringList lines;
    for (const QString &line : expected) {
        const QRegularExpressionMatch m = repeat.match(line);
        if (!m.hasMatch()) {
            lines << line;
            continue;
        }
        for (int i = m.captured(1).toInt(); i > 0; --i)
            lines << m.captured(2);
    }
    return lines;
}

bool SameLine(const QString &actual, const QString &expected)
{
    static const QRegularExpression time(QStringLiteral("^\\d\\d:\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d$"));
    if (actual == expected)
        return true;
    const qsizetype marker = expected.indexOf(QLatin1String("<time>"));
    return marker >= 0 && actual.startsWith(expected.left(marker)) && time.match(actual.mid(marker)).hasMatch();
}

const QString kAnyLines = QStringLiteral("<...>");

// Whether actual from line a on matches expected from line e on; furthest is how far it got.
bool MatchFrom(const QStringList &actual, qsizetype a, const QStringList &expected, qsizetype e, qsizetype &furthest)
{
    // Plain lines in a row need no search.
    for (; e < expected.size() && expected[e] != kAnyLines; ++a, ++e) {
        furthest = std::max(furthest, a);
        if (a == actual.size() || !SameLine(actual[a], expected[e]))
            return false;
    }
    furthest = std::max(furthest, a);
    if (e == expected.size())
        return a == actual.size();
    for (qsizetype skip = a; skip <= actual.size(); ++skip)
        if (MatchFrom(actual, skip, expected, e + 1, furthest))
            return true;
    return false;
}

} // namespace

bool MatchLines(const QStringList &actual, const QStringList &expected, QString *difference)
{
    const QStringList want = Expand(expected);
    qsizetype furthest = 0;
    if (MatchFrom(actual, 0, want, 0, furthest))
        return true;
    // Long runs of one line are shown once with their count.
    QStringList shown;
    for (qsizetype i = 0; i < actual.size();) {
        qsizetype j = i;
        while (j < actual.size() && actual[j] == actual[i])
            ++j;
        shown << (j - i > 3 ? QStringLiteral("<%1> × %2").arg(j - i).arg(actual[i]) : actual.mid(i, j - i).join(u'\n'));
        i = j;
    }
    *difference = QStringLiteral("the log differs after line %1 (\"%2\")\nexpected:\n%3\nwhole log:\n%4")
                      .arg(furthest)
                      .arg(furthest > 0 && furthest <= actual.size() ? actual[furthest - 1] : QString())
                      .arg(expected.join(u'\n'), shown.join(u'\n'));
    return false;
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
