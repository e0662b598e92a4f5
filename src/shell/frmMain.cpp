#include "shell/frmMain.h"

#include "controls/Chk1.h"
#include "controls/Cmd1.h"
#include "controls/PPB.h"
#include "controls/PropertyBag.h"
#include "controls/Txt.h"
#include "platform/ui/Twips.h"
#include "shell/StoredDesign.h"
#include "shell/ViewFrame.h"
#include "toolbar/McToolBar.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QTimer>

namespace {

template <typename T> T *Place(QWidget *parent, int left, int top, int width, int height)
{
    auto *widget = new T(parent);
    widget->setGeometry(TwipsRect(left, top, width, height));
    return widget;
}

QLabel *Picture(QWidget *parent, const QString &resource, const QRect &geometry)
{
    auto *label = new QLabel(parent);
    label->setGeometry(geometry);
    // The icon picks the picture made for the screen's pixel ratio (name@2x.png at 2).
    label->setPixmap(QIcon(resource).pixmap(geometry.size(), label->devicePixelRatioF()));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// The profile test's row below the classic layout.
constexpr int kProfileRowTwips = 480;

} // namespace

frmMain::frmMain(QWidget *parent) : QWidget(parent)
{
    createControls();
    connectTarget();
    connectRuns();
    connectSuggest();
    connectMenus();
    connectResults();
    connectProfile();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::createControls()
{
    // The classic layout is 4800 twips square; the profile test's row adds to its foot.
    setFixedSize(TwipsToPixels(4800), TwipsToPixels(4800 + kProfileRowTwips));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setWindowIcon(QIcon(QStringLiteral(":/icon1.png")));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(7);
    setFont(font);

    McToolBar1 = Place<McToolBar>(this, 0, 0, 4800, 300);
    McToolBar1->ReadProperties(PropertyBag::load(QStringLiteral(":/design/McToolBar1.props")));
    frView = Place<ViewFrame>(this, 60, 315, 4650, 4455 + kProfileRowTwips);
    QWidget *f = frView;

    Label1 = Place<QLabel>(f, 120, 360, 1695, 195);
    Label1->setText(QStringLiteral("Anzahl der Dateien:"));
    Txt1 = Place<Txt>(f, 2115, 315, 1995, 255);
    Txt1->ReadProperties(StoredDesign(QStringLiteral("Txt1")));
    Label2 = Place<QLabel>(f, 120, 720, 1815, 195);
    Label2->setText(QStringLiteral("Größe der Dateien (MB):"));
    Txt2 = Place<Txt>(f, 2115, 675, 1995, 255);
    Txt2->ReadProperties(StoredDesign(QStringLiteral("Txt2")));
    // A caption marked with "&" by a language file: Alt and that letter go to the box.
    Label1->setBuddy(Txt1->focusProxy());
    Label2->setBuddy(Txt2->focusProxy());
    Cmd13 = Place<Cmd1>(f, 4185, 315, 330, 615);
    Cmd13->ReadProperties(StoredDesign(QStringLiteral("Cmd13")));

    Image1 = Picture(f, QStringLiteral(":/image1.png"), TwipsRect(300, 1200, 2505, 1110));
    Image2 = Picture(f, QStringLiteral(":/image2.png"), TwipsRect(300, 1200, 2505, 1110));
    Image2->hide();
    Label3 = Place<QLabel>(f, 180, 1140, 2835, 1155);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label3->setTextFormat(Qt::PlainText);

    Drive1 = Place<QComboBox>(f, 3180, 1080, 1335, 315);
    Drive1->setEditable(true);
    Drive1->setInsertPolicy(QComboBox::NoInsert);
    Cmd11 = Place<Cmd1>(f, 3180, 1455, 1335, 420);
    Cmd11->ReadProperties(StoredDesign(QStringLiteral("Cmd11")));
    Cmd12 = Place<Cmd1>(f, 3180, 1935, 1335, 420);
    Cmd12->ReadProperties(StoredDesign(QStringLiteral("Cmd12")));

    Chk11 = Place<Chk1>(f, 225, 2475, 4245, 240);
    Chk11->ReadProperties(StoredDesign(QStringLiteral("Chk11")));
    ChkDoEvents = Place<Chk1>(f, 225, 2700, 4200, 240);
    ChkDoEvents->ReadProperties(StoredDesign(QStringLiteral("ChkDoEvents")));
    chkDisableCaching = Place<Chk1>(f, 225, 2940, 4200, 240);
    chkDisableCaching->ReadProperties(StoredDesign(QStringLiteral("chkDisableCaching")));
    chkEnableWriteThrough = Place<Chk1>(f, 225, 3180, 4200, 240);
    chkEnableWriteThrough->ReadProperties(StoredDesign(QStringLiteral("chkEnableWriteThrough")));
    // Beside the animation icon, below the classic options, so that they keep their places.
    chkReadFromDevice = Place<Chk1>(f, 660, 4035, 1935, 240);
    chkReadFromDevice->ReadProperties(StoredDesign(QStringLiteral("chkReadFromDevice")));

    Progress1 = Place<PPB>(f, 225, 3495, 4215, 135);
    Progress1->ReadProperties(StoredDesign(QStringLiteral("Progress1")));
    OverallProgress = Place<PPB>(f, 225, 3615, 4215, 315);
    OverallProgress->ReadProperties(StoredDesign(QStringLiteral("OverallProgress")));

    iIcon[0] = Picture(f, QStringLiteral(":/icon1.png"), TwipsRect(120, 3960, 480, 480));
    iIcon[1] = Picture(f, QStringLiteral(":/icon2.png"), TwipsRect(120, 3960, 480, 480));
    iIcon[1]->hide();

    // In the free row beside the animation icon, its right half, so the classic controls keep their places.
    chkVerifyData = Place<Chk1>(f, 2640, 4035, 1830, 240);
    chkVerifyData->ReadProperties(StoredDesign(QStringLiteral("chkVerifyData")));
    // The profile test: its choice of profiles and its start command, in a row of its own at the foot.
    cboProfile = Place<QComboBox>(f, 660, 4455, 2430, 315);
    Cmd14 = Place<Cmd1>(f, 3180, 4410, 1335, 420);
    Cmd14->ReadProperties(StoredDesign(QStringLiteral("Cmd14")));
    // Below the animation icon, before the list it edits.
    Cmd15 = Place<Cmd1>(f, 120, 4455, 480, 315);
    Cmd15->ReadProperties(StoredDesign(QStringLiteral("Cmd15")));

    IconAnimation = new QTimer(this);
    IconAnimation->setInterval(100);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (Form_QueryUnload())
        event->accept();
    else
        event->ignore();
}
