#include "transfer/ui/Formspisok.h"

#include "shared/Messages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QVBoxLayout>

using namespace ztk;

TForm7 *Form7 = nullptr;

TForm7::TForm7(Prompter &prompter, QWidget *parent) : QDialog(parent), m_prompter(prompter)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Формирование списка товаров для весов"));
    setModal(true);

    MainMenu1 = new QMenuBar(this);
    N1 = MainMenu1->addAction(QStringLiteral("Выполнить"));
    N2 = MainMenu1->addAction(QStringLiteral("?"));
    N3 = MainMenu1->addAction(QStringLiteral("Выход"));
    N1->setObjectName(QStringLiteral("N1"));
    N2->setObjectName(QStringLiteral("N2"));
    N3->setObjectName(QStringLiteral("N3"));

    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    Label2 = new QLabel(QStringLiteral("Выбрано"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label1 = new QLabel(QStringLiteral("0"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
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
    connect(CheckListBox1, &QListWidget::itemChanged, this, &TForm7::CheckListBox1ClickCheck);
    connect(N1, &QAction::triggered, this, &TForm7::N1Click);
    connect(N3, &QAction::triggered, this, &TForm7::N3Click);
    // N2 "?" has no action.
}

void TForm7::fill(const QStringList &entryTexts)
{
    m_settingChecks = true;
    CheckListBox1->clear();
    for (const QString &text : entryTexts) {
        auto *item = new QListWidgetItem(text, CheckListBox1);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    m_settingChecks = false;
    Memo1->clear();
    m_list.open(entryTexts);
    showList();
}

QStringList TForm7::memoLines() const
{
    QString text = Memo1->toPlainText();
    if (text.isEmpty())
        return {};
    if (text.endsWith(QLatin1Char('\n'))) // a closing line break starts no line
        text.chop(1);
    return text.split(QLatin1Char('\n'));
}

void TForm7::showList()
{
    Label1->setText(QString::number(m_list.tickedCount()));
}

void TForm7::CheckListBox1ClickCheck(QListWidgetItem *item)
{
    if (m_settingChecks || !item)
        return;
    const int position = CheckListBox1->row(item);
    m_list.setMemoLines(memoLines());
    if (item->checkState() == Qt::Checked) {
        if (!m_list.tick(position)) {
            m_settingChecks = true;
            item->setCheckState(Qt::Unchecked);
            m_settingChecks = false;
            showList();
            m_prompter.message(MessageKind::Warning, msg::text(msg::ListTooMany));
            return;
        }
    } else {
        m_list.untick(position);
    }
    Memo1->setPlainText(m_list.memoLines().join(QLatin1Char('\n')));
    showList();
}

void TForm7::N1Click()
{
    m_list.setMemoLines(memoLines());
    const ProductList::Outcome outcome = m_list.form();
    m_prompter.message(outcome.message);
}

void TForm7::N3Click()
{
    const QString text = m_list.leave();
    if (!text.isEmpty())
        m_prompter.message(text);
    accept();
}

void TForm7::FormActivate()
{
    showList();
    m_list.activate();
}

void TForm7::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}
