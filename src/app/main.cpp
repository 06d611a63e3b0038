// The program: settles its working folder, keeps its start-up argument, creates the
// windows in their order and runs the event loop until the main window has closed.
//
//   ztk [--home-folder] [SCALE]

#include "app/AppContext.h"
#include "app/QtEventPump.h"
#include "app/SingleInstance.h"
#include "app/WorkFolder.h"
#include "app/ui/AppWindows.h"
#include "app/ui/Pd1.h"
#include "ui/WidgetPrompter.h"
#include "ui/WindowRules.h"
#include "shared/Messages.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>
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
    QApplication::setApplicationVersion(QStringLiteral(ZTK_VERSION_TEXT));
    ztk::setApplicationTitle(ztk::msg::text(ztk::msg::MainCaption));
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    ztk::installQtRussian(app);

    QCommandLineParser line;
    line.setApplicationDescription(ztk::msg::text(ztk::msg::MainCaption));
    line.addHelpOption();
    line.addVersionOption();
    const QCommandLineOption homeFolder(QStringLiteral("home-folder"),
                                        QStringLiteral("Work in ~/ztk, made on first start (the desktop menu starts the program so)."));
    line.addOption(homeFolder);
    line.addPositionalArgument(QStringLiteral("scale"), QStringLiteral("The scale number to start with."), QStringLiteral("[SCALE]"));
    line.process(app);

    ztk::QtEventPump pump;
    ztk::AppContext context;
    context.workDir = QDir::currentPath();
    if (line.isSet(homeFolder)) {
        const ztk::WorkFolder folder = ztk::homeWorkFolder(QDir::homePath());
        if (folder.path.isEmpty()) {
            prompter.message(ztk::MessageKind::Error, folder.error);
            return 1;
        }
        QDir::setCurrent(folder.path);
        context.workDir = folder.path;
    }
    context.clock = &ztk::defaultClock();
    context.pump = &pump;
    context.prompter = &prompter;
    context.startArgument = line.positionalArguments().join(QLatin1Char(' '));
    context.programFileName = ztk::ownProgramFileName();
    // The operator's, not the working folder's: ~/.config/ztk/windows.ini.
    context.settingsFile = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/ztk/windows.ini");

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
