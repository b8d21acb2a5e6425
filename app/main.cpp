// WinVELMAR: --help and --version answer first, without a display; then the
// termination signals are caught (they end the program as Exit does), the
// exception unit starts, then the start-up settings (locale and decimal
// separator), the application's title and help file, the command line (its one
// argument is an experiment file to open), the main window with its experiment
// and the event loop; "Program End." is logged once the window is gone.
#include "commandline.h"
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
#include <optional>

int main(int argc, char** argv) {
    if (const std::optional<int> answered = AnswerInfoOptions(argc, argv)) {
        return *answered;
    }
    InstallEndSignals();
    VkDebugInfoStartup();
    int exitCode = 0;
    {
        TVkApplication app(argc, argv);
        WatchEndSignals();
        TVkApplication::SetTitle(QStringLiteral("WinVELMAR"));
        QApplication::setApplicationVersion(QStringLiteral(WINVELMAR_VERSION));
        QApplication::setDesktopFileName(QStringLiteral("org.winvelmar.WinVELMAR"));
        QIcon icon(QStringLiteral(":/winvelmar-128.png"));
        icon.addFile(QStringLiteral(":/winvelmar-64.png"));
        QApplication::setWindowIcon(icon);
        if (const std::optional<int> refused = ReadProgramCommandLine()) {
            VkDebugInfoShutdown();
            return *refused;
        }

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
        const QString file = ProgramCommandLine().FileName;
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
