// The program: keeps its start-up argument, creates the windows in their order and
// runs the event loop until the main window has closed.

#include "app/AppContext.h"
#include "app/QtEventPump.h"
#include "app/SingleInstance.h"
#include "app/ui/AppWindows.h"
#include "app/ui/Pd1.h"
#include "app/ui/WidgetPrompter.h"
#include "app/ui/WindowRules.h"
#include "shared/Messages.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <exception>

namespace {

// An error that escapes a command is shown with its own text, and the program goes on.
class Application final : public QApplication {
public:
    Application(int &argc, char **argv, ztk::Prompter &prompter)
        : QApplication(argc, argv), m_prompter(prompter) {}

    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception &e) {
            m_prompter.message(ztk::MessageKind::Error, QString::fromLocal8Bit(e.what()));
        } catch (...) {
            m_prompter.message(ztk::MessageKind::Error, QString());
        }
        return false;
    }

private:
    ztk::Prompter &m_prompter;
};

} // namespace

int main(int argc, char **argv)
{
    ztk::WidgetPrompter prompter;
    Application app(argc, argv, prompter);
    QApplication::setApplicationName(QStringLiteral("ztk"));
    ztk::setApplicationTitle(ztk::msg::text(ztk::msg::MainCaption));
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    ztk::installQtRussian(app);

    ztk::QtEventPump pump;
    ztk::AppContext context;
    context.workDir = QDir::currentPath();
    context.clock = &ztk::defaultClock();
    context.pump = &pump;
    context.prompter = &prompter;
    QStringList args = QCoreApplication::arguments();
    if (!args.isEmpty())
        args.removeFirst();
    context.startArgument = args.join(QLatin1Char(' '));
    context.programFileName = ztk::ownProgramFileName();

    int result = 0;
    try {
        if (ztk::createWindows(context)) {
            Form1->show();
            result = app.exec();
        } else {
            result = 1; // not started (another instance runs): a caller must be able to tell
        }
    } catch (const std::exception &e) {
        prompter.message(ztk::MessageKind::Error, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        prompter.message(ztk::MessageKind::Error, QString());
    }
    ztk::destroyWindows();
    return result;
}
