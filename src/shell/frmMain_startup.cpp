// Start-up, captions and the settings kept between runs.
#include "shell/frmMain.h"

#include "controls/Chk1.h"
#include "controls/Cmd1.h"
#include "controls/PPB.h"
#include "controls/Txt.h"
#include "lang/modLang.h"
#include "platform/InstallPaths.h"
#include "platform/NumberText.h"
#include "platform/SettingsStore.h"
#include "platform/Version.h"
#include "profile/ProfileText.h"
#include "shell/TargetBox.h"
#include "shell/ViewFrame.h"
#include "shell/frmProfiles.h"
#include "shell/modCmd.h"
#include "shell/results/ResultsTexts.h"
#include "toolbar/McToolBar.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLoggingCategory>
#include <algorithm>
#include <cmath>

namespace {

// Quiet unless asked for (QT_LOGGING_RULES="veltaro.lang.info=true"): says which language file a start used.
Q_LOGGING_CATEGORY(lcLang, "veltaro.lang", QtWarningMsg)

const QString kApp = QStringLiteral("Tavrin");
const QString kSection = QStringLiteral("Veltaro");

// A recent target keeps the bytes it was stored with: a folder name that is not valid UTF-8 would
// otherwise come back with U+FFFD and no longer name its folder.
constexpr int kStoredBytesRole = Qt::UserRole + 1;

QString Setting(const SettingsStore::Store &store, const QString &key, const QString &defaultValue)
{
    return store.contains(kSection, key) ? QString::fromUtf8(store.value(kSection, key)) : defaultValue;
}

void ReportLanguageFile(const QString &path)
{
    const modLang::LanguageState &st = modLang::state();
    const auto entries =
        std::count_if(st.LangTable.begin(), st.LangTable.end(), [](const QString &e) { return !e.isEmpty(); });
    qCInfo(lcLang).noquote() << QStringLiteral("language file %1: %2 entries%3")
                                    .arg(QFileInfo(path).absoluteFilePath())
                                    .arg(entries)
                                    .arg(st.LangLoadError ? QStringLiteral(", read with errors") : QString());
}

// Where the design has "C:\" as the first target, a Linux user starts in the home folder.
QString DefaultTarget()
{
    QString home = QDir::homePath();
    return home.endsWith(u'/') ? home : home + u'/';
}

} // namespace

void frmMain::Form_Load()
{
    StopRequested = true;
    Progress1->setShowBorder(false);
    OverallProgress->setShowBorder(false);

    QString key = QStringLiteral("lang=");
    QString commandLine;
    const QString languageFile =
        GetCommandParam(key, commandLine, true, false, QStringLiteral("deutsch.lng"), QStringLiteral(" "));
    if (languageFile.size() > 4) {
        const QString path = InstallPaths::LanguageFile(languageFile);
        LoadLanguageFile(path);
        ReportLanguageFile(path);
    }

    Translate();
    frView->raise();
    setWindowTitle(QStringLiteral("Veltaro v.") + ProgramVersion());
    RestoreSettings();
}

void frmMain::Translate()
{
    Label1->setText(LangText(27, false, false, false, QStringLiteral("Number of files:")));
    Label2->setText(LangText(28, false, false, false, QStringLiteral("Size of files (MB):")));
    Chk11->setCaption(LangText(29, false, false, false, QStringLiteral("Write logfile to test device")));
    ChkDoEvents->setCaption(LangText(30, false, false, false, QStringLiteral("Increase test priority")));
    Cmd11->setCaption(LangText(32, false, false, false, QStringLiteral("Start Single")));
    Cmd12->setCaption(LangText(31, false, false, false, QStringLiteral("Start Multiple")));
    Cmd14->setCaption(ProfileText::StartCaption());
    Cmd15->setToolTipText(frmProfiles::ButtonToolTip());
    Cmd13->setToolTipText(LangText(39, false, false, false, QStringLiteral("Automatically find proper values")));
    chkDisableCaching->setCaption(LangText(55, false, false, false, QStringLiteral("Disable system cache")));
    chkEnableWriteThrough->setCaption(LangText(56, false, false, false, QStringLiteral("Enable write through")));
    chkReadFromDevice->setCaption(LangText(130, false, false, false, QStringLiteral("Read from the device")));
    chkReadFromDevice->setToolTipText(
        LangText(131, false, false, false,
                 QStringLiteral("Before reading, the test files are written out and dropped from the system cache; "
                                "with the cache disabled they are also read past it.")));
    chkVerifyData->setCaption(LangText(200, false, false, false, QStringLiteral("Verify data")));
    chkVerifyData->setToolTipText(
        LangText(201, false, false, false,
                 QStringLiteral("Every block carries a pattern of its own place; reading checks each block and "
                                "counts the damaged ones and those that came from another place.")));

    static const std::array<std::pair<int, const char *>, 3> toolbar{{{62, "File"}, {63, "Edit"}, {64, "Help"}}};
    for (int i = 0; i < static_cast<int>(toolbar.size()); ++i) {
        McToolBar1->setButton_Index(i);
        McToolBar1->setButtonCaption(
            LangText(toolbar[i].first, false, false, false, QString::fromLatin1(toolbar[i].second)));
    }
    McToolBar1->setButton_Index(-1);
    McToolBar1->setAccessibleName(LangText(185, false, false, false, QStringLiteral("Menu")));
    Txt1->setAccessibleLabel(ShownCaption(Label1->text()));
    Txt2->setAccessibleLabel(ShownCaption(Label2->text()));
    Progress1->setAccessibleName(LangText(186, false, false, false, QStringLiteral("Progress of the file")));
    OverallProgress->setAccessibleName(LangText(187, false, false, false, QStringLiteral("Overall progress")));
    Label3->setAccessibleName(LangText(188, false, false, false, QStringLiteral("Log")));
    Drive1->setAccessibleName(LangText(189, false, false, false, QStringLiteral("Target drive or folder")));

    mnuFileSaveAs->setText(LangText(59, false, false, false, QStringLiteral("Save As...")));
    mnuFileExit->setText(LangText(60, false, false, false, QStringLiteral("Exit")));
    mnuEditCopy->setText(LangText(57, false, false, false, QStringLiteral("Copy")));
    mnuEditResults->setText(ResultsTexts::MenuEntry());
    mnuHelpAbout->setText(LangText(61, false, false, false, QStringLiteral("About...")));
    mnuHelpCheckUpdate->setText(LangText(58, false, false, false, QStringLiteral("Check for update")));
}

void frmMain::RestoreSettings()
{
    const SettingsStore::Store store(kApp);
    Txt1->setText(WholeNumberText(Setting(store, QStringLiteral("NrFiles"), QStringLiteral("20"))));
    Txt2->setText(WholeNumberText(Setting(store, QStringLiteral("NrMBytes"), QStringLiteral("10"))));
    chkVerifyData->setChecked(Setting(store, QStringLiteral("VerifyData"), QStringLiteral("0")) == QLatin1String("1"));

    chkReadFromDevice->setChecked(Setting(store, QStringLiteral("ReadFromDevice"), QStringLiteral("0")) ==
                                  QLatin1String("1"));

    const double stored = std::floor(LeadingNumber(Setting(store, QStringLiteral("NrPrevPath"), QStringLiteral("0"))));
    // A damaged count must not make start-up read millions of keys.
    const int count = static_cast<int>(std::clamp(stored, 0.0, 10000.0));
    QStringList paths;
    std::vector<QByteArray> bytes;
    for (int i = 1; i <= count; ++i) {
        const QByteArray path = store.value(kSection, QStringLiteral("PrevPath") + QString::number(i));
        if (path.isEmpty())
            continue;
        paths.append(QString::fromUtf8(path));
        bytes.push_back(path);
    }
    if (paths.isEmpty())
        paths.append(DefaultTarget());
    // One insert for the whole list, so the list's width is measured once and not per item.
    Drive1->addItems(paths);
    for (int i = 0; i < static_cast<int>(bytes.size()); ++i)
        if (bytes[i] != paths[i].toUtf8())
            Drive1->setItemData(i, bytes[i], kStoredBytesRole);
    Drive1->addItem(LangText(53, false, false, false, QString()));

    const double selected =
        std::floor(LeadingNumber(Setting(store, QStringLiteral("PrevPathSelected"), QStringLiteral("0"))));
    if (selected >= 0 && selected < Drive1->count())
        Drive1->setCurrentIndex(static_cast<int>(selected));
}

void frmMain::SaveSettings()
{
    SettingsStore::Store store(kApp);
    const auto save = [&store](const QString &key, const QString &value) {
        store.setValue(kSection, key, value.toUtf8());
    };
    save(QStringLiteral("NrFiles"), Txt1->Text());
    save(QStringLiteral("NrMBytes"), Txt2->Text());
    const int items = Drive1->count();
    save(QStringLiteral("NrPrevPath"), QString::number(items - 1));
    for (int i = 0; i <= items - 2; ++i) {
        const QString text = Drive1->itemText(i);
        const QByteArray stored = Drive1->itemData(i, kStoredBytesRole).toByteArray();
        const bool unchanged = !stored.isEmpty() && QString::fromUtf8(stored) == text;
        store.setValue(kSection, QStringLiteral("PrevPath") + QString::number(i + 1),
                       unchanged ? stored : text.toUtf8());
    }
    save(QStringLiteral("PrevPathSelected"), QString::number(Drive1Box->ListIndex()));
    save(QStringLiteral("ReadFromDevice"), chkReadFromDevice->Checked() ? QStringLiteral("1") : QStringLiteral("0"));
    save(QStringLiteral("VerifyData"), chkVerifyData->Checked() ? QStringLiteral("1") : QStringLiteral("0"));
    store.save();
}

bool frmMain::Form_QueryUnload()
{
    if (!StopRequested) {
        StopRequested = true;
        return false;
    }
    SaveSettings();
    // Every other window ends with the main window.
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window != this)
            window->close();
    return true;
}
