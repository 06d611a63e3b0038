#pragma once
// The product a click in a grid picked, for the command that acts on it.

namespace ztk {

struct PickedProduct {
    int number = 0; // 0: nothing picked
    int row = 0;    // the grid's table row
    int column = 0;

    // `productNumber` 0 (no product in that row) picks nothing; the place of the last
    // pick is kept then.
    void pick(int productNumber, int tableRow, int tableColumn)
    {
        number = productNumber;
        if (productNumber == 0)
            return;
        row = tableRow;
        column = tableColumn;
    }
};

} // namespace ztk
