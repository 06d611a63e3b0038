#pragma once
// The program's EventPump: processes the pending events of the user interface so
// that windows stay alive during waits and long operations.

#include "shared/Seams.h"

#include <QCoreApplication>

namespace ztk {

class QtEventPump final : public EventPump {
public:
    void pump() override { QCoreApplication::processEvents(QEventLoop::AllEvents); }
};

} // namespace ztk
