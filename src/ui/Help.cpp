#include "ui/Help.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

// The help pages are a resource of the window library, which is linked statically.
static void initHelpResource()
{
    Q_INIT_RESOURCE(help);
}

namespace ztk {

namespace {
QWidget *g_window = nullptr;
QTextBrowser *g_help = nullptr;
const char HelpPage[] = "qrc:/help/vl.html";

void makeHelpWindow()
{
    initHelpResource();
    g_window = new QWidget(nullptr, Qt::Window); // top-level; deleted by closeHelp
    g_window->setObjectName(QStringLiteral("HelpWindow"));
    g_window->setAttribute(Qt::WA_QuitOnClose, false);
    g_help = new QTextBrowser(g_window);
    g_help->setObjectName(QStringLiteral("HelpBrowser"));
    g_help->setOpenExternalLinks(false);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, g_window);
    buttons->setObjectName(QStringLiteral("HelpButtons"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, g_window, &QWidget::close);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), g_window);
    QObject::connect(escape, &QShortcut::activated, g_window, &QWidget::close);
    auto *layout = new QVBoxLayout(g_window);
    layout->addWidget(g_help);
    layout->addWidget(buttons);
    g_window->resize(640, 480);
}

// Over a modal window the help is that window's transient: a window of its own would
// be blocked by it, behind it and out of reach.
void placeOver(QWidget *modal)
{
    g_window->winId(); // the native window, to be given its transient parent
    QWindow *mine = g_window->windowHandle();
    QWindow *over = modal ? modal->window()->windowHandle() : nullptr;
    if (!mine || mine->transientParent() == over)
        return;
    // Whether a window is blocked is settled when it is shown.
    g_window->hide();
    mine->setTransientParent(over);
}
} // namespace

void showHelp(const QString &topic)
{
    if (!g_window)
        makeHelpWindow();
    QUrl url(QString::fromLatin1(HelpPage));
    if (!topic.isEmpty())
        url.setFragment(topic);
    // setSource ignores a repeated URL; reload so that the topic is scrolled to again.
    if (g_help->source() == url)
        g_help->scrollToAnchor(topic);
    else
        g_help->setSource(url);
    g_window->setWindowTitle(g_help->documentTitle());
    placeOver(QApplication::activeModalWidget());
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
}

QTextBrowser *helpBrowser()
{
    return g_help;
}

QWidget *helpWindow()
{
    return g_window;
}

void closeHelp()
{
    delete g_window;
    g_window = nullptr;
    g_help = nullptr;
}

QAction *addHelpItem(QMainWindow *window, const QString &topic)
{
    QAction *item = window->menuBar()->addAction(QStringLiteral("?"));
    if (!topic.isEmpty())
        QObject::connect(item, &QAction::triggered, window, [topic] { showHelp(topic); });
    return item;
}

} // namespace ztk
