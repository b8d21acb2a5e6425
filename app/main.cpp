// WinVELMAR: the termination signals are caught first (they end the program as
// Exit does), then the exception unit starts, then the start-up settings
// (locale and decimal separator), the application's title and help file, the
// main window with its experiment and the event loop; "Program End." is logged
// once the window is gone. The program takes no command-line options of its own.
#include "endsignals.h"
#include "helpselector.h"
#include "sdiappform.h"
#include "settings.h"
#include "vkapplication.h"
#include "vkdebuginfo.h"

#include <QIcon>
#include <exception>

int main(int argc, char** argv) {
    InstallEndSignals();
    VkDebugInfoStartup();
    int exitCode = 0;
    {
        TVkApplication app(argc, argv);
        WatchEndSignals();
        TVkApplication::SetTitle(QStringLiteral("WinVELMAR"));
        QApplication::setApplicationVersion(QStringLiteral(WINVELMAR_VERSION));
        QApplication::setDesktopFileName(QStringLiteral("winvelmar"));
        QIcon icon(QStringLiteral(":/winvelmar-128.png"));
        icon.addFile(QStringLiteral(":/winvelmar-64.png"));
        QApplication::setWindowIcon(icon);

        const TStartupSettings settings = ApplyStartupSettings();
        if (!settings.Error.isEmpty()) {
            HandleAppException(
                nullptr, std::make_exception_ptr(ERegistryException(settings.Error.toStdString())));
        }

        HelpSelector::SetHelpFile(QStringLiteral("WinVELMAR.chm"));

        TSDIAppForm form;
        form.show();
        exitCode = TVkApplication::exec();
    }
    VkDebugInfoShutdown();
    return exitCode;
}
