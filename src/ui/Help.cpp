#include "ui/Help.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QTextBrowser>
#include <QUrl>

// The help pages are a resource of the window library, which is linked statically.
static void initHelpResource()
{
    Q_INIT_RESOURCE(help);
}

namespace ztk {

namespace {
QTextBrowser *g_help = nullptr;
const char HelpPage[] = "qrc:/help/vl.html";
} // namespace

void showHelp(const QString &topic)
{
    if (!g_help) {
        initHelpResource();
        g_help = new QTextBrowser; // top-level; deleted by closeHelp
        g_help->setObjectName(QStringLiteral("HelpWindow"));
        g_help->setAttribute(Qt::WA_QuitOnClose, false);
        g_help->setOpenExternalLinks(false);
        g_help->resize(640, 480);
    }
    QUrl url(QString::fromLatin1(HelpPage));
    if (!topic.isEmpty())
        url.setFragment(topic);
    // setSource ignores a repeated URL; reload so that the topic is scrolled to again.
    if (g_help->source() == url)
        g_help->scrollToAnchor(topic);
    else
        g_help->setSource(url);
    g_help->setWindowTitle(g_help->documentTitle());
    g_help->show();
    g_help->raise();
    g_help->activateWindow();
}

QTextBrowser *helpBrowser()
{
    return g_help;
}

void closeHelp()
{
    delete g_help;
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
