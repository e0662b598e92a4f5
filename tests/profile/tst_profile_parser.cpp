// Profiles as typed, named and stored: what is accepted, what is refused and why.
#include "lang/modLang.h"
#include "profile/ProfileSpec.h"
#include "profile/ProfileText.h"
#include "profile/UserProfiles.h"

#include <QtTest>

using P = ProfileSpec::Pattern;
using A = ProfileSpec::Access;
Q_DECLARE_METATYPE(ProfileError::Code)

class TestProfileSpec : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        modLang::LoadLanguageData(QByteArray());
    }

    void parsesWords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("canonical");
        QTest::newRow("the example") << "rnd,read,4k,qd32,jobs1"
                                     << "rnd,read,4k,qd32,jobs1,5s,passes2";
        QTest::newRow("defaults kept") << "seq"
                                       << "seq,read,1m,qd1,jobs1,5s,passes2";
        QTest::newRow("case and blanks") << " SEQ , Write ,8M, QD32"
                                         << "seq,write,8m,qd32,jobs1,5s,passes2";
        QTest::newRow("mix and bytes") << "rand,mix70,64k,qd4,jobs16,size1g,bytes256m,passes3"
                                       << "rnd,mix70,64k,qd4,jobs16,size1g,bytes256m,passes3";
        QTest::newRow("millis") << "seq,1500ms"
                                << "seq,read,1m,qd1,jobs1,1500ms,passes2";
        QTest::newRow("plain bytes block") << "seq,8192"
                                           << "seq,read,8k,qd1,jobs1,5s,passes2";
        QTest::newRow("last word wins") << "seq,rnd,write,read,qd2,qd3"
                                        << "rnd,read,1m,qd3,jobs1,5s,passes2";
        QTest::newRow("block equal to file") << "seq,1m,size1m"
                                             << "seq,read,1m,qd1,jobs1,size1m,5s,passes2";
    }
    void parsesWords()
    {
        QFETCH(QString, text);
        QFETCH(QString, canonical);
        ProfileSpec spec;
        QCOMPARE(Profiles::Parse(text, spec).code, ProfileError::None);
        QCOMPARE(Profiles::Format(spec), canonical);
        ProfileSpec again;
        QCOMPARE(Profiles::Parse(canonical, again).code, ProfileError::None);
        QCOMPARE(again, spec);
    }

    void refusesBadInput_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<ProfileError::Code>("code");
        QTest::addColumn<QString>("value");
        QTest::newRow("not a power of two") << "seq,12k" << ProfileError::BlockSize << "12k";
        QTest::newRow("below 4k") << "seq,2k" << ProfileError::BlockSize << "2k";
        QTest::newRow("above 8m") << "seq,16m" << ProfileError::BlockSize << "16m";
        QTest::newRow("above file") << "seq,1m,size512k" << ProfileError::BlockAboveFile << "1m";
        QTest::newRow("depth 0") << "rnd,qd0" << ProfileError::Depth << "0";
        QTest::newRow("depth 257") << "rnd,qd257" << ProfileError::Depth << "257";
        QTest::newRow("jobs 17") << "rnd,jobs17" << ProfileError::Jobs << "17";
        QTest::newRow("no passes") << "rnd,passes0" << ProfileError::Passes << "0";
        QTest::newRow("zero time") << "rnd,0s" << ProfileError::Limit << "";
        QTest::newRow("huge queue") << "seq,8m,qd64" << ProfileError::QueueTooLarge << "64x8m";
        QTest::newRow("unknown word") << "seq,fast" << ProfileError::UnknownToken << "fast";
        QTest::newRow("mix above 100") << "seq,mix101" << ProfileError::UnknownToken << "mix101";
        QTest::newRow("empty") << "" << ProfileError::UnknownToken << "";
        QTest::newRow("bad size") << "seq,sizex" << ProfileError::FileSize << "sizex";
    }
    void refusesBadInput()
    {
        QFETCH(QString, text);
        QFETCH(ProfileError::Code, code);
        QFETCH(QString, value);
        ProfileSpec spec;
        spec.name = QStringLiteral("untouched");
        const ProfileError e = Profiles::Parse(text, spec);
        QCOMPARE(e.code, code);
        QCOMPARE(e.value, value);
        QCOMPARE(spec.name, QStringLiteral("untouched")); // a refused text leaves the profile as it was
        QVERIFY(ProfileText::Error(e).endsWith(value));
        QVERIFY(ProfileText::Error(e).size() > value.size() + 10);
    }

    void standardSetAndNames()
    {
        const QList<ProfileSpec> standard = Profiles::Standard();
        QCOMPARE(standard.size(), 8);
        struct Row {
            const char *name;
            P pattern;
            A access;
            qint64 block;
            int depth;
        };
        const Row rows[] = {{"seq1m-qd8-read", P::Sequential, A::Read, 1 << 20, 8},
                            {"seq1m-qd1-write", P::Sequential, A::Write, 1 << 20, 1},
                            {"rnd4k-qd32-write", P::Random, A::Write, 4096, 32},
                            {"rnd4k-qd1-read", P::Random, A::Read, 4096, 1}};
        for (const Row &r : rows) {
            QList<ProfileSpec> found;
            QVERIFY2(!Profiles::Find(QString::fromLatin1(r.name).toUpper(), {}, found), r.name);
            QCOMPARE(found.size(), 1);
            QCOMPARE(found[0].name, QLatin1String(r.name));
            QCOMPARE(found[0].pattern, r.pattern);
            QCOMPARE(found[0].access, r.access);
            QCOMPARE(found[0].blockSize, r.block);
            QCOMPARE(found[0].depth, r.depth);
        }
        QList<ProfileSpec> all;
        QVERIFY(!Profiles::Find(QStringLiteral("standard"), {}, all));
        QCOMPARE(all, standard);
        QList<ProfileSpec> none;
        const ProfileError e = Profiles::Find(QStringLiteral("seq1m-qd9-read"), {}, none);
        QCOMPARE(e.code, ProfileError::UnknownName);
        QVERIFY(none.isEmpty());
    }

    void userProfilesInTheStore()
    {
        QVERIFY(UserProfiles::Load().isEmpty());
        QVERIFY(!UserProfiles::Save(QStringLiteral("db"), QStringLiteral("rnd,mix70,8k,qd16,jobs4")));
        QVERIFY(!UserProfiles::Save(QStringLiteral("big"), QStringLiteral("seq,write,4m,qd2")));
        QVERIFY(!UserProfiles::Save(QStringLiteral("DB"), QStringLiteral("rnd,read,16k,qd16"))); // replaces
        // Refused: a bad spec (bad names: the dialog's test).
        QCOMPARE(UserProfiles::Save(QStringLiteral("odd"), QStringLiteral("seq,3k")).code, ProfileError::BlockSize);

        const QList<ProfileSpec> stored = UserProfiles::Load();
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[0].name, QStringLiteral("big"));
        QCOMPARE(stored[1].name, QStringLiteral("DB"));
        QCOMPARE(stored[1].blockSize, 16384);
        QList<ProfileSpec> found;
        QVERIFY(!Profiles::Find(QStringLiteral("db"), stored, found));
        QCOMPARE(found.value(0).depth, 16);

        // The window's own keys stay as they are beside the new one.
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tavrin"));
        QCOMPARE(settings.childGroups(), QStringList{QStringLiteral("Veltaro")});
        settings.beginGroup(QStringLiteral("Veltaro"));
        QCOMPARE(settings.childKeys(), QStringList{QStringLiteral("Profiles")});

        QVERIFY(UserProfiles::Remove(QStringLiteral("BIG")));
        QVERIFY(!UserProfiles::Remove(QStringLiteral("big")));
        QCOMPARE(UserProfiles::Load().size(), 1);
    }

private:
    QTemporaryDir m_config;
};

QTEST_GUILESS_MAIN(TestProfileSpec)
#include "tst_profile_parser.moc"
