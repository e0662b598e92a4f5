#include "platform/ui/WindowHook.h"
#include "platform/ui/MouseTracking.h"

#include <QTest>

namespace {

// Logs every callback and the widget's own press; swallows one message before the widget sees it.
class RecordingOwner : public HookOwner, public QWidget {
public:
    RecordingOwner() { resize(100, 50); }
    void zSubclass_Proc(bool bBefore, bool &bHandled, qint32 &lReturn, QWidget *&, qint32 &uMsg, qint32 &wParam,
                        qint32 &lParam) override
    {
        const auto n = [](qint32 v) { return QString::number(v); };
        log << (bBefore ? "before " : "after ") + n(uMsg) + ' ' + n(wParam) + ' ' + n(lParam) + ' ' + n(lReturn);
        bHandled = bBefore && uMsg == swallow;
    }
    void mousePressEvent(QMouseEvent *) override { log << QStringLiteral("widget"); }
    QStringList log;
    qint32 swallow = 0;
};

} // namespace

class tst_WindowHook : public QObject {
    Q_OBJECT
private slots:
    void tableRules()
    {
        RecordingOwner owner;
        HookTable hooks(&owner);
        QWidget a, b, c;
        hooks.HookWindow(&a);
        hooks.HookWindow(&b);
        hooks.HookWindow(&a); // already hooked: no second entry
        QCOMPARE(hooks.size(), 2);
        QCOMPARE(hooks.FindHookIndex(&b, false), 1);
        QCOMPARE(hooks.FindHookIndex(&c, false), -1);
        hooks.AddHookMsg(&a, WM_MOUSEMOVE, HookAfter);
        hooks.AddHookMsg(&a, WM_MOUSEMOVE, HookAfter);
        hooks.AddHookMsg(&a, WM_MOUSELEAVE, HookAfter | HookBefore);
        QCOMPARE(hooks.entry(0).AfterTable, (std::vector<qint32>{WM_MOUSEMOVE, WM_MOUSELEAVE})); // no duplicate
        QCOMPARE(hooks.entry(0).BeforeCount, 1);
        // A deleted slot keeps the count and takes the next registration.
        hooks.DelHookMsg(&a, WM_MOUSEMOVE, HookAfter);
        QCOMPARE(hooks.entry(0).AfterTable, (std::vector<qint32>{0, WM_MOUSELEAVE}));
        hooks.AddHookMsg(&a, WM_TIMER, HookAfter);
        QCOMPARE(hooks.entry(0).AfterTable, (std::vector<qint32>{WM_TIMER, WM_MOUSELEAVE}));
        hooks.AddHookMsg(&b, HookAllMessages, HookBefore);
        QCOMPARE(hooks.entry(1).BeforeCount, -1);
        // A freed entry, emptied, is the one the next window gets; the highest free one first.
        hooks.UnhookWindow(&a);
        QCOMPARE(hooks.FindHookIndex(nullptr, true), 0);
        QVERIFY(hooks.entry(0).AfterTable.empty());
        hooks.HookWindow(&c);
        QCOMPARE(hooks.FindHookIndex(&c, false), 0);
        QCOMPARE(hooks.size(), 2);
        hooks.UnhookAll();
        QCOMPARE(hooks.FindHookIndex(nullptr, true), 1);
    }

    void dispatchOrder()
    {
        RecordingOwner w;
        HookTable hooks(&w);
        hooks.HookWindow(&w);
        hooks.AddHookMsg(&w, WM_LBUTTONDOWN, HookBefore | HookAfter);
        const QString down = QStringLiteral(" %1 1 %2").arg(WM_LBUTTONDOWN).arg(0x00070005);
        QTest::mousePress(&w, Qt::LeftButton, Qt::NoModifier, QPoint(5, 7));
        // The after-callback sees the widget's result.
        QCOMPARE(w.log, (QStringList{"before" + down + " 0", "widget", "after" + down + " 1"}));
        // Handled before the widget: neither it nor the after-callback runs.
        w.log.clear();
        w.swallow = WM_LBUTTONDOWN;
        QTest::mousePress(&w, Qt::LeftButton, Qt::NoModifier, QPoint(5, 7));
        QCOMPARE(w.log, QStringList{"before" + down + " 0"});
        // A message nobody registered reaches the widget and calls nobody back; then every message.
        w.log.clear();
        QTest::mousePress(&w, Qt::RightButton, Qt::NoModifier, QPoint(5, 7));
        QCOMPARE(w.log, QStringList{"widget"});
        hooks.AddHookMsg(&w, HookAllMessages, HookAfter);
        w.log.clear();
        QTest::mouseRelease(&w, Qt::RightButton, Qt::NoModifier, QPoint(5, 7));
        QCOMPARE(w.log.size(), 1);
        QVERIFY(w.log[0].startsWith(QStringLiteral("after %1 ").arg(WM_RBUTTONUP)));
        // Events without a message number stay with Qt even then.
        QTest::keyClick(&w, Qt::Key_A);
        QCOMPARE(w.log.size(), 1);
        // Leave comes only once armed, and once per arming; not at all without the system's tracking.
        hooks.DelHookMsg(&w, HookAllMessages, HookAfter);
        hooks.AddHookMsg(&w, WM_MOUSELEAVE, HookAfter);
        w.log.clear();
        QEvent leave(QEvent::Leave);
        for (const bool tracking : {true, false}) {
            SetMouseTrackingAvailable(tracking);
            QCOMPARE(hooks.CheckMouseTracking(), tracking);
            QCoreApplication::sendEvent(&w, &leave);
            hooks.TrackMouseLeave(&w);
            QCoreApplication::sendEvent(&w, &leave);
            QCoreApplication::sendEvent(&w, &leave);
        }
        QCOMPARE(w.log, QStringList{QStringLiteral("after %1 0 0 1").arg(WM_MOUSELEAVE)});
        hooks.UnhookWindow(&w);
        w.log.clear();
        QTest::mousePress(&w, Qt::LeftButton, Qt::NoModifier, QPoint(5, 7));
        QCOMPARE(w.log, QStringList{"widget"});
    }
};

QTEST_MAIN(tst_WindowHook)
#include "tst_WindowHook.moc"
