#include "shell/frmAbout.h"

#include "lang/modLang.h"
#include "platform/Version.h"
#include "platform/ui/Twips.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace {

const QString kDescriptionDefault =
    QStringLiteral("No language files found. Please ensure that the *.lng files exist in the folder where this "
                   "program is running from!");

QLabel *Label(QWidget *parent, const QRect &geometry)
{
    auto *label = new QLabel(parent);
    label->setGeometry(geometry);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

frmAbout::frmAbout(QWidget *parent) : QDialog(parent)
{
    setModal(true);
    setFixedSize(TwipsToPixels(5400), TwipsToPixels(4380));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    // Shape1: the frame around the program picture.
    auto *shape1 = new QFrame(this);
    shape1->setGeometry(TwipsRect(120, 120, 2625, 1230));
    shape1->setFrameShape(QFrame::Box);
    shape1->setStyleSheet(QStringLiteral("color: #E0E0E0"));
    Image1 = new QLabel(this);
    Image1->setGeometry(TwipsRect(180, 180, 2505, 1110));
    // The icon picks the picture made for the screen's pixel ratio (image1@2x.png at 2), so the logo stays sharp.
    Image1->setPixmap(QIcon(QStringLiteral(":/image1.png")).pixmap(Image1->size(), devicePixelRatioF()));
    Image1->setAlignment(Qt::AlignCenter);

    lblVersion = Label(this, TwipsRect(2880, 180, 2400, 255));
    QFont bold = lblVersion->font();
    bold.setBold(true);
    lblVersion->setFont(bold);
    lblDescription = Label(this, TwipsRect(120, 1470, 5160, 1080));

    auto *line1 = new QFrame(this);
    line1->setGeometry(TwipsRect(120, 2610, 5160, 15));
    line1->setFrameShape(QFrame::HLine);
    line1->setStyleSheet(QStringLiteral("color: #E0E0E0"));

    lblDisclaimer = Label(this, TwipsRect(120, 2700, 5160, 1020));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setGeometry(TwipsRect(3960, 3840, 1320, 420));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    Form_Load();
}

void frmAbout::Form_Load()
{
    setWindowTitle(LangText(61, false, false, false, QStringLiteral("About...")));
    lblVersion->setText(QStringLiteral("v. ") + ProgramVersion());
    lblDescription->setText(LangText(65, false, false, false, kDescriptionDefault));
    lblDisclaimer->setText(
        QStringLiteral("Veltaro writes and deletes test files in the folder you choose. It is provided as is, without "
                       "any warranty; results depend on the device, its cache and the system load.\n") +
        LangText(137, false, false, false,
                 QStringLiteral("MB means 1,048,576 bytes (1024 x 1024); MB/s is such megabytes per second.")));
}
