// The dialog for the user's own profiles: what it stores, what it refuses and says, the keyboard.
#include "common/EngineTestSupport.h"
#include "controls/Cmd1.h"
#include "platform/ui/MsgBox.h"
#include "profile/ProfileText.h"
#include "profile/UserProfiles.h"
#include "shell/frmMain.h"
#include "shell/frmProfiles.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

Q_DECLARE_METATYPE(ProfileError::Code)

namespace {

QStringList Names()
{
    QStringList names;
    for (const ProfileSpec &spec : UserProfiles::Load())
        names << spec.name + '=' + Profiles::Format(spec);
    return names;
}

} // namespace

class tst_profile_dialog : public QObject {
    Q_OBJECT
    QTemporaryDir config;
    QStringList boxes;
    int answer = MsgBoxResult::Yes;

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        EngineTest::UseGerman();
        SetMsgBoxHandler([this](const QString &prompt, int, const QString &) {
            boxes << prompt;
            return answer;
        });
    }

    void init()
    {
        for (const ProfileSpec &spec : UserProfiles::Load())
            UserProfiles::Remove(spec.name);
        boxes.clear();
    }

    void savesAndReplacesByKeyboard()
    {
        frmProfiles d;
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        // Alt and the marked letter reach each field; Enter saves.
        QTest::keyClick(&d, Qt::Key_N, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), d.txtName);
        QTest::keyClicks(d.txtName, QStringLiteral(" db "));
        QTest::keyClick(&d, Qt::Key_P, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), d.txtSpec);
        QTest::keyClicks(d.txtSpec, QStringLiteral("RND, mix70 ,8k,qd16,jobs4"));
        QTest::keyClick(d.txtSpec, Qt::Key_Return);
        QCOMPARE(Names(), QStringList{"db=rnd,mix70,8k,qd16,jobs4,5s,passes2"});
        // The list shows it chosen, and the field its stored form.
        QCOMPARE(d.lstProfiles->count(), 1);
        QCOMPARE(d.lstProfiles->currentRow(), 0);
        QCOMPARE(d.txtSpec->text(), QStringLiteral("rnd,mix70,8k,qd16,jobs4,5s,passes2"));
        QCOMPARE(d.lblMessage->text(), QStringLiteral("Gespeichert: db"));

        // The same name in other letters replaces it.
        d.txtName->setText(QStringLiteral("DB"));
        d.txtSpec->setText(QStringLiteral("seq,write,4m,qd2"));
        QVERIFY(d.SaveProfile());
        QCOMPARE(Names(), QStringList{"DB=seq,write,4m,qd2,jobs1,5s,passes2"});
        QCOMPARE(d.lstProfiles->count(), 1);

        // Choosing a row fills both fields from it.
        d.txtName->setText(QStringLiteral("other"));
        d.txtSpec->setText(QStringLiteral("seq"));
        QVERIFY(d.SaveProfile());
        d.lstProfiles->setCurrentRow(0);
        QCOMPARE(d.txtName->text(), QStringLiteral("DB"));
        QCOMPARE(d.txtSpec->text(), QStringLiteral("seq,write,4m,qd2,jobs1,5s,passes2"));

        for (QWidget *field : {static_cast<QWidget *>(d.lstProfiles), static_cast<QWidget *>(d.txtName),
                               static_cast<QWidget *>(d.txtSpec)}) {
            QVERIFY(!field->accessibleName().isEmpty());
            QVERIFY(!field->accessibleName().contains('&'));
        }
    }

    // The parser's own table has every kind of bad spec; here what the dialog says and where it puts the focus.
    void refusesBadInput_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("spec");
        QTest::addColumn<ProfileError::Code>("code");
        const std::tuple<const char *, QString, QString, ProfileError::Code> rows[] = {
            {"standard name", "seq1m-qd8-read", "seq", ProfileError::BadName},
            {"name breaking the store", "a=b;c", "seq", ProfileError::BadName},
            {"no name", "  ", "seq", ProfileError::BadName},
            {"block not a power of two", "x", "seq,12k", ProfileError::BlockSize},
            {"empty", "x", "", ProfileError::UnknownToken}};
        for (const auto &[tag, name, spec, code] : rows)
            QTest::newRow(tag) << name << spec << code;
    }
    void refusesBadInput()
    {
        QFETCH(QString, name);
        QFETCH(QString, spec);
        QFETCH(ProfileError::Code, code);
        const bool nameAtFault = code == ProfileError::BadName;
        QVERIFY(!UserProfiles::Save(QStringLiteral("kept"), QStringLiteral("seq,read,64k")));
        frmProfiles d;
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.txtName->setText(name);
        d.txtSpec->setText(spec);
        QVERIFY(!d.SaveProfile());
        QCOMPARE(Names(), QStringList{"kept=seq,read,64k,qd1,jobs1,5s,passes2"});
        ProfileSpec parsed;
        const ProfileError expected =
            nameAtFault ? ProfileError{ProfileError::BadName, name.trimmed()} : Profiles::Parse(spec, parsed);
        QCOMPARE(expected.code, code);
        QCOMPARE(d.lblMessage->text(), ProfileText::Error(expected));
        QCOMPARE(QApplication::focusWidget(), nameAtFault ? d.txtName : d.txtSpec);
        // What was typed stays for correcting.
        QCOMPARE(d.txtSpec->text(), spec);
    }

    void deleteAsksFirst()
    {
        QVERIFY(!UserProfiles::Save(QStringLiteral("a"), QStringLiteral("seq")));
        QVERIFY(!UserProfiles::Save(QStringLiteral("b"), QStringLiteral("rnd")));
        frmProfiles d;
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.lstProfiles->setCurrentRow(-1);
        QVERIFY(!d.cmdDelete->isEnabled());
        QVERIFY(!d.DeleteChosen());
        QVERIFY(boxes.isEmpty());
        d.lstProfiles->setCurrentRow(1);
        QVERIFY(d.cmdDelete->isEnabled());
        answer = MsgBoxResult::No;
        QVERIFY(!d.DeleteChosen());
        QCOMPARE(boxes, QStringList{"Das Profil b löschen?"});
        QCOMPARE(UserProfiles::Load().size(), 2);
        answer = MsgBoxResult::Yes;
        d.lstProfiles->setFocus();
        QTest::keyClick(d.lstProfiles, Qt::Key_Delete);
        QCOMPARE(Names(), QStringList{"a=seq,read,1m,qd1,jobs1,5s,passes2"});
        // The next row left is chosen: Delete goes on through the list.
        QCOMPARE(d.lstProfiles->count(), 1);
        QCOMPARE(d.txtName->text(), QStringLiteral("a"));
        QTest::keyClick(d.lstProfiles, Qt::Key_Delete);
        QVERIFY(UserProfiles::Load().isEmpty());
        QVERIFY(!d.cmdDelete->isEnabled());
    }

    // From the button of the profile row: the profile list follows the dialog, and what was stored
    // survives the window's own settings written at its close.
    void mainWindowOffersWhatWasSaved()
    {
        auto *w = new frmMain;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->cboProfile->count(), 9);
        w->cboProfile->setCurrentText(QStringLiteral("rnd4k-qd1-read"));
        bool shown = false;
        QTimer::singleShot(0, w, [&] {
            auto *d = qobject_cast<frmProfiles *>(QApplication::activeModalWidget());
            shown = d != nullptr;
            if (!d)
                return;
            d->txtName->setText(QStringLiteral("nightly"));
            d->txtSpec->setText(QStringLiteral("seq,write,256k,qd4"));
            d->SaveProfile();
            d->cmdClose->click();
        });
        emit w->Cmd15->Click();
        QVERIFY(shown);
        QCOMPARE(w->cboProfile->count(), 10);
        QCOMPARE(w->cboProfile->itemText(9), QStringLiteral("nightly"));
        QCOMPARE(w->cboProfile->currentText(), QStringLiteral("rnd4k-qd1-read")); // the choice stays
        QVERIFY(w->close());
        delete w;
        QCOMPARE(Names(), QStringList{"nightly=seq,write,256k,qd4,jobs1,5s,passes2"});
        // Not during a run: its time would be counted.
        frmMain running;
        running.SetRunActive(true);
        bool opened = false;
        QTimer::singleShot(0, &running, [&] {
            if (QWidget *modal = QApplication::activeModalWidget())
                opened = true, modal->close();
        });
        running.ShowProfiles();
        QTest::qWait(10);
        QVERIFY(!opened);
        running.SetRunActive(false);
    }
};

QTEST_MAIN(tst_profile_dialog)
#include "tst_profile_dialog.moc"
