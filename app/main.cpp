// WinVELMAR: the termination signals are caught first (they end the program as
// Exit does), then the exception unit starts, then the start-up settings
// (locale and decimal separator), the application's title and help file, the
// main window with its experiment and the event loop; "Program End." is logged
// once the window is gone. The one argument is an experiment file to open.
#include "endsignals.h"
#include "experimentfiles.h"
#include "helpselector.h"
#include "recovery.h"
#include "sdiappform.h"
#include "settings.h"
#include "vkapplication.h"
#include "vkdebuginfo.h"

#include <QIcon>
#include <QTimer>
#include <exception>

namespace {
// The experiment file to open: the one argument that is not an option.
QString StartFile(const QStringList& arguments) {
    for (const QString& argument : arguments.mid(1)) {
        if (!argument.startsWith(QLatin1Char('-'))) {
            return argument;
        }
    }
    return {};
}
} // namespace

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
        form.EnableRecovery(TRecovery::DefaultFolder());
        form.show();
        // Once the window shows: the work of a session that did not end
        // normally, else the experiment file named on the command line.
        const QString file = StartFile(QCoreApplication::arguments());
        QTimer::singleShot(0, &form, [&form, file] {
            if (!form.OfferRecovery() && !file.isEmpty()) {
                form.Files().Load(file);
            }
        });
        exitCode = TVkApplication::exec();
    }
    VkDebugInfoShutdown();
    return exitCode;
}
