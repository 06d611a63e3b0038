#include "transfer/ui/Vlreadbd.h"

#include "app/ui/Help.h"

TForm8 *Form8 = nullptr;

TForm8::TForm8(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QString::fromUtf8("Чтение БДТ из весов"));
    ztk::addHelpItem(this, QString()); // the item has no command
    resize(640, 480);
}
