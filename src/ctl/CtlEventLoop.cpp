#include "ctl/CtlEventLoop.h"

#include <QEventLoop>
#include <string>

#include "ctl/CtlOutput.h"
#include "ctl/CtlSignals.h"

void RunUntilInterrupted(const std::function<void(std::function<bool()> stop, std::function<void()> over)>& begin)
{
    CtlSignals::Install();
    QEventLoop loop;
    begin([] { return CtlSignals::Count() > 0 || CtlOutput::Broken(); }, [&loop] { loop.quit(); });
    loop.exec();  // `over` comes from the event loop, never from within `begin`
    CtlOutput::Progress(std::string());
}
