#include "common/ui/Pdop.h"

#include "app/ui/Help.h"

TForm4 *Form4 = nullptr;

TForm4::TForm4(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QString::fromUtf8("Общие данные из весов"));
    ztk::addHelpItem(this, QStringLiteral("Topic170"));
    resize(640, 480);
}
