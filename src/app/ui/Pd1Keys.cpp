// The main window's keyboard: Tab (and Ctrl+Tab) leaves the grid, the detail panel
// is walked in reading order without its read-only boxes, Enter in its last box
// stores the record, Enter in the prefix box moves on to the grid.

#include "app/ui/Pd1.h"

#include "app/ui/StepSpinBox.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <functional>

namespace {

// Hands the keys it is told of to a function; true from it takes the key.
class KeyHook final : public QObject {
public:
    KeyHook(QObject *parent, std::function<bool(QKeyEvent *)> onKey) : QObject(parent), m_onKey(std::move(onKey)) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        return event->type() == QEvent::KeyPress && m_onKey(static_cast<QKeyEvent *>(event));
    }

private:
    std::function<bool(QKeyEvent *)> m_onKey;
};

bool isEnter(const QKeyEvent *e)
{
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}

} // namespace

void TForm1::initKeyboard()
{
    DBGrid1->setTabKeyNavigation(false);
    DBGrid1->installEventFilter(new KeyHook(DBGrid1, [this](QKeyEvent *e) {
        if (!(e->modifiers() & Qt::ControlModifier) || (e->key() != Qt::Key_Tab && e->key() != Qt::Key_Backtab))
            return false;
        focusNextPrevChild(e->key() == Qt::Key_Tab && !(e->modifiers() & Qt::ShiftModifier));
        return true;
    }));

    // Read-only boxes take no Tab; the best-before box still opens its dialog by a click.
    DBEdit6->setFocusPolicy(Qt::ClickFocus);
    DBEdit11->setFocusPolicy(Qt::NoFocus);
    QWidget *const order[] = {DBGrid1, DBEdit1, DBEdit2, DBEdit3, DBEdit4,    DBEdit5,
                              DBEdit8, DBEdit13, DBEdit7, DBEdit10, ComboBox1, BitBtn1};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    ComboBox1->installEventFilter(new KeyHook(ComboBox1, [this](QKeyEvent *e) {
        if (!isEnter(e) || ComboBox1->view()->isVisible())
            return false;
        BitBtn1Click();
        return true;
    }));

    static_cast<ztk::StepSpinBox *>(CSpinEdit1)->onEnter = [this] { DBGrid1->setFocus(); };
}
