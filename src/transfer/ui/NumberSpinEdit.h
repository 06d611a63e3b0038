#pragma once
// The product-number spin edits of the read window and the range-clear dialog: the
// arrows keep within 1..5000, a whole number typed is taken as it is, and any other
// text reads as 1 (and then shows 1).

#include "transfer/ProductReader.h"

#include <QSpinBox>
#include <limits>

class NumberSpinEdit : public QSpinBox {
public:
    explicit NumberSpinEdit(QWidget *parent = nullptr) : QSpinBox(parent)
    {
        // Wide enough that a typed number is not clamped; the arrows are held below.
        setRange(std::numeric_limits<int>::min() / 2, std::numeric_limits<int>::max() / 2);
        setValue(ztk::readback::FirstNumber);
        setFixedWidth(80);
    }

    int number()
    {
        if (const auto n = ztk::readback::fieldNumber(cleanText()))
            return *n;
        setValue(ztk::readback::FirstNumber);
        return ztk::readback::FirstNumber;
    }
    void setNumber(qint64 value) { setValue(ztk::readback::heldNumber(value)); }

    void stepBy(int steps) override { setNumber(qint64(number()) + steps); }
};
