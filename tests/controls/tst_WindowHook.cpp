#include "controls/WindowHook.h"
#include "platform/MouseTracking.h"

#include <QTest>
#include <QTimerEvent>

namespace {

struct Call {
    bool before;
    qint32 uMsg;
    qint32 wParam;
    qint32 lParam;
    qint32 lReturn;
};

// Records every callback; optionally swallows one message before the widget sees it.
class RecordingOwner : public HookOwner {
public:
    void zSubclass_Proc(bool bBefore, bool &bHandled, qint32 &lReturn, QWidget *&, qint32 &uMsg, qint32 &wParam,
                        qint32 &lParam) override
    {
        calls.push_back({bBefore, uMsg, wParam, lParam, lReturn});
        log->append(bBefore ? QStringLiteral("before") : QStringLiteral("after"));
        if (bBefore && uMsg == swallow) {
            bHandled = true;
            lReturn = 42;
        }
    }
    QStringList *log = nullptr;
    qint32 swallow = 0;
    std::vector<Call> calls;
};

class LoggingWidget : public QWidget {
public:
    explicit LoggingWidget(QStringList *log) : m_log(log) { resize(100, 50); }
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        ++presses;
        m_log->append(QStringLiteral("widget"));
    }

private:
    QStringList *m_log;
};

std::vector<qint32> Table(const HookEntry &e, bool before)
{
    return before ? e.BeforeTable : e.AfterTable;
}

} // namespace

class tst_WindowHook : public QObject {
    Q_OBJECT
private slots:
    void init() { SetMouseTrackingAvailable(true); }

    void tableRules()
    {
        QStringList log;
        RecordingOwner owner;
        owner.log = &log;
        HookTable hooks(&owner);
        QWidget a, b, c;
        QCOMPARE(hooks.FindHookIndex(&a, true), -1);
        hooks.HookWindow(&a);
        hooks.HookWindow(&b);
        hooks.HookWindow(&a); // already hooked: no second entry
        QCOMPARE(hooks.size(), 2);
        QCOMPARE(hooks.FindHookIndex(&b, false), 1);
        QCOMPARE(hooks.FindHookIndex(&c, false), -1);

        hooks.AddHookMsg(&a, WM_MOUSEMOVE, HookAfter);
        hooks.AddHookMsg(&a, WM_MOUSEMOVE, HookAfter);
        hooks.AddHookMsg(&a, WM_MOUSELEAVE, HookAfter | HookBefore);
        QCOMPARE(hooks.entry(0).AfterCount, 2);
        QCOMPARE(Table(hooks.entry(0), false), (std::vector<qint32>{WM_MOUSEMOVE, WM_MOUSELEAVE}));
        QCOMPARE(hooks.entry(0).BeforeCount, 1);

        // A deleted slot keeps the count and takes the next registration.
        hooks.DelHookMsg(&a, WM_MOUSEMOVE, HookAfter);
        QCOMPARE(hooks.entry(0).AfterCount, 2);
        QCOMPARE(Table(hooks.entry(0), false), (std::vector<qint32>{0, WM_MOUSELEAVE}));
        hooks.AddHookMsg(&a, WM_TIMER, HookAfter);
        QCOMPARE(Table(hooks.entry(0), false), (std::vector<qint32>{WM_TIMER, WM_MOUSELEAVE}));

        hooks.AddHookMsg(&b, HookAllMessages, HookBefore);
        QCOMPARE(hooks.entry(1).BeforeCount, -1);
        hooks.DelHookMsg(&b, HookAllMessages, HookBefore);
        QCOMPARE(hooks.entry(1).BeforeCount, 0);

        // A freed entry is the one the next window gets; the highest free one first.
        hooks.UnhookWindow(&a);
        QCOMPARE(hooks.FindHookIndex(&a, false), -1);
        QCOMPARE(hooks.FindHookIndex(nullptr, true), 0);
        QCOMPARE(hooks.entry(0).AfterCount, 0);
        QVERIFY(hooks.entry(0).AfterTable.empty());
        hooks.HookWindow(&c);
        QCOMPARE(hooks.size(), 2);
        QCOMPARE(hooks.FindHookIndex(&c, false), 0);
        hooks.UnhookAll();
        QCOMPARE(hooks.FindHookIndex(nullptr, true), 1);
        QCOMPARE(hooks.FindHookIndex(&b, false), -1);
    }

    void dispatchOrder()
    {
        QStringList log;
        RecordingOwner owner;
        owner.log = &log;
        HookTable hooks(&owner);
        LoggingWidget w(&log);
        hooks.HookWindow(&w);
        hooks.AddHookMsg(&w, WM_LBUTTONDOWN, HookBefore | HookAfter);

        QTest::mousePress(&w, Qt::LeftButton, Qt::NoModifier, QPoint(5, 7));
        QCOMPARE(log, (QStringList{"before", "widget", "after"}));
        QCOMPARE(owner.calls.at(0).lParam, 0x00070005);
        QCOMPARE(owner.calls.at(0).lReturn, 0);
        QCOMPARE(owner.calls.at(1).lReturn, 1); // the widget's result, seen by the after-callback
        QCOMPARE(hooks.LastReturn(), 1);

        // Swallowed before the widget: neither it nor the after-callback runs.
        log.clear();
        owner.swallow = WM_LBUTTONDOWN;
        QTest::mousePress(&w, Qt::LeftButton, Qt::NoModifier, QPoint(6, 7));
        QCOMPARE(log, QStringList{"before"});
        QCOMPARE(w.presses, 1);
        QCOMPARE(hooks.LastReturn(), 42);

        // A message nobody registered reaches the widget untouched and calls nobody back.
        log.clear();
        QTest::mousePress(&w, Qt::RightButton, Qt::NoModifier, QPoint(6, 7));
        QCOMPARE(log, QStringList{"widget"});

        // Every message, and after an unhook none at all.
        hooks.AddHookMsg(&w, HookAllMessages, HookAfter);
        log.clear();
        owner.calls.clear();
        QTest::mouseRelease(&w, Qt::RightButton, Qt::NoModifier, QPoint(6, 7));
        QCOMPARE(owner.calls.size(), size_t(1));
        QCOMPARE(owner.calls.at(0).uMsg, WM::RBUTTONUP);
        hooks.UnhookWindow(&w);
        log.clear();
        owner.swallow = 0;
        QTest::mousePress(&w, Qt::LeftButton, Qt::NoModifier, QPoint(6, 7));
        QCOMPARE(log, QStringList{"widget"});
    }

    void movesLeaveAndTimer()
    {
        QStringList log;
        RecordingOwner owner;
        owner.log = &log;
        HookTable hooks(&owner);
        QWidget w;
        w.resize(100, 50);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(hooks.CheckMouseTracking());
        hooks.HookWindow(&w);
        for (qint32 m : {WM_MOUSEMOVE, WM_MOUSELEAVE, WM_TIMER})
            hooks.AddHookMsg(&w, m, HookAfter);

        // Moves arrive without a button held.
        QTest::mouseMove(w.windowHandle(), QPoint(30, 20));
        QVERIFY(!owner.calls.empty());
        QCOMPARE(owner.calls.back().uMsg, WM_MOUSEMOVE);
        QCOMPARE(owner.calls.back().lParam, 30 | 20 << 16);
        MousePosition last;
        QVERIFY(last.Moved(owner.calls.back().lParam));
        QVERIFY(!last.Moved(owner.calls.back().lParam));

        // Leave only once armed, and once per arming.
        QEvent leave(QEvent::Leave);
        owner.calls.clear();
        QCoreApplication::sendEvent(&w, &leave);
        QVERIFY(owner.calls.empty());
        hooks.TrackMouseLeave(&w);
        QCoreApplication::sendEvent(&w, &leave);
        QCoreApplication::sendEvent(&w, &leave);
        QCOMPARE(owner.calls.size(), size_t(1));
        QCOMPARE(owner.calls.back().uMsg, WM_MOUSELEAVE);

        owner.calls.clear();
        const int id = w.startTimer(1);
        QTRY_VERIFY(!owner.calls.empty());
        w.killTimer(id);
        QCOMPARE(owner.calls.front().uMsg, WM_TIMER);
        QCOMPARE(owner.calls.front().wParam, id);

        // Without the system's leave tracking nothing is armed.
        SetMouseTrackingAvailable(false);
        QVERIFY(!hooks.CheckMouseTracking());
        hooks.TrackMouseLeave(&w);
        owner.calls.clear();
        QCoreApplication::sendEvent(&w, &leave);
        QVERIFY(owner.calls.empty());
    }

    void lifetimes()
    {
        QStringList log;
        RecordingOwner owner;
        owner.log = &log;
        auto *w = new LoggingWidget(&log);
        {
            HookTable hooks(&owner);
            hooks.HookWindow(w);
            hooks.AddHookMsg(w, WM_LBUTTONDOWN, HookAfter);
            auto *gone = new QWidget;
            hooks.HookWindow(gone);
            delete gone; // its entry turns free with it
            QCOMPARE(hooks.FindHookIndex(nullptr, true), 1);
        }
        // The table is gone: the widget runs on without calling back into it.
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
        QCOMPARE(log, QStringList{"widget"});
        delete w;
    }
};

QTEST_MAIN(tst_WindowHook)
#include "tst_WindowHook.moc"
