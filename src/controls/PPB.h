#pragma once

#include <QProgressBar>

// Stand-in progress bar with the members the window uses; the painted control replaces it.
class PPB : public QProgressBar {
    Q_OBJECT
public:
    explicit PPB(QWidget *parent = nullptr);
    void ValueChange(double value);
    bool ShowBorder() const { return m_showBorder; }
    void setShowBorder(bool show);
private:
    bool m_showBorder = true;
};
