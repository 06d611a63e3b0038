#include "common/ui/Fi.h"

#include "app/ui/Help.h"
#include "common/ui/Vl2.h"
#include "shared/Messages.h"

#include <QAction>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QVBoxLayout>

using namespace ztk;

TForm6 *Form6 = nullptr;

TForm6::TForm6(const AppContext &context, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_context(context)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(msg::text(msg::IndexCaption));
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
    Label31 = new QLabel(QStringLiteral("Клавиша/товар"), this);
    Label31->setObjectName(QStringLiteral("Label31"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setFixedWidth(80);

    // The key numbers stand beside the memo's lines, one line each.
    const int lineHeight = QFontMetrics(Memo1->font()).lineSpacing();
    auto *keys = new QVBoxLayout;
    keys->setSpacing(0);
    keys->setContentsMargins(0, Memo1->frameWidth() + int(Memo1->document()->documentMargin()), 0, 0);
    for (int k = 1; k <= common::KeyLayout::MaxTicked; ++k) {
        auto *l = new QLabel(QString::number(k), this);
        l->setObjectName(QStringLiteral("Label%1").arg(k + 2));
        l->setFixedHeight(lineHeight);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        keys->addWidget(l);
        KeyLabels.push_back(l);
    }
    keys->addStretch();
    Memo1->setFixedHeight(lineHeight * common::KeyLayout::MaxTicked + 2 * Memo1->frameWidth()
                          + 2 * int(Memo1->document()->documentMargin()) + 4);

    auto *count = new QHBoxLayout;
    count->addWidget(Label2);
    count->addWidget(Label1);
    count->addStretch();
    auto *memoRow = new QHBoxLayout;
    memoRow->addLayout(keys);
    memoRow->addWidget(Memo1, 0, Qt::AlignTop);
    auto *right = new QVBoxLayout;
    right->addLayout(count);
    right->addWidget(Label31);
    right->addLayout(memoRow);
    right->addStretch();
    auto *body = new QHBoxLayout;
    body->addWidget(CheckListBox1, 1);
    body->addLayout(right);
    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(MainMenu1);
    layout->addLayout(body);
    resize(480, 560);

    initActionsConnections();
}

TForm6::~TForm6()
{
    if (Form6 == this)
        Form6 = nullptr;
}

void TForm6::initActionsConnections()
{
    connect(CheckListBox1, &QListWidget::itemChanged, this, &TForm6::CheckListBox1ClickCheck);
    connect(N1, &QAction::triggered, this, &TForm6::N1Click);
    connect(N2, &QAction::triggered, this, [] { showHelp(QStringLiteral("Topic180")); });
    connect(N3, &QAction::triggered, this, &TForm6::N3Click);
}

void TForm6::open(bool weight, const QStringList &entryTexts)
{
    m_weight = weight;
    m_settingChecks = true;
    CheckListBox1->clear();
    for (const QString &text : entryTexts) {
        auto *item = new QListWidgetItem(text, CheckListBox1);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    m_settingChecks = false;
    Memo1->clear();
    m_layout.open(entryTexts);
    setWindowTitle(msg::text(weight ? msg::IndexWeightCaption : msg::IndexPieceCaption));
    showCount();
}

QStringList TForm6::memoLines() const
{
    QString text = Memo1->toPlainText();
    if (text.isEmpty())
        return {};
    if (text.endsWith(QLatin1Char('\n'))) // a closing line break starts no line
        text.chop(1);
    return text.split(QLatin1Char('\n'));
}

void TForm6::showCount()
{
    Label1->setText(QString::number(m_layout.tickedCount()));
}

void TForm6::CheckListBox1ClickCheck(QListWidgetItem *item)
{
    if (m_settingChecks || !item)
        return;
    const int position = CheckListBox1->row(item);
    m_layout.setMemoLines(memoLines());
    if (item->checkState() == Qt::Checked) {
        if (!m_layout.tick(position)) {
            m_settingChecks = true;
            item->setCheckState(Qt::Unchecked);
            m_settingChecks = false;
            showCount();
            m_context.prompter->message(msg::text(msg::KeysTooMany));
            return;
        }
    } else {
        m_layout.untick(position);
    }
    Memo1->setPlainText(m_layout.memoLines().join(QLatin1Char('\n')));
    showCount();
}

void TForm6::N1Click()
{
    m_layout.setMemoLines(memoLines());
    const std::optional<QStringList> cells = m_layout.cells();
    if (cells && Form2)
        Form2->setLayoutCells(m_weight, *cells);
}

void TForm6::N3Click()
{
    accept();
}

void TForm6::FormActivate()
{
    showCount();
}

void TForm6::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}
