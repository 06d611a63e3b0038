#include "ui/WindowRules.h"

#include "ui/Help.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTranslator>
#include <QWidget>

#include <QSet>

#include <array>

namespace ztk {

namespace {

constexpr bool Buttons = true;
constexpr bool NoButtons = false;
constexpr bool Fixed = true;
constexpr bool Sizeable = false;

const std::array kRules = {
    WindowRule{"Form1", "", Buttons, Sizeable},
    WindowRule{"Mess1", "Wait", NoButtons, Sizeable},
    WindowRule{"AboutProgram1", "About", Buttons, Fixed},
    WindowRule{"SelectPort", "Port", NoButtons, Fixed},
    WindowRule{"FormGodenDo", "GodenDo", NoButtons, Fixed},
    WindowRule{"FormPrint", "Print", NoButtons, Sizeable},
    WindowRule{"Form7", "List", Buttons, Sizeable},
    WindowRule{"Form8", "ReadBack", Buttons, Sizeable},
    WindowRule{"FormSD", "ClearRange", Buttons, Sizeable},
    WindowRule{"Form2", "Topic50", Buttons, Sizeable},
    WindowRule{"Form6", "Topic180", NoButtons, Sizeable},
    WindowRule{"Form4", "Topic170", Buttons, Sizeable},
    WindowRule{"Form5", "Topic80", NoButtons, Fixed},
    WindowRule{"FormSost", "Sync", Buttons, Sizeable},
    WindowRule{"FormJourn", "Journal", Buttons, Sizeable},
    WindowRule{"FormIstprod", "Sales", Buttons, Sizeable},
};

const char kTopicProperty[] = "ztkHelpTopic";

// F1 anywhere opens the topic of the window the key went to.
class HelpKey final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1
            && watched->isWidgetType()) {
            showHelp(helpTopicOf(static_cast<QWidget *>(watched)));
            return true;
        }
        return false;
    }
};

// An Alt letter for every item of a menu that has none: the first free letter of a
// word, else any free letter. The shown text stays as it is.
bool markable(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('?'); // the help item is "?"
}

void assignMnemonics(const QList<QAction *> &actions)
{
    QSet<QChar> used;
    for (const QAction *a : actions) {
        const QString text = a->text();
        const qsizetype amp = text.indexOf(QLatin1Char('&'));
        if (amp >= 0 && amp + 1 < text.size())
            used.insert(text.at(amp + 1).toLower());
    }
    for (QAction *a : actions) {
        if (a->menu())
            assignMnemonics(a->menu()->actions());
        QString text = a->text();
        if (a->isSeparator() || text.contains(QLatin1Char('&')))
            continue;
        qsizetype at = -1;
        for (qsizetype i = 0; i < text.size() && at < 0; ++i) {
            const bool wordStart = i == 0 || !text.at(i - 1).isLetterOrNumber();
            if (wordStart && markable(text.at(i)) && !used.contains(text.at(i).toLower()))
                at = i;
        }
        for (qsizetype i = 0; i < text.size() && at < 0; ++i) {
            if (markable(text.at(i)) && !used.contains(text.at(i).toLower()))
                at = i;
        }
        if (at < 0)
            continue;
        used.insert(text.at(at).toLower());
        a->setText(text.insert(at, QLatin1Char('&')));
    }
}

QString &titleStore()
{
    static QString title;
    return title;
}

} // namespace

const WindowRule *windowRule(const QString &objectName)
{
    for (const WindowRule &rule : kRules) {
        if (objectName == QLatin1String(rule.window))
            return &rule;
    }
    return nullptr;
}

void applyWindowRule(QWidget *window)
{
    static HelpKey *helpKey = nullptr;
    if (!helpKey && qApp) {
        helpKey = new HelpKey(qApp); // one for the program
        qApp->installEventFilter(helpKey);
    }
    for (QMenuBar *bar : window->findChildren<QMenuBar *>())
        assignMnemonics(bar->actions());
    const WindowRule *rule = windowRule(window->objectName());
    if (!rule)
        return;
    window->setProperty(kTopicProperty, QString::fromLatin1(rule->helpTopic));
    if (!rule->titleButtons) {
        Qt::WindowFlags flags = window->windowFlags();
        flags &= ~(Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowContextHelpButtonHint);
        if (!(flags & Qt::Window))
            flags |= Qt::Window;
        window->setWindowFlags(flags | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    }
    if (rule->fixedSize) {
        if (!window->testAttribute(Qt::WA_Resized))
            window->adjustSize();
        window->setFixedSize(window->size());
    }
}

QString helpTopicOf(const QWidget *w)
{
    // A window without a rule of its own (a message box) takes its parent window's.
    for (const QWidget *win = w ? w->window() : nullptr; win;) {
        const QVariant topic = win->property(kTopicProperty);
        if (topic.isValid())
            return topic.toString();
        win = win->parentWidget() ? win->parentWidget()->window() : nullptr;
    }
    return QString();
}

QString applicationTitle()
{
    return titleStore().isEmpty() ? QCoreApplication::applicationName() : titleStore();
}

void setApplicationTitle(const QString &title)
{
    titleStore() = title;
}

bool installQtRussian(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace ztk
