#include "platform/Colors.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTest>

class tst_Colors : public QObject {
    Q_OBJECT
private slots:
    void translate()
    {
        QCOMPARE(TranslateColor(0x00123456), 0x00123456u);
        QCOMPARE(TranslateColor(0x01123456), 0x00123456u); // palette-index flag ignored
        const QPalette p = QGuiApplication::palette();
        QCOMPARE(ToQColor(TranslateColor(SystemColor::ButtonFace)), p.color(QPalette::Button).toRgb());
        QCOMPARE(ToQColor(TranslateColor(SystemColor::GrayText)), p.color(QPalette::Disabled, QPalette::Text).toRgb());
        QCOMPARE(ToQColor(TranslateColor(SystemColor::InfoBackground)), p.color(QPalette::ToolTipBase).toRgb());
        QCOMPARE(TranslateColor(0x800000FF), 0u);
        QCOMPARE(ToQColor(0x00FF8001), QColor(1, 0x80, 0xFF));
        QCOMPARE(FromQColor(QColor(1, 0x80, 0xFF)), 0x00FF8001u);
    }

    void blend()
    {
        QCOMPARE(BlendColor(0x00123456, 0x00FFFFFF, 255), 0x00123456u);
        QCOMPARE(BlendColor(0x00123456, 0x00FFFFFF, 0), 0x00FFFFFFu);
        // Red towards white at 100: 155 + 100 in red, 155 elsewhere.
        QCOMPARE(BlendColor(0x000000FF, 0x00FFFFFF, 100), 0x009B9BFFu);
        // 185 + 128 * 70 / 255 = 220.14; 0 + 128 * 250 / 255 = 125.49
        QCOMPARE(BlendColor(0x00808080, 0x00FFFFFF, 70), 0x00DCDCDCu);
        QCOMPARE(BlendColor(0x00808080, 0, 250), 0x007D7D7Du);
        // 200 * 100 / 255 = 78.43 rounds down, 200 * 155 / 255 = 121.57 rounds up; channels stay apart.
        QCOMPARE(BlendColor(0x000000C8, 0x00C80000, 100), 0x007A004Eu);
        // System colours resolve before blending.
        QCOMPARE(BlendColor(SystemColor::ButtonFace, 0, 255), TranslateColor(SystemColor::ButtonFace));
        // Out-of-range alpha stays a colour.
        QCOMPARE(BlendColor(0x00FFFFFF, 0, 300) & 0xFF000000u, 0u);
    }
};

QTEST_MAIN(tst_Colors)
#include "tst_Colors.moc"
