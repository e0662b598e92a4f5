#include "platform/Colors.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTest>

class tst_Colors : public QObject {
    Q_OBJECT
private slots:
    void translateAndBlend()
    {
        const QPalette p = QGuiApplication::palette();
        QCOMPARE(TranslateColor(0x01123456), 0x00123456u); // palette-index flag ignored
        QCOMPARE(ToQColor(TranslateColor(SystemColor::ButtonFace)), p.color(QPalette::Button).toRgb());
        QCOMPARE(ToQColor(TranslateColor(SystemColor::GrayText)), p.color(QPalette::Disabled, QPalette::Text).toRgb());
        QCOMPARE(ToQColor(0x00FF8001), QColor(1, 0x80, 0xFF));
        QCOMPARE(FromQColor(QColor(1, 0x80, 0xFF)), 0x00FF8001u);
        // Channels stay apart and round to nearest: 200 * 100 / 255 = 78.43, 200 * 155 / 255 = 121.57.
        QCOMPARE(BlendColor(0x000000C8, 0x00C80000, 100), 0x007A004Eu);
        QCOMPARE(BlendColor(0x000000FF, 0x00FFFFFF, 100), 0x009B9BFFu);
        QCOMPARE(BlendColor(0x00123456, 0x00FFFFFF, 255), 0x00123456u);
        QCOMPARE(BlendColor(SystemColor::ButtonFace, 0, 255), TranslateColor(SystemColor::ButtonFace));
    }
};

QTEST_MAIN(tst_Colors)
#include "tst_Colors.moc"
