#include "transfer/ui/Formspisok.h"

#include "shared/Messages.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QVBoxLayout>

using namespace ztk;

TForm7 *Form7 = nullptr;

TForm7::TForm7(Prompter &prompter, QWidget *parent)
    : TickListDialog(prompter, msg::text(msg::ListTooMany), parent)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Формирование списка товаров для весов"));
    Memo1->setFixedWidth(90);

    auto *count = new QHBoxLayout;
    count->addWidget(Label2);
    count->addWidget(Label1);
    count->addStretch();
    auto *right = new QVBoxLayout;
    right->addLayout(count);
    right->addWidget(Memo1);
    auto *body = new QHBoxLayout;
    body->addWidget(CheckListBox1, 1);
    body->addLayout(right);
    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(MainMenu1);
    layout->addLayout(body);
    resize(460, 420);

    initActionsConnections();
}

void TForm7::initActionsConnections()
{
    connect(N1, &QAction::triggered, this, &TForm7::N1Click);
    connect(N3, &QAction::triggered, this, &TForm7::N3Click);
    // N2 "?" has no action.
}

void TForm7::N1Click()
{
    m_list.setMemoLines(memoLines());
    const ProductList::Outcome outcome = m_list.form();
    m_prompter.message(MessageKind::Warning, outcome.message);
}

void TForm7::N3Click()
{
    const QString text = m_list.leave();
    if (!text.isEmpty())
        m_prompter.message(MessageKind::Warning, text);
    accept();
}

void TForm7::FormActivate()
{
    showCount();
    m_list.activate();
}

void TForm7::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}
