#include "transfer/ui/Sohrdata.h"

#include "app/Workspace.h"
#include "ui/ExchangeRun.h"
#include "shared/Messages.h"
#include "transfer/ProductClearer.h"
#include "transfer/ui/NumberSpinEdit.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

using namespace ztk;

TFormSD *FormSD = nullptr;

TFormSD::TFormSD(Workspace &workspace, QWidget *parent) : QDialog(parent), m_ws(workspace)
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
    offWhileExchanging(m_ws.exchangeLock(), this, {}, {Button1});
}

void TFormSD::open(int first, int last, std::function<void(int number)> blank)
{
    m_first = first;
    m_last = last;
    m_blank = std::move(blank);
    CSpinEdit1->setNumber(first);
    CSpinEdit2->setNumber(last);
    exec();
}

void TFormSD::Button1Click()
{
    CGauge1->setValue(0);
    CGauge1->show();
    const int from = CSpinEdit1->number();
    const int to = CSpinEdit2->number();
    if (from < m_first || to > m_last) {
        CGauge1->hide();
        m_ws.prompter().message(MessageKind::Warning, msg::text(msg::BadClearRange));
        return;
    }
    ExchangeRun run(m_ws, this, Operation::ClearProducts, std::nullopt, [this](const ProgressStep &step) { CGauge1->setValue(step.percent); });
    if (!run.started()) {
        CGauge1->hide();
        return;
    }
    const ExchangeResult r = clearProducts(run.session(), from, to, [this](int number) {
        if (m_blank)
            m_blank(number);
    });
    CGauge1->hide();
    if (run.finish(r, msg::text(msg::ClearDone).arg(r.done)))
        accept();
}

void TFormSD::Button2Click()
{
    reject();
}
