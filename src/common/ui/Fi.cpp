#include "common/ui/Fi.h"

#include "app/ui/Help.h"

TForm6 *Form6 = nullptr;

TForm6::TForm6(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QString::fromUtf8("Формирование индексов"));
    ztk::addHelpItem(this, QStringLiteral("Topic180"));
    resize(640, 480);
}
