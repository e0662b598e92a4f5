// "Read from the device": what the read phases find in the system cache, with and without it.
#include "common/EngineTestSupport.h"
#include "platform/PageCacheState.h"

#include <QtTest>

using namespace EngineTest;

class TestDeviceRead : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseGerman(); }

    // The share of 1.tst in the cache when its read starts, and when file 2's read starts (after
    // 1.tst was read): the option drops the pages, and a direct read does not bring them back.
    void cachedShareAtEachRead_data()
    {
        QTest::addColumn<bool>("multiple");
        QTest::addColumn<bool>("readFromDevice");
        QTest::addColumn<bool>("disableCaching");
        QTest::addColumn<double>("atRead");
        QTest::addColumn<double>("afterRead");
        QTest::newRow("classic, cached write") << false << false << false << 1.0 << 1.0;
        QTest::newRow("device, cached write") << false << true << false << 0.0 << 1.0;
        QTest::newRow("device, direct write and read") << false << true << true << 0.0 << 0.0;
        QTest::newRow("multiple, device, direct") << true << true << true << 0.0 << 0.0;
        QTest::newRow("multiple, device, cached") << true << true << false << 0.0 << 1.0;
    }
    void cachedShareAtEachRead()
    {
        QFETCH(bool, multiple);
        QFETCH(bool, readFromDevice);
        QFETCH(bool, disableCaching);
        QFETCH(double, atRead);
        QFETCH(double, afterRead);
        Target t;
        t.ctx->Txt1Text = QStringLiteral("2");
        t.ctx->Txt2Text = QStringLiteral("1");
        t.ctx->chkReadFromDevice = readFromDevice;
        t.ctx->chkDisableCaching = disableCaching;
        t.ctx->AcceptTarget = [](const QString &) { return true; };
        QList<double> seen;
        const QString first = t.path + QStringLiteral("1.tst");
        t.ctx->OnLog = [&](const QString &line) {
            // Logged just before a file's clock starts (single) or after the files opened (multiple).
            if (line.startsWith(QStringLiteral("Lese Datei")) || (multiple && line == QStringLiteral("Lese 2MB")))
                seen << PageCacheState::OfFile(first).fraction;
            if (multiple && line.startsWith(QStringLiteral("Zeit:")) && !seen.isEmpty())
                seen << PageCacheState::OfFile(first).fraction;
        };
        if (multiple)
            StartMultiple(*t.ctx);
        else
            StartSingle(*t.ctx);
        QVERIFY2(t.ctx->Log.contains(QStringLiteral("Ergebnis:")), qPrintable(t.ctx->Log));
        QVERIFY(!t.ctx->Log.contains(QStringLiteral("Checksum Error")));
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[0], atRead);
        QCOMPARE(seen[1], afterRead);
    }
};

QTEST_GUILESS_MAIN(TestDeviceRead)
#include "tst_device_read.moc"
