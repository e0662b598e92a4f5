#include "profile/ProfileText.h"

#include "lang/modLang.h"

#include <QLocale>
#include <cstring>

namespace ProfileText {

namespace {

QString WithValue(int number, const char *german, const QString &value)
{
    // A built-in default carries its blank itself; the flag adds it to a text from a file.
    return LangText(number, false, true, false, QString::fromUtf8(german) + QLatin1Char(' ')) + value;
}

QString Reason(int sysErrno)
{
    return sysErrno ? QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(sysErrno)) + QLatin1Char(')')
                    : QString();
}

} // namespace

QString StartCaption()
{
    return LangText(220, false, false, false, QStringLiteral("Start Profile"));
}

QString Error(const ProfileError &e)
{
    switch (e.code) {
    case ProfileError::None:
        return QString();
    case ProfileError::UnknownToken:
        return WithValue(226, "Unbekannte Angabe im Profil:", e.value);
    case ProfileError::BlockSize:
        return WithValue(221, "Blockgröße muss eine Zweierpotenz von 4 KiB bis 8 MiB sein:", e.value);
    case ProfileError::BlockAboveFile:
        return WithValue(222, "Blockgröße ist größer als die Testdatei:", e.value);
    case ProfileError::Depth:
        return WithValue(223, "Warteschlangentiefe muss zwischen 1 und 256 liegen:", e.value);
    case ProfileError::Jobs:
        return WithValue(224, "Anzahl der Jobs muss zwischen 1 und 16 liegen:", e.value);
    case ProfileError::Passes:
        return WithValue(233, "Durchgänge müssen zwischen 1 und 100 liegen:", e.value);
    case ProfileError::Limit:
        return LangText(234, false, false, false, QStringLiteral("Weder Dauer noch Datenmenge angegeben!"));
    case ProfileError::QueueTooLarge:
        return WithValue(235, "Warteschlange zu groß (Tiefe mal Block über 256 MiB):", e.value);
    case ProfileError::UnknownName:
        return WithValue(225, "Unbekanntes Profil:", e.value);
    case ProfileError::BadName:
        return WithValue(258,
                         "Profilname nur aus Buchstaben, Ziffern, - _ . (höchstens 40), kein Standardprofil:", e.value);
    case ProfileError::FileSize:
        return WithValue(236, "Ungültige Dateigröße:", e.value);
    case ProfileError::NoDirectIo:
        return WithValue(227, "Das Ziel lässt keinen Zugriff ohne Cache zu:", e.value);
    case ProfileError::NoSpace:
        return WithValue(228, "Nicht genug freier Speicher für die Testdateien:", e.value);
    case ProfileError::CreateFailed:
        return WithValue(229, "Kann Testdatei nicht anlegen:", e.value) + Reason(e.sysErrno);
    case ProfileError::IoFailed:
        return WithValue(231, "Ein-/Ausgabefehler:", e.value) + Reason(e.sysErrno);
    case ProfileError::NotStored:
        return WithValue(270,
                         "Das Profil wurde nicht gespeichert, die Einstellungsdatei ist nicht beschreibbar:", e.value);
    }
    return QString();
}

QString Engine(const QString &name)
{
    return LangText(237, false, true, false, QStringLiteral("E/A-Verfahren: ")) + name;
}

QString Fallback(int uringErrno)
{
    return LangText(230, false, false, false, QStringLiteral("io_uring nicht verfügbar, Threads statt dessen")) +
           Reason(uringErrno);
}

QString Stopped()
{
    return LangText(232, false, false, false, QStringLiteral("Abbruch..."));
}

QString Result(const Profiles::ProfileOutcome &o)
{
    const QLocale locale;
    const QString name = o.spec.name.isEmpty() ? Profiles::Format(o.spec) : o.spec.name;
    return name + QStringLiteral(": ") + locale.toString(o.bestMbps(), 'f', 1) + QStringLiteral(" MB/s, ") +
           locale.toString(o.bestIops(), 'f', 0) + QStringLiteral(" IOPS");
}

} // namespace ProfileText
