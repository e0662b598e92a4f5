#include "shell/TargetBox.h"

#include "lang/modLang.h"
#include "platform/LikeMatch.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

constexpr int kMaxPaths = 10;

class BusyScope {
public:
    explicit BusyScope(bool &flag) : m_flag(flag) { m_flag = true; }
    ~BusyScope() { m_flag = false; }

private:
    bool &m_flag;
};

} // namespace

TargetBox::TargetBox(QComboBox *box, bool &busyFlag, QWidget *owner)
    : QObject(box), m_box(box), m_busy(busyFlag), m_owner(owner), m_browser(&TargetBox::BrowseForTarget)
{
    // The box completes by its own rule; Qt's inline completer would fight it.
    m_box->setCompleter(nullptr);
    connect(edit(), &QLineEdit::textEdited, this, &TargetBox::TextChanged);
    connect(m_box, &QComboBox::activated, this, &TargetBox::ItemClicked);
    m_box->installEventFilter(this);
    // The box is narrow; its list opens as wide as the longest path, so paths stay readable.
    connect(m_box->model(), &QAbstractItemModel::rowsInserted, this, &TargetBox::FitListWidth);
    connect(m_box->model(), &QAbstractItemModel::rowsRemoved, this, &TargetBox::FitListWidth);
    FitListWidth();
}

void TargetBox::FitListWidth()
{
    QAbstractItemView *view = m_box->view();
    int widest = 0;
    for (int i = 0; i < m_box->count(); ++i)
        widest = std::max(widest, view->fontMetrics().horizontalAdvance(m_box->itemText(i)));
    view->setMinimumWidth(widest + 2 * view->frameWidth() + 16);
}

QLineEdit *TargetBox::edit() const
{
    return m_box->lineEdit();
}

QString TargetBox::BrowseEntry() const
{
    return LangText(53, false, false, false, QString());
}

QString TargetBox::BrowseForTarget(QWidget *owner)
{
    const QString title = LangText(52, false, false, false, QStringLiteral("Laufwerk oder Pfad wählen..."));
    return QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
}

void TargetBox::TextChanged()
{
    QLineEdit *e = edit();
    const QString text = e->text();
    if (text.isEmpty() || m_busy)
        return;
    const qsizetype n = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
    const QString pattern = text.left(n).toUpper() + u'*';
    const QString upperText = text.toUpper();
    for (int i = 0; i < m_box->count(); ++i) {
        const QString item = m_box->itemText(i);
        const QString upperItem = item.toUpper();
        if (!LikeMatch(upperItem, pattern) || upperItem == upperText)
            continue;
        BusyScope busy(m_busy);
        const qsizetype selStart = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
        const qsizetype selEnd = selStart + e->selectedText().size();
        const QString completed = text.left(selStart) + item.mid(n) + text.mid(selEnd);
        e->setText(completed);
        e->setSelection(static_cast<int>(n), static_cast<int>(completed.size() - n));
        return;
    }
}

void TargetBox::KeyPressed(int key)
{
    QLineEdit *e = edit();
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
        BusyScope busy(m_busy);
        if (e->hasSelectedText())
            e->del();
    } else if (key == Qt::Key_Tab || key == Qt::Key_Return || key == Qt::Key_Enter) {
        FocusLost();
        e->setCursorPosition(static_cast<int>(e->text().size()));
    }
}

void TargetBox::FocusLost()
{
    const QString text = edit()->text();
    if (text.isEmpty())
        return;
    for (int i = 0; i < m_box->count(); ++i) {
        if (m_box->itemText(i).compare(text, Qt::CaseInsensitive) == 0) {
            BusyScope busy(m_busy);
            edit()->setText(m_box->itemText(i));
            return;
        }
    }
}

int TargetBox::ListIndex() const
{
    const QString text = m_box->currentText();
    const int current = m_box->currentIndex();
    if (current >= 0 && m_box->itemText(current) == text)
        return current;
    return m_box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void TargetBox::ItemClicked()
{
    const QString browse = BrowseEntry();
    if (edit()->text() != browse)
        return;
    const QString path = m_browser(m_owner);
    if (path.isEmpty())
        return;
    AddBrowsedPath(path);
}

void TargetBox::AddBrowsedPath(const QString &path)
{
    const QString browse = BrowseEntry();
    for (int i = m_box->count(); i >= 0; --i) {
        if (i < m_box->count() && m_box->itemText(i) == browse)
            m_box->removeItem(i);
        if (i < m_box->count() && m_box->itemText(i) == path)
            m_box->removeItem(i);
    }
    while (m_box->count() >= kMaxPaths)
        m_box->removeItem(0);
    m_box->addItem(path);
    m_box->addItem(browse);
    QCoreApplication::processEvents();
    const int added = m_box->count() - 2;
    m_box->setCurrentIndex(added);
    // The index may already have been there after the removals; the text must follow it.
    if (edit()->text() != path) {
        BusyScope busy(m_busy);
        edit()->setText(path);
    }
}

bool TargetBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_box) {
        if (event->type() == QEvent::KeyPress)
            KeyPressed(static_cast<QKeyEvent *>(event)->key());
        else if (event->type() == QEvent::FocusOut)
            FocusLost();
    }
    return false;
}
