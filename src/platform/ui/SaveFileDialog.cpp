#include "platform/ui/SaveFileDialog.h"

#include <QFileDialog>

namespace {

SaveFileNameHandler &SaveFileNameOverride()
{
    static SaveFileNameHandler handler;
    return handler;
}

} // namespace

void SetSaveFileNameHandler(SaveFileNameHandler handler)
{
    SaveFileNameOverride() = std::move(handler);
}

QString GetSaveFileName(QWidget *parent, const QString &filter)
{
    if (SaveFileNameOverride())
        return SaveFileNameOverride()(filter);
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filter);
    if (filter.startsWith(QStringLiteral("*.")))
        dialog.setDefaultSuffix(filter.mid(2));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}
