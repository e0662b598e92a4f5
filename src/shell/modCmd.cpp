#include "shell/modCmd.h"

#include "platform/ProcessCommandLine.h"

namespace modCmd {

QString GetCommandParam(QString &key, QString &commandLine, bool wantValue, bool caseSensitive,
                        const QString &defaultValue, const QString &separator)
{
    const QString process = ProcessCommandLine();
    if (!process.isEmpty() && commandLine.isEmpty())
        commandLine = process;
    if (commandLine.isEmpty())
        return wantValue ? defaultValue : QString();
    if (!caseSensitive) {
        commandLine = commandLine.toLower();
        key = key.toLower();
    }
    if (!wantValue)
        return commandLine.contains(key) ? QStringLiteral("1") : QString();

    key += separator;
    const qsizetype pos = commandLine.indexOf(key);
    if (pos < 0)
        return defaultValue;
    const qsizetype start = pos + key.size();
    const qsizetype slash = commandLine.indexOf(u'/', start);
    QString value;
    if (slash >= 0) {
        // The value ends two characters before the "/", dropping the blank in front of it;
        // a "/" right after the key leaves a negative length, which gives empty text.
        const qsizetype length = slash - start - 1;
        if (length < 0)
            return QString();
        value = commandLine.mid(start, length);
    } else {
        value = commandLine.mid(start);
    }
    return value.isEmpty() ? defaultValue : value;
}

} // namespace modCmd
