#include "common/Pointer.h"
#include "controls/Chk1.h"
#include "controls/Cmd1.h"
#include "controls/PPB.h"
#include "controls/PropertyBag.h"

#include <QSignalSpy>

namespace {

// The back colour, tooltip and back style every painted control shares: reported, painted as the
// style says, and stored so that a second control loads them back.
template <class Control> void CheckSharedProperties(qint16 defaultBackStyle)
{
    QWidget host;
    Control control(&host);
    control.resize(80, 24);
    if constexpr (std::is_same_v<Control, PPB>)
        control.ValueChange(0); // an empty bar, so its back shows
    QCOMPARE(control.BackStyle(), defaultBackStyle);
    QSignalSpy reported(&control, &PaintedControl::PropertyChanged);
    control.setBackColor(0x00FF00);
    control.setToolTipText(QStringLiteral("tip"));
    control.setBackStyle(2);
    QStringList keys;
    for (const QList<QVariant> &signal : std::as_const(reported))
        keys << signal.at(0).toString();
    QCOMPARE(keys, QStringList({"BackColor", "ToolTipText", "BackStyle"}));
    QVERIFY(HasColor(Render(control), qRgb(0, 255, 0)));

    PropertyBag bag;
    control.WriteProperties(bag);
    Control copy(&host);
    QVERIFY(copy.ReadProperties(bag));
    QCOMPARE(copy.BackColor(), 0x00FF00u);
    QCOMPARE(copy.ToolTipText(), QStringLiteral("tip"));
    QCOMPARE(copy.BackStyle(), qint16(2));

    control.setBackStyle(0); // transparent: what lies below shows
    QVERIFY(!HasColor(Render(control), qRgb(0, 255, 0)));
}

} // namespace

class TestPaintedControl : public QObject {
    Q_OBJECT
private slots:
    void sharedProperties_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("button") << 0;
        QTest::newRow("check box") << 1;
        QTest::newRow("progress bar") << 2;
    }
    void sharedProperties()
    {
        QFETCH(int, kind);
        if (kind == 0)
            CheckSharedProperties<Cmd1>(1);
        else if (kind == 1)
            CheckSharedProperties<Chk1>(0);
        else
            CheckSharedProperties<PPB>(1);
    }
};

QTEST_MAIN(TestPaintedControl)
#include "tst_paintedcontrol.moc"
