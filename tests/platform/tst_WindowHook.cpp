#include "platform/ui/MouseTracking.h"
#include "platform/ui/WindowHook.h"

#include <QRegularExpression>
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
    // As the callbacks show them: a window hooked again keeps its messages, a deleted message's slot
    // takes the next one without losing the others, and a freed entry serves the next window.
    void registrations()
    {
        RecordingOwner w;
        QWidget other;
        HookTable hooks(&w);
        const auto click = [&w](QWidget *target, Qt::MouseButton button) {
            w.log.clear();
            QTest::mouseClick(target, button, Qt::NoModifier, QPoint(5, 7));
            return w.log.replaceInStrings(QRegularExpression("( -?\\d+){3}$"), QString());
        };
        hooks.HookWindow(&other);
        hooks.HookWindow(&w);
        hooks.AddHookMsg(&w, WM_LBUTTONDOWN, HookAfter);
        hooks.AddHookMsg(&w, WM_LBUTTONUP, HookAfter);
        hooks.DelHookMsg(&w, WM_LBUTTONDOWN, HookAfter);
        hooks.AddHookMsg(&w, WM_RBUTTONUP, HookAfter);
        hooks.HookWindow(&w);
        const QString up = QStringLiteral("after %1").arg(WM_LBUTTONUP);
        QCOMPARE(click(&w, Qt::LeftButton), (QStringList{"widget", up}));
        QCOMPARE(click(&w, Qt::RightButton), (QStringList{"widget", QStringLiteral("after %1").arg(WM_RBUTTONUP)}));
        hooks.UnhookWindow(&other);
        QWidget third;
        hooks.HookWindow(&third);
        hooks.AddHookMsg(&third, WM_LBUTTONUP, HookAfter);
        QCOMPARE(click(&third, Qt::LeftButton), QStringList{up});
        QCOMPARE(click(&w, Qt::LeftButton), (QStringList{"widget", up}));
        hooks.UnhookAll();
        QCOMPARE(click(&w, Qt::LeftButton), QStringList{"widget"});
        QCOMPARE(click(&third, Qt::LeftButton), QStringList());
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
    }
};

QTEST_MAIN(tst_WindowHook)
#include "tst_WindowHook.moc"
