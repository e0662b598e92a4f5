#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QComboBox;
class QLineEdit;
class QWidget;

// The behaviour of the target box: completion from its list while typing, the list spelling
// taken over when leaving it, and the last item that browses for a folder.
class TargetBox : public QObject {
public:
    // Returns the chosen folder, or empty text when the user cancels.
    using Browser = std::function<QString(QWidget *owner)>;

    // busyFlag is the window's AutoCompleteBusy: set while the box's text is changed here.
    TargetBox(QComboBox *box, bool &busyFlag, QWidget *owner);

    // Tests put a scripted browser in place of the folder dialog.
    void setBrowser(Browser browser) { m_browser = std::move(browser); }
    static QString BrowseForTarget(QWidget *owner);

    // The box's handlers.
    void TextChanged();
    void KeyPressed(int key);
    void FocusLost();
    void ItemClicked();

    QString BrowseEntry() const;
    // The index of the list item the edit text is, -1 when it is none: a typed text leaves the
    // box's current index where it was.
    int ListIndex() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *edit() const;
    void AddBrowsedPath(const QString &path);
    void FitListWidth();

    QComboBox *m_box;
    bool &m_busy;
    QWidget *m_owner;
    Browser m_browser;
};
