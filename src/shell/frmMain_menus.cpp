// The toolbar's pop-up menus and their commands.
#include "shell/frmMain.h"

#include "lang/modLang.h"
#include "platform/SafeOpen.h"
#include "platform/net/InetTransfer.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/SaveFileDialog.h"
#include "shell/modDl.h"
#include "toolbar/McToolBar.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QSaveFile>
#include <QShortcut>
#include <cerrno>
#include <cstring>

void frmMain::connectMenus()
{
    mnuFile = new QMenu(this);
    mnuFileSaveAs = mnuFile->addAction(QString());
    mnuFile->addSeparator(); // mnuFileSep1
    mnuFileExit = mnuFile->addAction(QString());

    mnuEdit = new QMenu(this);
    mnuEditCopy = mnuEdit->addAction(QString());
    mnuEdit->addSeparator(); // mnuEditSep1
    mnuEditResults = mnuEdit->addAction(QString());

    mnuHelp = new QMenu(this);
    mnuHelpCheckUpdate = mnuHelp->addAction(QString());
    mnuHelp->addSeparator(); // mnuHelpSep1
    mnuHelpAbout = mnuHelp->addAction(QString());

    Inet1 = new InetTransfer(this);
    UpdateUrl = modDl::kUpdateUrl;

    connect(McToolBar1, &McToolBar::Click, this, &frmMain::McToolBar1_Click);
    connect(mnuFileSaveAs, &QAction::triggered, this, &frmMain::mnuFileSaveAs_Click);
    connect(mnuFileExit, &QAction::triggered, this, &frmMain::mnuFileExit_Click);
    connect(mnuEditCopy, &QAction::triggered, this, &frmMain::mnuEditCopy_Click);
    connect(mnuEditResults, &QAction::triggered, this, &frmMain::ShowResults);
    connect(mnuHelpCheckUpdate, &QAction::triggered, this, &frmMain::mnuHelpCheckUpdate_Click);
    connect(mnuHelpAbout, &QAction::triggered, this, &frmMain::ShowAbout);

    // Escape asks a running test to stop, as a close does; Ctrl+S saves the log (the platform's Save As
    // key is Ctrl+Shift+S or none); Ctrl+C copies when the log panel has the focus.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, [this] {
        if (!StopRequested)
            StopRequested = true;
    });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this), &QShortcut::activated, this, [this] {
        if (!Label3->text().isEmpty())
            mnuFileSaveAs_Click();
    });
    Label3->setFocusPolicy(Qt::ClickFocus);
    auto *copy = new QShortcut(QKeySequence::Copy, Label3, nullptr, nullptr, Qt::WidgetShortcut);
    connect(copy, &QShortcut::activated, this, [this] {
        if (!Label3->text().isEmpty())
            mnuEditCopy_Click();
    });
}

void frmMain::McToolBar1_Click(int index)
{
    const bool haveLog = !Label3->text().isEmpty();
    QMenu *menu = nullptr;
    switch (index) {
    case 0:
        mnuFileSaveAs->setEnabled(haveLog && !RunActive);
        menu = mnuFile;
        break;
    case 1:
        mnuEditCopy->setEnabled(haveLog);
        menu = mnuEdit;
        break;
    case 2:
        menu = mnuHelp;
        break;
    default:
        return;
    }
    // Top-left corner under the button's left edge, at the toolbar's bottom.
    const QPoint anchor(McToolBar1->x() + McToolBar1->GetButtonLeft(index), McToolBar1->y() + McToolBar1->height());
    menu->popup(mapToGlobal(anchor));
}

void frmMain::SetRunActive(bool active)
{
    if (RunActive == active)
        return;
    RunActive = active;
    // Exit and Copy stay: neither opens anything that would wait inside a timed span.
    mnuFileSaveAs->setEnabled(!active && !Label3->text().isEmpty());
    mnuHelpCheckUpdate->setEnabled(!active);
    mnuHelpAbout->setEnabled(!active);
    emit RunActiveChanged(active);
}

void frmMain::mnuFileSaveAs_Click()
{
    if (RunActive)
        return;
    const QString fileName = GetSaveFileName(this, QStringLiteral("*.txt"));
    if (fileName.isEmpty())
        return;
    // A link or FIFO under the chosen name is not written through or waited on.
    if (!SafeOpen::AbsentOrRegular(fileName)) {
        ShowSaveError(fileName, QString::fromLocal8Bit(std::strerror(ENXIO)));
        return;
    }
    // Written beside the old file and then renamed over it, so a failed write leaves the old one whole.
    QSaveFile file(fileName);
    file.setDirectWriteFallback(true);
    const auto put = [&file](const QString &text) {
        const QByteArray bytes = text.toUtf8();
        return file.write(bytes) == bytes.size();
    };
    if (file.open(QIODevice::WriteOnly) && LogText.stream(put) && put(QStringLiteral("\r\n")) && file.commit())
        return;
    const QString reason = file.errorString();
    file.cancelWriting();
    ShowSaveError(fileName, reason);
}

void frmMain::ShowSaveError(const QString &fileName, const QString &reason)
{
    MsgBox(
        QStringLiteral("The log could not be saved to\r\n%1\r\n\r\n%2").arg(QDir::toNativeSeparators(fileName), reason),
        MsgBoxStyle::Critical, QStringLiteral("Veltaro"), this);
}

void frmMain::mnuFileExit_Click()
{
    // A running test sees the flag at its next pump check; the close then saves the settings and
    // closes every other window.
    StopRequested = true;
    close();
    QCoreApplication::quit();
}

void frmMain::mnuEditCopy_Click()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(LogText.text());
}

void frmMain::mnuHelpCheckUpdate_Click()
{
    if (RunActive)
        return;
    modDl::CheckForUpdate(*Inet1, UpdateUrl, modDl::UpdateTempFile(QCoreApplication::applicationDirPath()), true);
}
