// Reading the number a text starts with.
#include "platform/NumberText.h"

#include <QtTest>

class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    void leadingNumber()
    {
        // Text|number|whole number text.
        for (const QString &c : QStringLiteral("20|20|20;abc|0|0;12x|12|12;|0|0; 1 2 |12|12;7.9|7.9|7;-2.5|-2.5|-3;"
                                               "1e3|1000|1000;5e|5|5;&H1F|31|31;&o17|15|15;3,5|3|3;-|0|0;1e999|0|0;"
                                               "99999999999|99999999999|99999999999;1e20|1e20|1e+20")
                                    .split(u';')) {
            const QString text = c.section(u'|', 0, 0);
            QVERIFY2(qFuzzyCompare(LeadingNumber(text) + 1, c.section(u'|', 1, 1).toDouble() + 1), qPrintable(c));
            QCOMPARE(WholeNumberText(text), c.section(u'|', 2));
        }
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
