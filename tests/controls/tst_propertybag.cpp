#include "controls/PropertyBag.h"

#include <QTemporaryDir>
#include <QtTest>

class TestPropertyBag : public QObject {
    Q_OBJECT
private slots:
    void keysIgnoreCaseAndDefaultsAreNotWritten()
    {
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("Caption"), QStringLiteral("Start"), QStringLiteral("Command"));
        bag.WriteProperty(QStringLiteral("Enabled"), true, true);
        bag.WriteProperty(QStringLiteral("ButtonsHeight"), 20, 0);
        QVERIFY(bag.contains(QStringLiteral("CAPTION")));
        QVERIFY(!bag.contains(QStringLiteral("enabled")));
        QCOMPARE(bag.ReadProperty(QStringLiteral("caption"), QString()).toString(), QStringLiteral("Start"));
        QCOMPARE(bag.ReadProperty(QStringLiteral("BUTTONSHEIGHT"), 0).toInt(), 20);
        QCOMPARE(bag.ReadProperty(QStringLiteral("enabled"), false).toBool(), false);

        // Writing the default again is skipped: the value written before stays.
        bag.WriteProperty(QStringLiteral("caption"), QStringLiteral("Command"), QStringLiteral("Command"));
        QCOMPARE(bag.ReadProperty(QStringLiteral("caption"), QString()).toString(), QStringLiteral("Start"));
    }

    void valuesConvertByTheDefaultsType()
    {
        const PropertyBag bag = PropertyBag::fromText(
            QStringLiteral("flag=-1\nword=True\nsize=abc\nspeed=0.08\nbig=4294967295\n"));
        QCOMPARE(bag.ReadProperty(QStringLiteral("flag"), false).toBool(), true);
        QCOMPARE(bag.ReadProperty(QStringLiteral("word"), false).toBool(), true);
        QCOMPARE(bag.ReadProperty(QStringLiteral("size"), 13).toInt(), 13);
        QCOMPARE(bag.ReadProperty(QStringLiteral("speed"), 1.0).toDouble(), 0.08);
        QCOMPARE(bag.ReadProperty(QStringLiteral("big"), 0u).toUInt(), 4294967295u);
        QCOMPARE(bag.ReadProperty(QStringLiteral("big"), 0).toInt(), 0);
    }

    void fileRoundTripKeepsEveryValue()
    {
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("Text"), QStringLiteral("two\r\nlines = a\\b"), QString());
        bag.WriteProperty(QStringLiteral("Checked"), false, true);
        bag.WriteProperty(QStringLiteral("BackColor"), 0x8000000F, 0);
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("c.props"));
        QVERIFY(bag.save(name));
        bool ok = false;
        const PropertyBag again = PropertyBag::load(name, &ok);
        QVERIFY(ok);
        QVERIFY(again == bag);
        QCOMPARE(again.ReadProperty(QStringLiteral("text"), QString()).toString(), QStringLiteral("two\r\nlines = a\\b"));
        QCOMPARE(again.ReadProperty(QStringLiteral("checked"), true).toBool(), false);

        PropertyBag::load(dir.filePath(QStringLiteral("missing")), &ok);
        QVERIFY(!ok);
    }
};

QTEST_GUILESS_MAIN(TestPropertyBag)
#include "tst_propertybag.moc"
