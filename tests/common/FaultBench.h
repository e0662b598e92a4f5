#pragma once

#include "common/EngineTestSupport.h"
#include "common/FaultSupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace FaultTest {

// A base folder holding the target and, beside it, a sibling with things a run must leave alone:
// test files, a result log, a sub-folder and a plain file.
struct Bench {
    QTemporaryDir base{FastTempRoot() + QStringLiteral("/veltaro-faults-XXXXXX")};
    QString target = base.path() + QStringLiteral("/target");
    QString sibling = base.path() + QStringLiteral("/sibling");
    Snapshot siblingBefore;
    QStringList baseBefore;

    Bench()
    {
        QDir().mkpath(target);
        QDir().mkpath(sibling + QStringLiteral("/sub"));
        for (const char *name : {"1.tst", "2.tst", "sub/3.tst", "Single_VeltaroLog_01_02_26_03_04.log", "keep.txt"}) {
            QFile file(sibling + u'/' + QLatin1String(name));
            if (file.open(QIODevice::WriteOnly))
                file.write(EngineTest::Block().repeated(3));
        }
        siblingBefore = TakeSnapshot(sibling);
        baseBefore = Names();
    }
    QString Path() const { return target + u'/'; }
    QStringList Names() const
    {
        QStringList names = QDir(base.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        names.removeAll(QStringLiteral("target"));
        return names.filter(QRegularExpression(QStringLiteral("^(?!.*\\.img$)"))); // the device images change
    }
    // What changed outside the target folder; empty when nothing did.
    QString OutsideChanges() const
    {
        QString changes = Difference(siblingBefore, TakeSnapshot(sibling));
        if (Names() != baseBefore)
            changes += QStringLiteral("\nbase folder now holds ") + Names().join(u' ');
        return changes;
    }
};

} // namespace FaultTest
