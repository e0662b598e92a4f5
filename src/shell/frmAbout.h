#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The about window: version, the language file's description and a disclaimer.
// Made anew for each showing and gone when closed.
class frmAbout : public QDialog {
public:
    explicit frmAbout(QWidget *parent = nullptr);

    QLabel *Image1 = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *lblDisclaimer = nullptr;
    QPushButton *cmdOK = nullptr;

private:
    void Form_Load();
};
