#pragma once

#include <QWidget>

// The white view frame that holds the controls, with the two outline shapes and the line
// that group the log panel and the options.
class ViewFrame : public QWidget {
public:
    explicit ViewFrame(QWidget *parent = nullptr);
    static void paintDecorations(QPainter &painter);
protected:
    void paintEvent(QPaintEvent *event) override;
};
