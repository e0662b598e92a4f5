#include "platform/NumberText.h"

#include <QtTest>

class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "20" << 20.0;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("trailing letters") << "12x" << 12.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("blanks inside") << " 1 2 " << 12.0;
        QTest::newRow("fraction") << "7.9" << 7.9;
        QTest::newRow("negative") << "-2.5" << -2.5;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("dangling exponent") << "5e" << 5.0;
        QTest::newRow("hex") << "&H1F" << 31.0;
        QTest::newRow("octal") << "&o17" << 15.0;
        QTest::newRow("comma stops") << "3,5" << 3.0;
        QTest::newRow("sign only") << "-" << 0.0;
        QTest::newRow("overflowing exponent") << "1e999" << 0.0;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(LeadingNumber(text), value);
    }

    void wholeNumberText()
    {
        QCOMPARE(WholeNumberText(QStringLiteral("abc")), QStringLiteral("0"));
        QCOMPARE(WholeNumberText(QStringLiteral("12x")), QStringLiteral("12"));
        QCOMPARE(WholeNumberText(QStringLiteral("7.9")), QStringLiteral("7"));
        QCOMPARE(WholeNumberText(QStringLiteral("-2.5")), QStringLiteral("-3"));
        QCOMPARE(WholeNumberText(QStringLiteral("99999999999")), QStringLiteral("99999999999"));
        QCOMPARE(WholeNumberText(QStringLiteral("1e20")), QStringLiteral("1e+20"));
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
