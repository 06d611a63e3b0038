#include "products/ui/Vlprint.h"

TFormPrint *FormPrint = nullptr;

TFormPrint::TFormPrint(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FormPrint"));
    setWindowTitle(QString::fromUtf8("Печать"));
    resize(640, 480);
}
