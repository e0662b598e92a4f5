#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The user's own profiles: a list of them, and a name and a profile text to add, change or delete
// one. Every text is checked by the profile parser before anything is stored; a refused one is
// told in the dialog, with the field at fault given the focus.
class frmProfiles : public QDialog {
    Q_OBJECT
public:
    explicit frmProfiles(QWidget *parent = nullptr);

    static QString ButtonToolTip(); // of the main window's button that opens it

    // Stores the two fields' profile, replacing one of the same name. False when it was refused.
    bool SaveProfile();
    // Deletes the chosen profile once the user agreed. False when nothing was deleted.
    bool DeleteChosen();

    QLabel *lblProfiles = nullptr;
    QListWidget *lstProfiles = nullptr;
    QLabel *lblName = nullptr;
    QLineEdit *txtName = nullptr;
    QLabel *lblSpec = nullptr;
    QLineEdit *txtSpec = nullptr;
    QLabel *lblHint = nullptr;
    QLabel *lblMessage = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdClose = nullptr;

private:
    void Reload(const QString &chosen);
    void ShowChosen();
    void Translate();
};
