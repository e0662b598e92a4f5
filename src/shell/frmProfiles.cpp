#include "shell/frmProfiles.h"

#include "lang/modLang.h"
#include "platform/ui/MsgBox.h"
#include "profile/ProfileText.h"
#include "profile/UserProfiles.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QString Caption(int number, const char *english)
{
    return LangText(number, false, false, false, QString::fromUtf8(english));
}

// A caption's "&" marks its access key; screen readers get the words alone.
QString Plain(QString caption)
{
    return caption.remove(QLatin1Char('&'));
}

} // namespace

QString frmProfiles::ButtonToolTip()
{
    return Caption(250, "Profiles...");
}

frmProfiles::frmProfiles(QWidget *parent) : QDialog(parent)
{
    lblProfiles = new QLabel;
    lstProfiles = new QListWidget;
    lblName = new QLabel;
    txtName = new QLineEdit;
    txtName->setMaxLength(40);
    lblSpec = new QLabel;
    txtSpec = new QLineEdit;
    txtSpec->setPlaceholderText(QStringLiteral("rnd,read,4k,qd32,jobs1"));
    lblHint = new QLabel;
    lblHint->setWordWrap(true);
    lblMessage = new QLabel;
    lblMessage->setWordWrap(true);
    lblMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblProfiles->setBuddy(lstProfiles);
    lblName->setBuddy(txtName);
    lblSpec->setBuddy(txtSpec);
    cmdSave = new QPushButton;
    cmdSave->setDefault(true);
    cmdDelete = new QPushButton;
    cmdDelete->setEnabled(false);
    cmdClose = new QPushButton;
    cmdClose->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdDelete);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblProfiles);
    layout->addWidget(lstProfiles, 1);
    layout->addWidget(lblName);
    layout->addWidget(txtName);
    layout->addWidget(lblSpec);
    layout->addWidget(txtSpec);
    layout->addWidget(lblHint);
    layout->addWidget(lblMessage);
    layout->addLayout(buttons);
    setTabOrder(lstProfiles, txtName);
    setTabOrder(txtName, txtSpec);
    setTabOrder(txtSpec, cmdSave);
    setTabOrder(cmdSave, cmdDelete);
    setTabOrder(cmdDelete, cmdClose);

    connect(lstProfiles, &QListWidget::currentRowChanged, this, &frmProfiles::ShowChosen);
    connect(cmdSave, &QPushButton::clicked, this, &frmProfiles::SaveProfile);
    connect(cmdDelete, &QPushButton::clicked, this, &frmProfiles::DeleteChosen);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    auto *del = new QShortcut(QKeySequence::Delete, lstProfiles, nullptr, nullptr, Qt::WidgetShortcut);
    connect(del, &QShortcut::activated, this, &frmProfiles::DeleteChosen);

    Translate();
    Reload(QString());
    resize(460, 420);
}

void frmProfiles::Translate()
{
    setWindowTitle(Caption(251, "Profiles"));
    lblProfiles->setText(Caption(256, "&Your profiles:"));
    lblName->setText(Caption(252, "&Name:"));
    lblSpec->setText(Caption(253, "&Profile:"));
    lblHint->setText(Caption(257, "seq or rnd, read, write or mix<read %>, block size 4k to 8m, qd<depth>, "
                                  "jobs<n>; optional size<n>m, <n>s or bytes<n>m, passes<n>"));
    cmdSave->setText(Caption(254, "&Save"));
    cmdDelete->setText(Caption(255, "&Delete"));
    cmdClose->setText(Caption(261, "Close"));
    lstProfiles->setAccessibleName(Plain(lblProfiles->text()));
    txtName->setAccessibleName(Plain(lblName->text()));
    txtSpec->setAccessibleName(Plain(lblSpec->text()));
    txtSpec->setAccessibleDescription(lblHint->text());
}

void frmProfiles::Reload(const QString &chosen)
{
    const QSignalBlocker quiet(lstProfiles);
    lstProfiles->clear();
    for (const ProfileSpec &spec : UserProfiles::Load()) {
        auto *item = new QListWidgetItem(spec.name + QStringLiteral(" = ") + Profiles::Format(spec), lstProfiles);
        item->setData(Qt::UserRole, spec.name);
        if (spec.name.compare(chosen, Qt::CaseInsensitive) == 0)
            lstProfiles->setCurrentItem(item);
    }
    cmdDelete->setEnabled(lstProfiles->currentItem() != nullptr);
}

void frmProfiles::ShowChosen()
{
    const QListWidgetItem *item = lstProfiles->currentItem();
    cmdDelete->setEnabled(item != nullptr);
    if (!item)
        return;
    const QString name = item->data(Qt::UserRole).toString();
    txtName->setText(name);
    txtSpec->setText(item->text().mid(name.size() + 3));
    lblMessage->clear();
}

bool frmProfiles::SaveProfile()
{
    const QString name = txtName->text().trimmed();
    const ProfileError e = UserProfiles::Save(name, txtSpec->text());
    if (e) {
        lblMessage->setText(ProfileText::Error(e));
        QLineEdit *atFault = e.code == ProfileError::BadName ? txtName : txtSpec;
        atFault->setFocus();
        atFault->selectAll();
        return false;
    }
    Reload(name);
    ShowChosen(); // the text as stored, in its plain form
    lblMessage->setText(LangText(260, false, true, false, QStringLiteral("Gespeichert: ")) + name);
    return true;
}

bool frmProfiles::DeleteChosen()
{
    const QListWidgetItem *item = lstProfiles->currentItem();
    if (!item)
        return false;
    const QString name = item->data(Qt::UserRole).toString();
    const QString question = LangText(259, false, false, false, QStringLiteral("Das Profil %1 löschen?")).arg(name);
    if (MsgBox(question, MsgBoxStyle::YesNo | MsgBoxStyle::Question, QStringLiteral("Veltaro"), this) !=
        MsgBoxResult::Yes)
        return false;
    const int row = lstProfiles->currentRow();
    const bool removed = UserProfiles::Remove(name);
    Reload(QString());
    txtName->clear();
    txtSpec->clear();
    lblMessage->clear();
    // The row that took its place is chosen, so Delete can go on through the list.
    lstProfiles->setCurrentRow(std::min(row, lstProfiles->count() - 1));
    return removed;
}
