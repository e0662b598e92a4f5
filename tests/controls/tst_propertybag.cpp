#include "controls/PropertyBag.h"

#include <QTemporaryDir>
#include <QtTest>

class TestPropertyBag : public QObject {
    Q_OBJECT
private slots:
    void writeReadAndConvert()
    {
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("Caption"), QStringLiteral("Start"), QStringLiteral("Command"));
        bag.WriteProperty(QStringLiteral("Enabled"), true, true);
        bag.WriteProperty(QStringLiteral("Text"), QStringLiteral("two\r\nlines = a\\b"), QString());
        bag.WriteProperty(QStringLiteral("BackColor"), 0x8000000F, 0);
        QVERIFY(!bag.contains(QStringLiteral("enabled"))); // a default is not written
        // Writing the default again is skipped: the value written before stays.
        bag.WriteProperty(QStringLiteral("caption"), QStringLiteral("Command"), QStringLiteral("Command"));
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("c.props")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bag.toText().toUtf8());
        file.close();
        bool ok = false;
        const PropertyBag again = PropertyBag::load(dir.filePath(QStringLiteral("c.props")), &ok);
        QVERIFY(ok);
        QCOMPARE(again.toText(), bag.toText());
        QCOMPARE(again.ReadProperty(QStringLiteral("caption"), QString()).toString(), QStringLiteral("Start"));
        QCOMPARE(again.ReadProperty(QStringLiteral("text"), QString()).toString(),
                 QStringLiteral("two\r\nlines = a\\b"));
        QCOMPARE(again.ReadColor(QStringLiteral("backcolor"), 0), 0x8000000Fu);
        PropertyBag::load(dir.filePath(QStringLiteral("missing")), &ok);
        QVERIFY(!ok);
        // Values convert by the default's type; what does not convert gives the default.
        const PropertyBag read = PropertyBag::fromText(QStringLiteral(
            "flag=-1\nword=True\nsize=abc\nspeed=0.08\nbig=4294967295\nb=&H8000000F&\nc=0xC0C0FF\ne=purple\n"));
        QVERIFY(read.ReadProperty(QStringLiteral("flag"), false).toBool());
        QVERIFY(read.ReadProperty(QStringLiteral("word"), false).toBool());
        QCOMPARE(read.ReadProperty(QStringLiteral("size"), 13).toInt(), 13);
        QCOMPARE(read.ReadProperty(QStringLiteral("speed"), 1.0).toDouble(), 0.08);
        QCOMPARE(read.ReadProperty(QStringLiteral("big"), 0u).toUInt(), 4294967295u);
        QCOMPARE(read.ReadProperty(QStringLiteral("big"), 0).toInt(), 0);
        QCOMPARE(read.ReadColor(QStringLiteral("B"), 0), 0x8000000Fu);
        QCOMPARE(read.ReadColor(QStringLiteral("c"), 0), 0xC0C0FFu);
        QCOMPARE(read.ReadColor(QStringLiteral("e"), 7), 7u);
    }
};

QTEST_GUILESS_MAIN(TestPropertyBag)
#include "tst_propertybag.moc"
