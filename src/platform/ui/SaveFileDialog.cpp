#include "platform/ui/SaveFileDialog.h"

#include <QFileDialog>

namespace {

SaveFileNameHandler &Handler()
{
    static SaveFileNameHandler handler;
    return handler;
}

} // namespace

void SetSaveFileNameHandler(SaveFileNameHandler handler)
{
    Handler() = std::move(handler);
}

QString GetSaveFileName(QWidget *parent, const QString &filter)
{
    if (Handler())
        return Handler()(filter);
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
