#include "common/ui/Pdop.h"

#include "ui/Help.h"
#include "common/ui/Vl2.h"
#include "shared/Messages.h"
#include "ui/Named.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QVBoxLayout>

using namespace ztk;

TForm4 *Form4 = nullptr;

TForm4::TForm4(const AppContext &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(msg::text(msg::ViewerCaption));
    setModal(true);

    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    N1 = menuItem(MainMenu1, "N1", QStringLiteral("Внести данные"));
    N2 = menuItem(MainMenu1, "N2", QStringLiteral("?"));
    N3 = menuItem(MainMenu1, "N3", QStringLiteral("Выход"));

    auto label = [&](const char *name, const char *text) { return named(new QLabel(msg::text(text), this), name); };
    auto edit = [&](const char *name) { return named(new QLineEdit(this), name); };
    auto memo = [&](const char *name) {
        QPlainTextEdit *m = named(new QPlainTextEdit(this), name);
        m->setLineWrapMode(QPlainTextEdit::WidgetWidth); // one running text, wrapped for display
        m->setFixedHeight(72);
        return m;
    };

    Label1 = label("Label1", msg::ViewerName);
    Edit1 = edit("Edit1");
    Label2 = label("Label2", msg::ViewerScaleType);
    ComboBox1 = named(new QComboBox(this), "ComboBox1");
    ComboBox1->addItems(common::scaleTypes());
    Label9 = label("Label9", msg::ViewerPoint);
    ComboBox2 = named(new QComboBox(this), "ComboBox2");
    ComboBox2->addItems(common::pointPositions());
    Label3 = label("Label3", msg::ViewerLabel);
    Edit2 = edit("Edit2");
    Label4 = label("Label4", msg::ViewerReportLabel);
    Edit3 = edit("Edit3");
    Label5 = label("Label5", msg::ViewerScaleNumber);
    Edit4 = edit("Edit4");
    Label15 = label("Label15", msg::ViewerStamp);
    Edit12 = edit("Edit12");
    CheckBox1 = named(new QCheckBox(msg::text(msg::AutoLabel), this), "CheckBox1");
    Label13 = label("Label13", msg::ViewerWeightKeys);
    Memo3 = memo("Memo3");
    Label14 = label("Label14", msg::ViewerPieceKeys);
    Memo4 = memo("Memo4");

    auto *fields = new QFormLayout;
    fields->addRow(Label1, Edit1);
    fields->addRow(Label2, ComboBox1);
    fields->addRow(Label9, ComboBox2);
    fields->addRow(Label3, Edit2);
    fields->addRow(Label4, Edit3);
    fields->addRow(Label5, Edit4);
    fields->addRow(Label15, Edit12);
    fields->addRow(QString(), CheckBox1);
    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(MainMenu1);
    layout->addLayout(fields);
    layout->addWidget(Label13);
    layout->addWidget(Memo3);
    layout->addWidget(Label14);
    layout->addWidget(Memo4);
    resize(520, 470);

    // FormCreate
    Edit1->clear();
    initActionsConnections();
}

TForm4::~TForm4()
{
    if (Form4 == this)
        Form4 = nullptr;
}

void TForm4::initActionsConnections()
{
    connect(N1, &QAction::triggered, this, &TForm4::N1Click);
    connect(N2, &QAction::triggered, this, [] { showHelp(QStringLiteral("Topic170")); });
    connect(N3, &QAction::triggered, this, &TForm4::N3Click);
}

void TForm4::showBlock(const common::BlockView &v)
{
    Edit1->setText(v.companyName);
    ComboBox1->setCurrentIndex(v.scaleTypeIndex);
    ComboBox2->setCurrentIndex(v.pointIndex);
    Edit2->setText(v.labelVariant);
    Edit3->setText(v.reportLabelVariant);
    Edit4->setText(v.scaleNumber);
    Edit12->setText(v.stamp);
    CheckBox1->setChecked(v.autoLabel);
    Memo3->setPlainText(v.weightKeys);
    Memo4->setPlainText(v.pieceKeys);
}

void TForm4::clearKeyLists()
{
    Memo3->clear();
    Memo4->clear();
}

common::ViewerTexts TForm4::texts() const
{
    return {Edit1->text(), Edit2->text(), Edit3->text(),         Edit4->text(),
            CheckBox1->isChecked(), Memo3->toPlainText(), Memo4->toPlainText()};
}

void TForm4::N1Click()
{
    if (Form2)
        Form2->takeViewerFields(texts());
}

void TForm4::N3Click()
{
    accept();
}
