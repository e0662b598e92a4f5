// One single test through the real main window, started without a pointer, to tell apart what the
// window's being on screen costs:
//   window_probe FOLDER COUNT SIZE_MB [--cache] [--hidden | --no-paint]
// --hidden never shows the window; --no-paint shows it but stops its painting for the run. Prints
// the write phase's MB/s (bytes over its microsecond span) and the share of that span spent between
// the block calls, in per cent. Settings and history go to a temporary folder.
#include "controls/Chk1.h"
#include "controls/Cmd1.h"
#include "controls/Txt.h"
#include "platform/ui/MsgBox.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool cache = args.removeAll(QStringLiteral("--cache")) > 0;
    const bool hidden = args.removeAll(QStringLiteral("--hidden")) > 0;
    const bool noPaint = args.removeAll(QStringLiteral("--no-paint")) > 0;
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: window_probe FOLDER COUNT SIZE_MB [--cache] [--hidden | --no-paint]\n");
        return 2;
    }
    // The questions a run may ask (bypass refused, and the like) are answered no.
    SetMsgBoxHandler([](const QString &, int, const QString &) { return int(MsgBoxResult::No); });

    frmMain w;
    if (!hidden)
        w.show();
    w.Drive1->setEditText(args.at(0));
    w.Txt1->setText(args.at(1));
    w.Txt2->setText(args.at(2));
    w.Chk11->setChecked(false);
    w.chkDisableCaching->setChecked(!cache);

    int code = 1;
    QObject::connect(&w, &frmMain::runFinished, &app, [&](const RunRecord &record) {
        for (const PhaseRecord &phase : record.phases) {
            if (phase.kind != PhaseKind::Write || !phase.completed || phase.us <= 0)
                continue;
            const double spanNs = phase.us * 1000.0;
            std::printf("%.1f %.2f\n", phase.bytesTransferred / 1048576.0 / (phase.us / 1e6),
                        100.0 * (1.0 - double(phase.latency.sumNs()) / spanNs));
            code = 0;
        }
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    });
    // Started once the window has been shown and painted, as a click would find it.
    QTimer::singleShot(500, &w, [&] {
        if (noPaint)
            w.setUpdatesEnabled(false);
        emit w.Cmd11->Click();
    });
    app.exec();
    return code;
}
