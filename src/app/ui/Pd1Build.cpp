// The main window's menu and controls, at their places of the design.

#include "app/ui/Pd1.h"

#include "app/PortList.h"
#include "app/Startup.h"
#include "app/ui/DetailPanel.h"
#include "app/ui/Pd1Layout.h"
#include "app/ui/StepSpinBox.h"
#include "ui/Help.h"
#include "ui/WindowRules.h"
#include "ui/Mess.h"
#include "app/ui/About.h"
#include "ui/ExchangeRun.h"
#include "common/ui/Vl2.h"
#include "link/ScaleLink.h"
#include "link/ScaleList.h"
#include "link/SerialPort.h"
#include "link/ui/Selectp.h"
#include "products/ProductDataset.h"
#include "products/ProductFields.h"
#include "products/ProductStore.h"
#include "products/ProductTableModel.h"
#include "products/Selection.h"
#include "sales/ui/Istprod.h"
#include "shared/DateText.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "transfer/ProductImage.h"
#include "products/RecordEditing.h"
#include "ui/Named.h"

#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPortInfo>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

namespace fld = ztk::fld;

namespace {

// The reference frame of the proportional layout.

const QColor Navy(0, 0, 128);

void setTextStyle(QWidget *w, int pixelSize, bool bold = false, bool italic = false, bool navy = false)
{
    QFont f = w->font();
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setItalic(italic);
    w->setFont(f);
    if (navy) {
        QPalette p = w->palette();
        p.setColor(QPalette::WindowText, Navy);
        p.setColor(QPalette::Text, Navy);
        p.setColor(QPalette::ButtonText, Navy);
        w->setPalette(p);
    }
}

} // namespace

void TForm1::buildMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    using ztk::menuItem;
    QMenu *file = bar->addMenu(tr("Файл"));
    Import = menuItem(file, "Import", tr("Импорт БД"));
    Export = menuItem(file, "Export", tr("Экспорт БД"));
    file->addSeparator();
    // The record commands with their keys; the keys work wherever the focus is in the window.
    struct Keyed {
        QAction *TForm1::*member;
        const char *name;
        const char *text;
        QKeySequence key;
    };
    const Keyed keyed[] = {
        {&TForm1::UndoItem, "UndoItem", ztk::msg::UndoItem, QKeySequence::Undo},
        {&TForm1::RedoItem, "RedoItem", ztk::msg::RedoItem, QKeySequence(Qt::CTRL | Qt::Key_Y)},
        {&TForm1::InsertItem, "InsertItem", ztk::msg::InsertItem, QKeySequence(Qt::Key_Insert)},
        {&TForm1::DeleteItem, "DeleteItem", ztk::msg::DeleteItem, QKeySequence(Qt::Key_Delete)},
        {&TForm1::StoreItem, "StoreItem", ztk::msg::StoreItem, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {&TForm1::RefreshItem, "RefreshItem", ztk::msg::RefreshItem, QKeySequence(Qt::Key_F5)},
        {&TForm1::FindItem, "FindItem", ztk::msg::FindItem, QKeySequence(Qt::CTRL | Qt::Key_F)},
        {&TForm1::ReportItem, "ReportItem", ztk::msg::ReportItem, QKeySequence(Qt::CTRL | Qt::Key_P)},
    };
    for (const Keyed &k : keyed) {
        QAction *item = menuItem(file, k.name, ztk::msg::text(k.text));
        item->setShortcut(k.key);
        this->*(k.member) = item;
        if (k.member == &TForm1::RedoItem)
            file->addSeparator();
    }
    N1 = menuItem(bar, "N1", tr("Настройка порта"));
    N7 = menuItem(bar, "N7", tr("Формирование общих данных"));
    N5 = menuItem(bar, "N5", tr("Запись БДТ в весы"));
    N11 = menuItem(bar, "N11", tr(ztk::msg::WriteAllCaption));
    N10 = menuItem(bar, "N10", tr("Чтение БД из весов"));
    N4 = menuItem(bar, "N4", tr("Приём итоговых данных из весов"));
    QMenu *service = bar->addMenu(tr("Сервис"));
    service->setObjectName(QStringLiteral("Service"));
    N12 = menuItem(service, "N12", ztk::msg::text(ztk::msg::SyncCaption));
    N13 = menuItem(service, "N13", ztk::msg::text(ztk::msg::StandingsCaption));
    N14 = menuItem(service, "N14", ztk::msg::text(ztk::msg::JournalCaption));
    N16 = menuItem(service, "N16", ztk::msg::text(ztk::msg::CheckLinkItem));
    connect(menuItem(service, "N15", ztk::msg::text(ztk::msg::SalesMenuItem)), &QAction::triggered, this,
            [this] { TFormIstprod::open(m_ws, this); });
    QMenu *help = bar->addMenu(QStringLiteral("?"));
    N8 = menuItem(help, "N8", tr("О программе"));
    N9 = menuItem(help, "N9", tr("Помощь"));
    N3 = menuItem(bar, "N3", tr("Выход"));
}

void TForm1::buildControls()
{
    auto *c = new QWidget(this);
    c->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(c);

    using ztk::named;
    auto label = [&](QWidget *parent, const char *name, const QString &text) {
        return named(new QLabel(text, parent), name);
    };

    // Tool row.
    struct Speed {
        QToolButton *TForm1::*member;
        const char *name;
        const char *hint;
    };
    const Speed speeds[] = {
        {&TForm1::SpeedButton2, "SpeedButton2", ztk::msg::InsertItem},
        {&TForm1::SpeedButton3, "SpeedButton3", ztk::msg::DeleteItem},
        {&TForm1::SpeedButton4, "SpeedButton4", ztk::msg::DeleteAllItem},
        {&TForm1::SpeedButton5, "SpeedButton5", ztk::msg::ClearItem},
        {&TForm1::SpeedButton6, "SpeedButton6", ztk::msg::CopyItem},
        {&TForm1::SpeedButton7, "SpeedButton7", ztk::msg::ReplaceItem},
        {&TForm1::SpeedButton8, "SpeedButton8", ztk::msg::ReportItem},
    };
    for (const Speed &s : speeds) {
        QToolButton *b = named(new QToolButton(c), s.name);
        b->setToolTip(tr(s.hint));
        b->setAutoRaise(true);
        this->*(s.member) = b;
    }

    // Status.
    Label20 = label(c, "Label20", QString());
    setTextStyle(Label20, 19, true, true, true);
    Label20->setIndent(2); // room for the italic overhang at the window's edge
    Label2 = label(c, "Label2", QString());
    setTextStyle(Label2, 16, false, false, true);
    Label9 = label(c, "Label9", ztk::msg::text(ztk::msg::RecordsPrefix));
    setTextStyle(Label9, 16, false, true, true);
    Label1 = label(c, "Label1", QString());
    setTextStyle(Label1, 11, false, false, true);
    CheckBox2 = named(new QCheckBox(tr("Список"), c), "CheckBox2");

    // Selection: the group is a frame; its buttons are the window's, made exclusive by one group.
    RadioGroup1 = named(new QGroupBox(tr("Выбор"), c), "RadioGroup1");
    struct Radio {
        QRadioButton *TForm1::*member;
        const char *name;
        const char *text;
    };
    const Radio radios[] = {
        {&TForm1::RadioButton1, "RadioButton1", "Вся база"},
        {&TForm1::RadioButton2, "RadioButton2", "Вес"},
        {&TForm1::RadioButton3, "RadioButton3", "Штука"},
        {&TForm1::RadioButton4, "RadioButton4", "По дате корр."},
        {&TForm1::RadioButton5, "RadioButton5", "До даты корр."},
        {&TForm1::RadioButton6, "RadioButton6", "После даты корр."},
        {&TForm1::RadioButton14, "RadioButton14", "По сроку годн."},
        {&TForm1::RadioButton15, "RadioButton15", "Просроченные"},
        {&TForm1::RadioButton16, "RadioButton16", "Действ. срок годн."},
        {&TForm1::RadioButton7, "RadioButton7", "По наименованию"},
        {&TForm1::RadioButton10, "RadioButton10", "По номеру"},
        {&TForm1::RadioButton17, "RadioButton17", "По префиксу"},
    };
    m_radioGroup = new QButtonGroup(this);
    m_radioGroup->setExclusive(true);
    for (int i = 0; i < int(std::size(radios)); ++i) {
        QRadioButton *r = named(new QRadioButton(tr(radios[i].text), c), radios[i].name);
        m_radioGroup->addButton(r);
        this->*(radios[i].member) = r;
    }
    RadioButton1->setChecked(true);

    Edit1 = named(new QLineEdit(c), "Edit1");
    Edit4 = named(new QLineEdit(c), "Edit4");
    Edit5 = named(new QLineEdit(c), "Edit5");
    CSpinEdit1 = named(new ztk::StepSpinBox(c), "CSpinEdit1");
    CSpinEdit1->setRange(0, 99);
    Edit2 = named(new QLineEdit(c), "Edit2");
    Edit2->hide(); // shown by the date selections

    // Calendar and clock.
    MonthCalendar1 = named(new QCalendarWidget(c), "MonthCalendar1");
    MonthCalendar1->setGridVisible(false);
    MonthCalendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    Edit3 = named(new QLineEdit(c), "Edit3");
    Edit3->setReadOnly(true);
    Edit3->setFocusPolicy(Qt::NoFocus);
    Edit3->setAlignment(Qt::AlignCenter);
    setTextStyle(Edit3, 16, true, false, true);
    {
        QPalette p = Edit3->palette();
        p.setColor(QPalette::Base, QColor(192, 192, 192));
        Edit3->setPalette(p);
    }
    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(1000);

    // Grid.
    DBGrid1 = named(new QTableView(c), "DBGrid1");
    m_model = new ztk::ProductTableModel(m_ws.dataset(), this);
    DBGrid1->setModel(m_model);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setShowGrid(true);
    DBGrid1->setWordWrap(false);
    DBGrid1->setTextElideMode(Qt::ElideNone); // narrow columns cut their text, as the design grid does
    setTextStyle(DBGrid1, 13);
    {
        QFont hf = DBGrid1->horizontalHeader()->font();
        hf.setPixelSize(16);
        DBGrid1->horizontalHeader()->setFont(hf);
    }
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    DBGrid1->horizontalHeader()->setHighlightSections(false);
    DBGrid1->horizontalHeader()->setMinimumSectionSize(0); // the layout may make columns narrow
    DBGrid1->verticalHeader()->setFixedWidth(12); // the indicator column
    DBGrid1->verticalHeader()->setDefaultSectionSize(18);
    DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    {
        // The selection stays visible when the grid loses the focus.
        QPalette p = DBGrid1->palette();
        p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
        p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
        DBGrid1->setPalette(p);
    }

    // Detail panel: labels and boxes inside the group; the name lines and the
    // best-before box are the window's own and lie over it.
    GroupBox1 = named(new QGroupBox(tr("Параметры товара"), c), "GroupBox1");
    QWidget *g = GroupBox1;
    label(g, "Label4", tr("Наименование товара"));
    label(g, "Label6", tr("Номер товара"));
    label(g, "Label7", tr("Префикс"));
    label(g, "Label5", tr("Штрих-код"));
    label(g, "Label8", tr("Цена"));
    label(g, "Label3", tr("Годен до:"));
    label(g, "Label11", tr("Тип товара"));
    label(g, "Label14", tr("Откорректировано:"));
    label(g, "Label15", QStringLiteral("1"));
    label(g, "Label17", QStringLiteral("2"));
    label(g, "Label19", QStringLiteral("3"));
    label(g, "Label21", QStringLiteral("4"));
    label(g, "Label22", QStringLiteral("5"));

    auto box = [&](QWidget *parent, const char *name, int px) {
        QLineEdit *e = named(new QLineEdit(parent), name);
        setTextStyle(e, px);
        return e;
    };
    QLineEdit **names[] = {&DBEdit1, &DBEdit2, &DBEdit3, &DBEdit4, &DBEdit5};
    const char *nameObjects[] = {"DBEdit1", "DBEdit2", "DBEdit3", "DBEdit4", "DBEdit5"};
    for (int i = 0; i < 5; ++i) {
        *names[i] = box(c, nameObjects[i], 13);
        QFont tf = (*names[i])->font();
        tf.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
        (*names[i])->setFont(tf);
        (*names[i])->raise();
    }
    DBEdit8 = box(g, "DBEdit8", 19);
    DBEdit13 = box(g, "DBEdit13", 19);
    DBEdit13->setMaxLength(2);
    setTextStyle(DBEdit13, 19, false, false, true);
    DBEdit7 = box(g, "DBEdit7", 19);
    DBEdit10 = box(g, "DBEdit10", 19);
    ComboBox1 = named(new QComboBox(g), "ComboBox1");
    ComboBox1->addItem(ztk::msg::text(ztk::msg::TypeWeight), int(ztk::ProductType::Weight));
    ComboBox1->addItem(ztk::msg::text(ztk::msg::TypePiece), int(ztk::ProductType::Piece));
    setTextStyle(ComboBox1, 19, false, false, true);
    DBEdit11 = box(g, "DBEdit11", 11);
    DBEdit11->setReadOnly(true);
    {
        QPalette p = DBEdit11->palette();
        p.setColor(QPalette::Base, QColor(192, 192, 192));
        DBEdit11->setPalette(p);
    }
    DBEdit9 = box(g, "DBEdit9", 19);
    DBEdit9->hide();
    DBEdit14 = box(g, "DBEdit14", 19);
    DBEdit14->setReadOnly(true);
    DBEdit14->hide();

    DBEdit6 = box(c, "DBEdit6", 19);
    DBEdit6->setReadOnly(true); // a click opens the best-before dialog
    DBEdit6->raise();
    DBEdit61 = box(c, "DBEdit61", 19);
    DBEdit61->hide();

    BitBtn1 = named(new QPushButton(tr("Запись"), c), "BitBtn1");
    setTextStyle(BitBtn1, 13, true, false, true);
    setSpeedButtonPictures();

    for (const ztk::ReferencePlace &place : ztk::mainWindowLayout()) {
        QWidget *w = c->findChild<QWidget *>(QLatin1String(place.name));
        Q_ASSERT(w);
        w->setGeometry(place.rect);
        if (place.scales)
            m_scaledPlaces.push_back({w, place.rect});
    }
    fitTexts(); // at the design size, where the boxes are their reference widths

    DBEdit6->installEventFilter(this);
    DBGrid1->installEventFilter(this);
    DBGrid1->viewport()->installEventFilter(this);
}
