#include "link/ui/Selectp.h"

#include "link/NetworkPort.h"
#include "link/ScaleList.h"
#include "shared/Messages.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TSelectPort *SelectPort = nullptr;

namespace {

// A port that "fbdves.cfg" cannot hold goes into the scales list.
bool listsPort(const QString &port)
{
    return ztk::NetworkPort::isAddress(port) || port.toLocal8Bit().size() > ztk::PortConfig::MaxNameLength;
}

} // namespace


TSelectPort::TSelectPort(ztk::Prompter &prompter, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_prompter(prompter)
{
    setObjectName(QStringLiteral("SelectPort"));
    setWindowTitle(QStringLiteral("SelectPort"));
    setModal(true);

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    // The settings file keeps at most 9 characters of the name.
    // Long enough for a network port; a serial name is cut to what "fbdves.cfg" holds.
    ComboBox1->lineEdit()->setMaxLength(ztk::ScaleList::MaxPortLength);

    ComboBox2 = new QComboBox(this);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->setEditable(true);
    ComboBox2->addItems({QStringLiteral("110"), QStringLiteral("300"), QStringLiteral("1200"), QStringLiteral("2400"),
                         QStringLiteral("4800"), QStringLiteral("9600"), QStringLiteral("19200"),
                         QStringLiteral("38400"), QStringLiteral("57600"), QStringLiteral("115200"),
                         QStringLiteral("230400"), QStringLiteral("460800"), QStringLiteral("921600")});

    ComboBox3 = new QComboBox(this);
    ComboBox3->setObjectName(QStringLiteral("ComboBox3"));
    ComboBox3->addItems({QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8")});

    ComboBox4 = new QComboBox(this);
    ComboBox4->setObjectName(QStringLiteral("ComboBox4"));
    // Item index = parity index of PortConfig.
    ComboBox4->addItems({tr("Нет"), tr("Нечётность"), tr("Чётность")});

    ComboBox5 = new QComboBox(this);
    ComboBox5->setObjectName(QStringLiteral("ComboBox5"));
    // Item index = stop-bits index of PortConfig.
    ComboBox5->addItems({QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")});

    Button2 = new QPushButton(tr("Выполнить"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setDefault(true);
    Button3 = new QPushButton(tr("Отмена"), this);
    Button3->setObjectName(QStringLiteral("Button3"));

    auto *form = new QFormLayout;
    form->addRow(tr("Порт:"), ComboBox1);
    form->addRow(tr("Скорость (бит/сек):"), ComboBox2);
    form->addRow(tr("Биты данных:"), ComboBox3);
    form->addRow(tr("Чётность:"), ComboBox4);
    form->addRow(tr("Стоповые биты:"), ComboBox5);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(Button2, &QPushButton::clicked, this, &TSelectPort::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TSelectPort::Button3Click);
}

void TSelectPort::setSettings(const ztk::PortConfig &config, const QStringList &portList)
{
    ComboBox1->clear();
    ComboBox1->addItems(portList);
    ComboBox1->setEditText(QString::fromLocal8Bit(config.portName));
    ComboBox2->setEditText(QString::number(config.baudRate));
    ComboBox3->setCurrentText(QStringLiteral("8"));
    ComboBox4->setCurrentIndex(config.parityIndex >= 0 && config.parityIndex < ComboBox4->count() ? config.parityIndex : -1);
    ComboBox5->setCurrentIndex(config.stopBitsIndex >= 0 && config.stopBitsIndex < ComboBox5->count() ? config.stopBitsIndex
                                                                                                       : -1);
}

ztk::PortConfig TSelectPort::settings(const ztk::PortConfig &base, bool executed) const
{
    ztk::PortConfig out = base;
    if (!listsPort(ComboBox1->currentText().trimmed()))
        out.portName = ComboBox1->currentText().toLocal8Bit().left(ztk::PortConfig::MaxNameLength);
    if (executed) {
        out.baudRate = m_baud;
        out.parityIndex = std::int16_t(ComboBox4->currentIndex());
        out.stopBitsIndex = ComboBox5->currentIndex();
    }
    return out;
}

ztk::PortConfig TSelectPort::edit(const ztk::PortConfig &current, const QStringList &portList)
{
    setSettings(current, portList);
    m_byButton = false;
    m_executed = exec() == QDialog::Accepted;
    return settings(current, m_executed);
}

QString TSelectPort::listedPort() const
{
    const QString chosen = ComboBox1->currentText().trimmed();
    return m_executed && listsPort(chosen) ? chosen : QString();
}

void TSelectPort::Button2Click()
{
    const QString text = ComboBox2->currentText();
    bool ok = false;
    const int baud = text.trimmed().toInt(&ok);
    if (!ok) {
        // The bad speed stops the command; the dialog stays open and nothing is taken.
        m_prompter.message(ztk::MessageKind::Error, ztk::msg::text(ztk::msg::NotAnInteger).arg(text));
        return;
    }
    m_baud = baud;
    m_byButton = true;
    done(QDialog::Accepted);
}

void TSelectPort::Button3Click()
{
    m_byButton = true;
    done(QDialog::Rejected);
}

void TSelectPort::reject()
{
    if (m_byButton)
        QDialog::reject();
}

void TSelectPort::closeEvent(QCloseEvent *event)
{
    if (!m_byButton)
        event->ignore();
    else
        QDialog::closeEvent(event);
}
