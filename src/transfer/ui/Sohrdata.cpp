#include "transfer/ui/Sohrdata.h"

TFormSD *FormSD = nullptr;

TFormSD::TFormSD(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FormSD"));
    setWindowTitle(QString::fromUtf8("Удаление товаров из весов"));
    resize(640, 480);
}
