#include "totals/ui/Pdsd.h"

#include "app/ui/Help.h"

TForm5 *Form5 = nullptr;

TForm5::TForm5(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QString::fromUtf8("Приём итоговых данных из весов"));
    ztk::addHelpItem(this, QStringLiteral("Topic80"));
    resize(640, 480);
}
