#include "common/ui/Vl2.h"

#include "app/ui/Help.h"
#include "app/ui/Pd1.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TForm2 *Form2 = nullptr;

TForm2::TForm2(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QString::fromUtf8("Формирование общих данных"));
    ztk::addHelpItem(this, QStringLiteral("Topic50"));

    auto *central = new QWidget(this);
    setCentralWidget(central);
    auto *label = new QLabel(QString::fromUtf8("Номер весов:"), central);
    label->setGeometry(8, 12, 90, 20);
    Edit3 = new QLineEdit(central);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setGeometry(100, 10, 48, 24);
    Button1 = new QPushButton(QString::fromUtf8("Номер весов"), central);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(156, 8, 110, 28);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    resize(640, 480);
}

void TForm2::Button1Click()
{
    if (Form1)
        Form1->Button1Click();
}
