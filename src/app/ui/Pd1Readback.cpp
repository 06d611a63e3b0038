// The main window's "Чтение БД из весов": the read-back window, shown modally.

#include "app/ui/Pd1.h"

#include "products/ProductDataset.h"
#include "products/ProductFields.h"
#include "transfer/ui/NumberSpinEdit.h"
#include "transfer/ui/Vlreadbd.h"

using namespace ztk;

void TForm1::N10Click()
{
    if (!Form8)
        return;
    const int position = m_ws.dataset().position();
    Form8->CSpinEdit1->setNumber(m_ws.dataset().integer(fld::N));
    Form8->exec();
    showRecordCount();
    m_ws.dataset().first();
    m_ws.dataset().moveBy(position - 1);
}
