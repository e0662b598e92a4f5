// The proposal button: values from the free space of the target.
#include "shell/frmMain.h"

#include "controls/Cmd1.h"
#include "controls/Txt.h"
#include "shell/modTest_suggest.h"

void frmMain::connectSuggest()
{
    connect(Cmd13, &Cmd1::Click, this, &frmMain::Cmd13_Click);
}

void frmMain::Cmd13_Click()
{
    std::int32_t files = 0;
    std::int32_t megabytes = 0;
    modTest::SuggestValues(files, megabytes, GetTargetPath(), this);
    // 0 files (nothing free) is not taken even on Yes.
    if (files >= 1 && megabytes >= 1) {
        Txt1->setText(QString::number(files));
        Txt2->setText(QString::number(megabytes));
    }
}
