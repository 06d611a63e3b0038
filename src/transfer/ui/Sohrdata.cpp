#include "transfer/ui/Sohrdata.h"

#include "app/ui/Pd1.h"
#include "shared/Messages.h"
#include "transfer/ProductClearer.h"
#include "transfer/ui/NumberSpinEdit.h"
#include "transfer/ui/Vlreadbd.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

using namespace ztk;

TFormSD *FormSD = nullptr;

TFormSD::TFormSD(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormSD"));
    setWindowTitle(msg::text(msg::ClearRangeCaption));
    setModal(true);

    Label1 = new QLabel(QStringLiteral("с..."), this);
    CSpinEdit1 = new NumberSpinEdit(this);
    CSpinEdit1->setObjectName(QStringLiteral("CSpinEdit1"));
    Label2 = new QLabel(QStringLiteral("по..."), this);
    CSpinEdit2 = new NumberSpinEdit(this);
    CSpinEdit2->setObjectName(QStringLiteral("CSpinEdit2"));
    CSpinEdit2->setNumber(2);
    CGauge1 = new QProgressBar(this);
    CGauge1->setObjectName(QStringLiteral("CGauge1"));
    CGauge1->setRange(0, 100);
    CGauge1->hide();
    Button1 = new QPushButton(QStringLiteral("Выполнить"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("Отмена"), this);
    Button2->setObjectName(QStringLiteral("Button2"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(CSpinEdit1, 0, 1);
    layout->addWidget(Label2, 0, 2);
    layout->addWidget(CSpinEdit2, 0, 3);
    layout->addWidget(CGauge1, 1, 0, 1, 4);
    layout->addWidget(Button1, 2, 1);
    layout->addWidget(Button2, 2, 3);

    initActionsConnections();
}

void TFormSD::initActionsConnections()
{
    connect(Button1, &QPushButton::clicked, this, &TFormSD::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFormSD::Button2Click);
}

void TFormSD::Button1Click()
{
    if (!Form1 || !Form8)
        return;
    const AppContext &ctx = Form1->context();
    CGauge1->setValue(0);
    CGauge1->show();
    const int from = CSpinEdit1->number();
    const int to = CSpinEdit2->number();
    // The read window's fields as they stand bound the range.
    const int readFirst = Form8->CSpinEdit1->number();
    if (from < readFirst || to > Form8->CSpinEdit2->number()) {
        CGauge1->hide();
        ctx.prompter->message(MessageKind::Warning, msg::text(msg::BadClearRange));
        return;
    }
    const ExchangeLock::Hold hold(Form1->exchangeLock());
    if (!hold.taken()) {
        CGauge1->hide();
        return;
    }
    const bool cleared = ProductClearer(Form1->link(), *ctx.clock, *ctx.pump)
                             .clearRange(
                                 from, to, [&](int, int percent) { CGauge1->setValue(percent); },
                                 [&](int number) { Form8->blankRow(number - readFirst + 1); });
    CGauge1->hide();
    if (!cleared) {
        ctx.prompter->message(MessageKind::Warning, msg::text(msg::NoLink));
        return;
    }
    accept();
}

void TFormSD::Button2Click()
{
    reject();
}
