#include "profile/UserProfiles.h"

#include <QRegularExpression>
#include <QSettings>

namespace UserProfiles {

namespace {

const QString kKey = QStringLiteral("Profiles");

QStringList Entries()
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tavrin"));
    s.beginGroup(QStringLiteral("Veltaro"));
    return s.value(kKey).toString().split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

void Write(const QStringList &entries)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tavrin"));
    s.beginGroup(QStringLiteral("Veltaro"));
    s.setValue(kKey, entries.join(QLatin1Char(';')));
}

QString NameOf(const QString &entry)
{
    return entry.section(QLatin1Char('='), 0, 0);
}

} // namespace

QList<ProfileSpec> Load()
{
    QList<ProfileSpec> list;
    for (const QString &entry : Entries()) {
        ProfileSpec spec;
        if (Profiles::Parse(entry.section(QLatin1Char('='), 1), spec))
            continue;
        spec.name = NameOf(entry);
        list << spec;
    }
    return list;
}

ProfileError Save(const QString &name, const QString &specText)
{
    static const QRegularExpression valid(QStringLiteral("^[A-Za-z0-9._-]{1,40}$"));
    QList<ProfileSpec> standard;
    if (!valid.match(name).hasMatch() || !Profiles::Find(name, {}, standard))
        return {ProfileError::BadName, name};
    ProfileSpec spec;
    if (const ProfileError e = Profiles::Parse(specText, spec))
        return e;
    QStringList entries = Entries();
    entries.removeIf([&](const QString &e) { return NameOf(e).compare(name, Qt::CaseInsensitive) == 0; });
    entries << name + QLatin1Char('=') + Profiles::Format(spec);
    Write(entries);
    return {};
}

bool Remove(const QString &name)
{
    QStringList entries = Entries();
    const auto removed =
        entries.removeIf([&](const QString &e) { return NameOf(e).compare(name, Qt::CaseInsensitive) == 0; });
    if (removed)
        Write(entries);
    return removed > 0;
}

} // namespace UserProfiles
