// Reading the number a text starts with.
#include "platform/NumberText.h"

#include <QtTest>

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void leadingNumber()
    {
        // clang-format off
        const std::tuple<const char *, double, const char *> cases[] = { // text, number, whole number text
            {"20", 20, "20"}, {"abc", 0, "0"}, {"12x", 12, "12"}, {"", 0, "0"}, {" 1 2 ", 12, "12"}, {"7.9", 7.9, "7"},
            {"-2.5", -2.5, "-3"}, {"1e3", 1e3, "1000"}, {"5e", 5, "5"}, {"&H1F", 31, "31"}, {"&o17", 15, "15"},
            {"3,5", 3, "3"}, {"-", 0, "0"}, {"1e999", 0, "0"}, {"99999999999", 99999999999, "99999999999"},
            {"1e20", 1e20, "1e+20"}};
        // clang-format on
        for (const auto &[text, number, whole] : cases)
            QVERIFY2(qFuzzyCompare(LeadingNumber(text) + 1, number + 1) && WholeNumberText(text) == whole, text);
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
