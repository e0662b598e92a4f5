#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

// The per-user settings store, addressed by application, section and key; values are text.
// On Linux: $XDG_CONFIG_HOME/<application>.conf (else ~/.config), INI group [<section>], in the
// escaping QSettings uses, so either can read what the other wrote.
namespace SettingsStore {

QString FilePath(const QString &application);

// The whole file read once and written once. Values are kept as bytes, so a path that is not valid
// UTF-8 goes back exactly as it came. A settings file that is not a regular file (a FIFO, a link) is
// neither waited on nor followed: the store then starts empty and never writes.
class Store {
public:
    explicit Store(const QString &application);
    // A store over contents already read, tied to no file: it never writes.
    static Store FromContents(const QByteArray &contents);

    QByteArray value(const QString &section, const QString &key, const QByteArray &defaultValue = {}) const;
    bool contains(const QString &section, const QString &key) const;
    void setValue(const QString &section, const QString &key, const QByteArray &value);
    // Writes every key in one pass (a new file renamed over the old); false when nothing was written.
    bool save() const;
    bool writable() const { return m_writable; }

private:
    struct Entry {
        QByteArray section;
        QByteArray key;
        QByteArray value;
    };
    Store() = default;
    void parse(const QByteArray &data);
    void set(const QByteArray &section, const QByteArray &key, const QByteArray &value);
    const Entry *find(const QByteArray &section, const QByteArray &key) const;

    QString m_path;
    bool m_writable = false;
    std::vector<Entry> m_entries; // in file order, so a rewrite keeps what others put there
    QHash<QByteArray, size_t> m_index;
};

// The INI escaping of QSettings for one value, and back.
QByteArray EscapeValue(const QByteArray &value);
QByteArray UnescapeValue(const QByteArray &text);

QString GetSetting(const QString &application, const QString &section, const QString &key,
                   const QString &defaultValue = QString());
void SaveSetting(const QString &application, const QString &section, const QString &key, const QString &value);

} // namespace SettingsStore
