#pragma once

#include <QString>
#include <vector>

// The language table: entry texts by number, filled from a *.lng file at start-up.
// An element is empty (no entry), the NUL marker (an entry with empty text) or the text
// with every "|" already turned into CR LF.
namespace modLang {

struct LanguageState {
    bool tableExists = false;
    std::vector<QString> LangTable;
    QString TranslatorName;
    QString LangFileName;
    bool LangLoadError = false;
};

// The program's one table; it lives for the whole run.
LanguageState &state();

// A language file is a few KB; reading stops here and the load counts as failed.
constexpr qint64 kMaxLanguageFileBytes = 16 * 1024 * 1024;

void LoadLanguageFile(const QString &fileName);
// Loads from bytes already read; the loader above is this over the file's contents.
void LoadLanguageData(const QByteArray &data, bool openFailed = false);

QString LangText(int number, bool lead, bool trail, bool upperFirst, const QString &defaultText);

QString PipeToNewLine(const QString &text);

} // namespace modLang

using modLang::LangText;
using modLang::LoadLanguageFile;
