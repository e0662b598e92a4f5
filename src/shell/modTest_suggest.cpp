#include "shell/modTest_suggest.h"

#include "lang/modLang.h"
#include "platform/modGetDiskSpaceFree.h"
#include "platform/ui/MsgBox.h"

namespace modTest {

QString ProposalMessage(const QString &path, const Proposal &p)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString mb = LangText(18, true, false, false, QStringLiteral(" MB"));
    return LangText(35, false, true, false, QStringLiteral("Freier Speicher auf")) + u'[' + path +
           QStringLiteral("]: ") + QString::number(p.free) + mb + crlf + crlf +
           LangText(36, false, true, false, QStringLiteral("Vorschlag für die Einstellungen: ")) +
           QString::number(p.files) + LangText(23, true, false, false, QStringLiteral(" Dateien")) +
           LangText(37, true, true, false, QStringLiteral(" á ")) + QString::number(p.megabytes) +
           LangText(18, true, true, false, QStringLiteral(" MB")) + QStringLiteral("= ") +
           QString::number(static_cast<std::int64_t>(p.files) * p.megabytes) + mb + crlf + crlf +
           LangText(38, false, false, false, QStringLiteral("Vorschlag übernehmen?"));
}

void SuggestValuesFor(std::int32_t &files, std::int32_t &megabytes, const QString &path, const QString &freeMB,
                      QWidget *parent)
{
    const Proposal p = ProposeValues(freeMB);
    const int style = MsgBoxStyle::YesNo | MsgBoxStyle::Information;
    if (MsgBox(ProposalMessage(path, p), style, QStringLiteral("Veltaro"), parent) == MsgBoxResult::Yes) {
        files = p.files;
        megabytes = p.megabytes;
    } else {
        files = -1;
        megabytes = -1;
    }
}

void SuggestValues(std::int32_t &files, std::int32_t &megabytes, const QString &path, QWidget *parent)
{
    SuggestValuesFor(files, megabytes, path, modGetDiskSpaceFree::FreeSpaceMB(path), parent);
}

} // namespace modTest
