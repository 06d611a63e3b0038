#include "app/ui/AppWindows.h"

#include "app/Workspace.h"
#include "app/ui/About.h"
#include "ui/Help.h"
#include "ui/Mess.h"
#include "app/ui/Pd1.h"
#include "ui/WindowRules.h"
#include "common/ui/Fi.h"
#include "common/ui/Pdop.h"
#include "common/ui/Vl2.h"
#include "link/ui/Selectp.h"
#include "products/ui/Godendo.h"
#include "products/ui/Vlprint.h"
#include "totals/ui/Pdsd.h"
#include "transfer/ui/Formspisok.h"
#include "transfer/ui/Sohrdata.h"
#include "transfer/ui/Vlreadbd.h"
#include "transfer/ui/Vljourn.h"
#include "transfer/ui/Vlsost.h"

#include <QAction>
#include <memory>
#include <QPushButton>

namespace ztk {

namespace {
// Secondary windows never keep the program alive: closing the main window ends it.
template <typename W>
W *secondary(W *window)
{
    window->setAttribute(Qt::WA_QuitOnClose, false);
    applyWindowRule(window);
    return window;
}

template <typename W>
void destroy(W *&window)
{
    delete window;
    window = nullptr;
}

std::unique_ptr<Workspace> &workspace()
{
    static std::unique_ptr<Workspace> shared;
    return shared;
}

} // namespace

bool createWindows(const AppContext &context)
{
    workspace() = std::make_unique<Workspace>(context);
    Workspace &ws = *workspace();
    Form1 = new TForm1(ws);
    if (!Form1->startedOk())
        return false;
    applyWindowRule(Form1);
    Prompter &prompter = *context.prompter;
    Form2 = secondary(new TForm2(ws));
    AboutProgram1 = secondary(new TAboutProgram1(Form1->versionKnown() ? Form1->versionText() : QString()));
    Form4 = secondary(new TForm4(context));
    Form5 = secondary(new TForm5(ws));
    Mess1 = secondary(new TMess1);
    Form6 = secondary(new TForm6(context));
    Form7 = secondary(new TForm7(prompter, nullptr));
    Form8 = secondary(new TForm8(ws));
    SelectPort = secondary(new TSelectPort(prompter));
    FormGodenDo = secondary(new TFormGodenDo);
    FormPrint = secondary(new TFormPrint(prompter, context.workDir));
    FormSD = secondary(new TFormSD(ws));
    FormSost = secondary(new TFormSost(ws));
    FormJourn = secondary(new TFormJourn(ws));
    return true;
}

void destroyWindows()
{
    destroy(FormJourn);
    destroy(FormSost);
    destroy(FormSD);
    destroy(FormPrint);
    destroy(FormGodenDo);
    destroy(SelectPort);
    destroy(Form8);
    destroy(Form7);
    destroy(Form6);
    destroy(Mess1);
    destroy(Form5);
    destroy(Form4);
    destroy(AboutProgram1);
    destroy(Form2);
    destroy(Form1);
    workspace().reset();
    closeHelp();
}

} // namespace ztk
