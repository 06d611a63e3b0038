#pragma once
// The port settings dialog: port name, speed, data bits (shown, never read),
// parity and stop bits. No title-bar buttons; only its two buttons close it.

#include "shared/PortConfig.h"
#include "shared/Seams.h"

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;

class TSelectPort : public QDialog {
    Q_OBJECT
public:
    explicit TSelectPort(ztk::Prompter &prompter, QWidget *parent = nullptr);

    // Shows the dialog modally with `current` and the port list. Whichever button
    // closes it, the port name is taken from ComboBox1; speed, parity and stop bits
    // only by "Выполнить".
    ztk::PortConfig edit(const ztk::PortConfig &current, const QStringList &portList);

    // Fills the controls from `config` (ComboBox3 always shows "8").
    void setSettings(const ztk::PortConfig &config, const QStringList &portList);
    // The controls read into `base`: the port name always, the rest when `executed`.
    // A port "fbdves.cfg" cannot hold leaves the serial name of `base` (see listedPort()).
    ztk::PortConfig settings(const ztk::PortConfig &base, bool executed) const;
    // The port chosen in ComboBox1 and taken by "Выполнить" when "fbdves.cfg" cannot hold
    // it (a "tcp:HOST:PORT", a /dev/serial/by-id path): it belongs in the scales list.
    // Empty otherwise.
    QString listedPort() const;

    QComboBox *ComboBox1 = nullptr; // port
    QComboBox *ComboBox2 = nullptr; // speed
    QComboBox *ComboBox3 = nullptr; // data bits
    QComboBox *ComboBox4 = nullptr; // parity
    QComboBox *ComboBox5 = nullptr; // stop bits
    QPushButton *Button2 = nullptr; // "Выполнить"
    QPushButton *Button3 = nullptr; // "Отмена"

    void Button2Click();
    void Button3Click();

protected:
    void reject() override; // Esc does not close it
    void closeEvent(QCloseEvent *event) override;

private:
    ztk::Prompter &m_prompter;
    bool m_byButton = false;
    bool m_executed = false;
    std::int32_t m_baud = 0; // taken by Button2Click
};

extern TSelectPort *SelectPort;
