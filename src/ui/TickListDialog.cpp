#include "ui/TickListDialog.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>

TickListDialog::TickListDialog(ztk::Prompter &prompter, const QString &tooMany, QWidget *parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), m_prompter(prompter), m_tooMany(tooMany)
{
    setModal(true);
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
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

    connect(CheckListBox1, &QListWidget::itemChanged, this, &TickListDialog::CheckListBox1ClickCheck);
}

void TickListDialog::fillEntries(const QStringList &entryTexts)
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
    ticks().open(entryTexts);
    showCount();
}

QStringList TickListDialog::memoLines() const
{
    QString text = Memo1->toPlainText();
    if (text.isEmpty())
        return {};
    if (text.endsWith(QLatin1Char('\n'))) // a closing line break starts no line
        text.chop(1);
    return text.split(QLatin1Char('\n'));
}

void TickListDialog::showCount()
{
    Label1->setText(QString::number(ticks().tickedCount()));
}

void TickListDialog::CheckListBox1ClickCheck(QListWidgetItem *item)
{
    if (m_settingChecks || !item)
        return;
    ztk::TickedList &list = ticks();
    const int position = CheckListBox1->row(item);
    list.setMemoLines(memoLines());
    if (item->checkState() == Qt::Checked) {
        if (!list.tick(position)) {
            m_settingChecks = true;
            item->setCheckState(Qt::Unchecked);
            m_settingChecks = false;
            showCount();
            m_prompter.message(ztk::MessageKind::Warning, m_tooMany);
            return;
        }
    } else {
        list.untick(position);
    }
    Memo1->setPlainText(list.memoLines().join(QLatin1Char('\n')));
    showCount();
}
