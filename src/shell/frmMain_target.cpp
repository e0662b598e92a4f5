// Target selection: the folder box, its completion and the folder browser.
#include "shell/frmMain.h"

#include <QComboBox>
#include <QFileInfo>

void frmMain::connectTarget() {}

QString frmMain::GetTargetPath() const
{
    QString path = Drive1->currentText().trimmed();
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

bool frmMain::CheckDriveType(const QString &path) const
{
    return QFileInfo(path).isDir();
}
