#include "profile/UserProfiles.h"

#include "platform/SettingsStore.h"

#include <QRegularExpression>

namespace UserProfiles {

namespace {

// Beside the window's settings, through the same store: a settings file that is not a regular
// file is never waited on, and the bytes of the other keys stay as they are.
const QString kApp = QStringLiteral("Tavrin");
const QString kSection = QStringLiteral("Veltaro");
const QString kKey = QStringLiteral("Profiles");

QStringList Entries(const SettingsStore::Store &store)
{
    return QString::fromUtf8(store.value(kSection, kKey)).split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

bool Write(SettingsStore::Store &store, const QStringList &entries)
{
    store.setValue(kSection, kKey, entries.join(QLatin1Char(';')).toUtf8());
    return store.save();
}

QString NameOf(const QString &entry)
{
    return entry.section(QLatin1Char('='), 0, 0);
}

} // namespace

QList<ProfileSpec> Load()
{
    QList<ProfileSpec> list;
    for (const QString &entry : Entries(SettingsStore::Store(kApp))) {
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
    SettingsStore::Store store(kApp);
    QStringList entries = Entries(store);
    entries.removeIf([&](const QString &e) { return NameOf(e).compare(name, Qt::CaseInsensitive) == 0; });
    entries << name + QLatin1Char('=') + Profiles::Format(spec);
    if (!Write(store, entries))
        return {ProfileError::NotStored, SettingsStore::FilePath(kApp)};
    return {};
}

bool Remove(const QString &name)
{
    SettingsStore::Store store(kApp);
    QStringList entries = Entries(store);
    const auto removed =
        entries.removeIf([&](const QString &e) { return NameOf(e).compare(name, Qt::CaseInsensitive) == 0; });
    return removed > 0 && Write(store, entries);
}

} // namespace UserProfiles
