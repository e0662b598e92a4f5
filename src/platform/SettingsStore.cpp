#include "platform/SettingsStore.h"

#include "platform/SafeOpen.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace SettingsStore {

namespace {

// Far beyond any real settings file; a bigger one is left alone rather than cut short.
constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

void AppendHexEscape(QByteArray &out, unsigned char c)
{
    static const char digits[] = "0123456789abcdef";
    out += "\\x";
    out += digits[c >> 4];
    out += digits[c & 15];
}

// A code unit from a \x escape, as the UTF-8 bytes QSettings would decode it to.
void AppendCodeUnit(QByteArray &out, uint unit)
{
    if (unit < 0x80)
        out += static_cast<char>(unit);
    else
        out += QString(QChar(static_cast<char16_t>(unit))).toUtf8();
}

QByteArray Trimmed(const QByteArray &text)
{
    return text.trimmed();
}

} // namespace

QString FilePath(const QString &application)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.config");
    return folder + u'/' + application + QStringLiteral(".conf");
}

QByteArray EscapeValue(const QByteArray &value)
{
    QByteArray out;
    out.reserve(value.size() + 2);
    if (value.startsWith('@'))
        out += '@';
    bool quote = false;
    bool escapeHexDigit = false; // a hex digit right after \x.. would be read as part of it
    for (const char c : value) {
        const auto b = static_cast<unsigned char>(c);
        if (c == ';' || c == ',' || c == '=')
            quote = true;
        if (escapeHexDigit && IsHexDigit(c)) {
            AppendHexEscape(out, b);
            continue;
        }
        escapeHexDigit = false;
        switch (c) {
        case '\a': out += "\\a"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\v': out += "\\v"; break;
        case '"':
        case '\\':
            out += '\\';
            out += c;
            break;
        default:
            if (b < 0x20 || b == 0x7F) {
                AppendHexEscape(out, b);
                escapeHexDigit = true;
            } else {
                out += c; // bytes above 0x7F as they are, valid UTF-8 or not
            }
        }
    }
    if (quote || out.startsWith(' ') || out.endsWith(' '))
        return '"' + out + '"';
    return out;
}

QByteArray UnescapeValue(const QByteArray &text)
{
    QByteArray out;
    out.reserve(text.size());
    const QByteArray s = Trimmed(text);
    bool inQuotes = false;
    qsizetype lastKept = 0; // blanks after the last quoted or escaped byte are not part of the value
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            inQuotes = !inQuotes;
            lastKept = out.size();
            continue;
        }
        if (c != '\\' || i + 1 >= s.size()) {
            out += c;
            if (inQuotes || c != ' ')
                lastKept = out.size();
            continue;
        }
        const char e = s[++i];
        switch (e) {
        case 'a': out += '\a'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'v': out += '\v'; break;
        case 'x': {
            uint unit = 0;
            while (i + 1 < s.size() && IsHexDigit(s[i + 1]))
                unit = ((unit << 4) | static_cast<uint>(QByteArray(1, s[++i]).toUInt(nullptr, 16))) & 0xFFFF;
            AppendCodeUnit(out, unit);
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                uint unit = static_cast<uint>(e - '0');
                while (i + 1 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '7')
                    unit = ((unit << 3) | static_cast<uint>(s[++i] - '0')) & 0xFFFF;
                AppendCodeUnit(out, unit);
            } else {
                out += e; // \" \\ \' \? and anything unknown: the character itself
            }
        }
        lastKept = out.size();
    }
    out.truncate(std::max(lastKept, static_cast<qsizetype>(0)));
    if (out.startsWith("@@"))
        out.remove(0, 1);
    return out;
}

Store::Store(const QString &application) : m_path(FilePath(application))
{
    QByteArray data;
    bool truncated = false;
    if (!SafeOpen::ReadRegular(m_path, kMaxFileBytes, data, &truncated)) {
        m_writable = SafeOpen::AbsentOrRegular(m_path) && !QFileInfo::exists(m_path);
        return;
    }
    m_writable = !truncated;
    parse(data);
}

Store Store::FromContents(const QByteArray &contents)
{
    Store store;
    store.parse(contents);
    return store;
}

void Store::parse(const QByteArray &data)
{
    QByteArray section = "General";
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0)
            end = data.size();
        const QByteArray line = Trimmed(data.mid(start, end - start));
        start = end + 1;
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArray key = Trimmed(line.left(eq));
        const QByteArray value = UnescapeValue(line.mid(eq + 1));
        set(section, key, value);
    }
}

namespace {
QByteArray IndexKey(const QByteArray &section, const QByteArray &key)
{
    return section + '\0' + key;
}
} // namespace

const Store::Entry *Store::find(const QByteArray &section, const QByteArray &key) const
{
    const auto it = m_index.constFind(IndexKey(section, key));
    return it == m_index.cend() ? nullptr : &m_entries[*it];
}

void Store::set(const QByteArray &section, const QByteArray &key, const QByteArray &value)
{
    const QByteArray index = IndexKey(section, key);
    const auto it = m_index.constFind(index);
    if (it != m_index.cend()) {
        m_entries[*it].value = value;
        return;
    }
    m_index.insert(index, m_entries.size());
    m_entries.push_back({section, key, value});
}

QByteArray Store::value(const QString &section, const QString &key, const QByteArray &defaultValue) const
{
    const Entry *entry = find(section.toUtf8(), key.toUtf8());
    return entry ? entry->value : defaultValue;
}

bool Store::contains(const QString &section, const QString &key) const
{
    return find(section.toUtf8(), key.toUtf8()) != nullptr;
}

void Store::setValue(const QString &section, const QString &key, const QByteArray &value)
{
    set(section.toUtf8(), key.toUtf8(), value);
}

bool Store::save() const
{
    // A settings file made read-only is kept as it is, not renamed over.
    if (!m_writable || (QFileInfo::exists(m_path) && ::access(QFile::encodeName(m_path).constData(), W_OK) != 0))
        return false;
    // Grouped by section in the order each first appeared.
    std::vector<QByteArray> sections;
    for (const Entry &e : m_entries)
        if (std::find(sections.begin(), sections.end(), e.section) == sections.end())
            sections.push_back(e.section);
    QByteArray text;
    for (const QByteArray &section : sections) {
        if (!text.isEmpty())
            text += '\n';
        text += '[' + section + "]\n";
        for (const Entry &e : m_entries)
            if (e.section == section)
                text += e.key + '=' + EscapeValue(e.value) + '\n';
    }

    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    QTemporaryFile file(m_path + QStringLiteral(".XXXXXX"));
    file.setAutoRemove(true);
    if (!file.open() || file.write(text) != text.size() || !file.flush())
        return false;
    // Checked again just before the rename: what appeared under the name meanwhile is left alone.
    if (!SafeOpen::AbsentOrRegular(m_path))
        return false;
    if (std::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(m_path).constData()) != 0)
        return false;
    file.setAutoRemove(false);
    return true;
}

QString GetSetting(const QString &application, const QString &section, const QString &key, const QString &defaultValue)
{
    const Store store(application);
    return store.contains(section, key) ? QString::fromUtf8(store.value(section, key)) : defaultValue;
}

void SaveSetting(const QString &application, const QString &section, const QString &key, const QString &value)
{
    Store store(application);
    store.setValue(section, key, value.toUtf8());
    store.save();
}
} // namespace SettingsStore
