#include "common/ui/Fi.h"

#include "ui/Help.h"
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
    : TickListDialog(*context.prompter, msg::text(msg::KeysTooMany), parent,
                     Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(msg::text(msg::IndexCaption));
    Label31 = new QLabel(QStringLiteral("Клавиша/товар"), this);
    Label31->setObjectName(QStringLiteral("Label31"));
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
    connect(N1, &QAction::triggered, this, &TForm6::N1Click);
    connect(N2, &QAction::triggered, this, [] { showHelp(QStringLiteral("Topic180")); });
    connect(N3, &QAction::triggered, this, &TForm6::N3Click);
}

void TForm6::open(bool weight, const QStringList &entryTexts)
{
    m_weight = weight;
    fillEntries(entryTexts);
    setWindowTitle(msg::text(weight ? msg::IndexWeightCaption : msg::IndexPieceCaption));
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
