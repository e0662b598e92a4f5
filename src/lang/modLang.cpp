#include "lang/modLang.h"

#include "platform/TextCodec.h"

#include "platform/SafeOpen.h"

#include <cmath>
#include <optional>

namespace modLang {

namespace {

const QChar kNulMarker(u'\0');
const QString kHeader = QStringLiteral("[Translation By:");

// The entry number: blanks around it allowed, a whole 16-bit value (halves round to even).
std::optional<int> EntryNumber(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value);
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return static_cast<int>(rounded);
}

} // namespace

LanguageState &state()
{
    static LanguageState s;
    return s;
}

QString PipeToNewLine(const QString &text)
{
    // One pass: replacing in place moves the tail once per "|", quadratic on a line of them.
    QString out;
    out.reserve(text.size() + text.count(u'|'));
    for (const QChar c : text) {
        if (c == u'|')
            out += QLatin1String("\r\n");
        else
            out += c;
    }
    return out;
}

void LoadLanguageData(const QByteArray &data, bool openFailed)
{
    LanguageState &st = state();
    st.LangLoadError = openFailed;
    st.tableExists = true;
    st.LangTable.assign(1, QString());

    std::optional<int> lastNumber; // a bad number line reuses the last good one
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0)
            end = data.size();
        QByteArray raw = data.mid(start, end - start);
        start = end + 1;
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QString line = DecodeWindows1252(raw);

        if (line.startsWith(u'#'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq >= 0) {
            if (const auto n = EntryNumber(line.left(eq)))
                lastNumber = n;
            else
                st.LangLoadError = true;
            if (!lastNumber || *lastNumber < 0)
                continue;
            const auto n = static_cast<size_t>(*lastNumber);
            if (n >= st.LangTable.size())
                st.LangTable.resize(n + 2); // upper index n + 1
            const QString text = line.mid(eq + 1);
            st.LangTable[n] = text.isEmpty() ? QString(kNulMarker) : PipeToNewLine(text);
        } else if (line.startsWith(kHeader)) {
            if (line.size() <= 17)
                st.LangLoadError = true;
            else
                st.TranslatorName = line.mid(17, line.size() - 18);
        }
    }
}

void LoadLanguageFile(const QString &fileName)
{
    state().LangFileName = fileName;
    // Anything but a regular file (a FIFO, a device such as /dev/zero) counts as missing, and a file
    // far beyond any real one is read only so far: start-up can neither hang nor run out of memory.
    QByteArray data;
    bool truncated = false;
    if (!SafeOpen::ReadRegular(fileName, kMaxLanguageFileBytes, data, &truncated)) {
        LoadLanguageData(QByteArray(), true);
        return;
    }
    LoadLanguageData(data);
    if (truncated)
        state().LangLoadError = true;
}

QString LangText(int number, bool lead, bool trail, bool upperFirst, const QString &defaultText)
{
    const LanguageState &st = state();
    const auto fallback = [&] { return defaultText.isEmpty() ? QStringLiteral("Translation Error!") : defaultText; };
    if (!st.tableExists || number < 0 || static_cast<size_t>(number) >= st.LangTable.size())
        return fallback();
    QString s = st.LangTable[static_cast<size_t>(number)];
    if (s.isEmpty())
        return fallback();
    if (s == kNulMarker)
        s.clear();
    if (upperFirst) {
        if (s.isEmpty())
            return fallback();
        s[0] = s[0].toUpper();
    }
    if (lead)
        s.prepend(u' ');
    if (trail)
        s.append(u' ');
    return s;
}

} // namespace modLang
