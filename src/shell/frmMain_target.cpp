// Target selection: the folder box wired to its behaviour, the target path and its drive kind.
#include "shell/frmMain.h"

#include "platform/DriveType.h"
#include "shell/TargetBox.h"

#include <QComboBox>

void frmMain::connectTarget()
{
    Drive1Box = new TargetBox(Drive1, AutoCompleteBusy, this);
}

QString frmMain::GetTargetPath() const
{
    QString path = Drive1->currentText().trimmed();
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

bool frmMain::CheckDriveType(const QString &path, qint16 &kindCode) const
{
    const DriveType::Code code = DriveType::Query(path);
    kindCode = static_cast<qint16>(code);
    return DriveType::Accepted(code);
}

bool frmMain::CheckDriveType(const QString &path) const
{
    qint16 kindCode = 0;
    return CheckDriveType(path, kindCode);
}
