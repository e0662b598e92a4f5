#pragma once

#include <QString>

// The per-user settings store, addressed by application, section and key; values are text.
// On Linux: $XDG_CONFIG_HOME/<application>.conf (else ~/.config), INI group [<section>].
namespace SettingsStore {

QString GetSetting(const QString &application, const QString &section, const QString &key,
                   const QString &defaultValue = QString());
void SaveSetting(const QString &application, const QString &section, const QString &key, const QString &value);

} // namespace SettingsStore
