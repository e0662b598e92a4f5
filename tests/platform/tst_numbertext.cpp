// Reading the number a text starts with.
#include "platform/NumberText.h"

#include <QtTest>

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void leadingNumber()
    {
        const std::pair<const char *, double> cases[] = {
            {"20", 20},   {"abc", 0}, {"12x", 12},  {"", 0},      {" 1 2 ", 12}, {"7.9", 7.9}, {"-2.5", -2.5},
            {"1e3", 1e3}, {"5e", 5},  {"&H1F", 31}, {"&o17", 15}, {"3,5", 3},    {"-", 0},     {"1e999", 0}};
        for (const auto &[text, value] : cases)
            QVERIFY2(LeadingNumber(QString::fromLatin1(text)) == value, text);
        const std::pair<const char *, const char *> whole[] = {
            {"abc", "0"},     {"12x", "12"}, {"7.9", "7"}, {"-2.5", "-3"}, {"99999999999", "99999999999"},
            {"1e20", "1e+20"}};
        for (const auto &[text, value] : whole)
            QVERIFY2(WholeNumberText(QString::fromLatin1(text)) == QString::fromLatin1(value), text);
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
