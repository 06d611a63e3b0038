#pragma once
// A spin box that tells a change by its arrows (keys, buttons, wheel) from a
// change by typing, and reports Enter.

#include <QKeyEvent>
#include <QSpinBox>

#include <functional>

namespace ztk {

class StepSpinBox final : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

    // True while a value change comes from the arrows.
    bool stepping() const { return m_stepping; }
    std::function<void()> onEnter;

    void stepBy(int steps) override
    {
        m_stepping = true;
        QSpinBox::stepBy(steps);
        m_stepping = false;
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        QSpinBox::keyPressEvent(event);
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && onEnter)
            onEnter();
    }

private:
    bool m_stepping = false;
};

} // namespace ztk
