#include "app/ui/About.h"

#include "shared/Messages.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

TAboutProgram1 *AboutProgram1 = nullptr;


TAboutProgram1::TAboutProgram1(const QString &versionText, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("AboutProgram1"));
    setWindowTitle(ztk::msg::text(ztk::msg::AboutCaption));
    setFixedSize(304, 213);

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setGeometry(8, 8, 288, 161);

    ProgramIcon = new QLabel(panel);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32));
    ProgramIcon->setGeometry(8, 8, 40, 40);

    ProductName = new QLabel(ztk::msg::text(ztk::msg::AboutProductName), panel);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    ProductName->setStyleSheet(QStringLiteral("color: blue; font-weight: bold; font-style: italic;"));
    ProductName->setGeometry(64, 12, 216, 16);

    Version = new QLabel(versionText.isEmpty() ? ztk::msg::text(ztk::msg::AboutVersionDesign)
                                               : ztk::msg::text(ztk::msg::AboutVersionPrefix) + versionText,
                         panel);
    Version->setObjectName(QStringLiteral("Version"));
    Version->setGeometry(64, 40, 216, 16);

    Copyright = new QLabel(panel);
    Copyright->setObjectName(QStringLiteral("Copyright"));
    Copyright->setGeometry(8, 64, 272, 16);

    Comments = new QLabel(ztk::msg::text(ztk::msg::AboutComments), panel);
    Comments->setObjectName(QStringLiteral("Comments"));
    Comments->setWordWrap(true);
    Comments->setStyleSheet(QStringLiteral("color: blue; font-style: italic; font-size: 16px;"));
    Comments->setGeometry(8, 88, 272, 64);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setGeometry(112, 178, 75, 25);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}
