#include "commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <memory>

namespace {

constexpr int ExitUsage = 64;

std::unique_ptr<QCommandLineParser> makeParser() {
    auto parser = std::make_unique<QCommandLineParser>();
    parser->setApplicationDescription(
        QStringLiteral("WinVELMAR solves KV, a miniature computable general equilibrium model, "
                       "for teaching."));
    parser->setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // The toolkit's own options (--help-all) need an application object.
    parser->addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                         QStringLiteral("Displays help on commandline options.")));
    parser->addVersionOption();
    parser->addPositionalArgument(QStringLiteral("file"),
                                  QStringLiteral("An experiment file to open."),
                                  QStringLiteral("[FILE]"));
    return parser;
}

TCommandLine& programCommandLine() {
    static TCommandLine commandLine;
    return commandLine;
}

void print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

TCommandLine ParseCommandLine(const QStringList& arguments) {
    TCommandLine result;
    const auto parser = makeParser();
    const bool parsed = parser->parse(arguments);
    result.Help = parser->isSet(QStringLiteral("help"));
    result.Version = parser->isSet(QStringLiteral("version"));
    const QStringList files = parser->positionalArguments();
    if (!parsed) {
        result.Error = parser->errorText();
    } else if (files.size() > 1) {
        result.Error = QStringLiteral("Only one file can be opened, got %1: %2")
                           .arg(files.size())
                           .arg(files.join(QLatin1Char(' ')));
    } else if (files.size() == 1) {
        if (files.first().isEmpty()) {
            result.Error = QStringLiteral("The file name is empty.");
        } else {
            result.FileName = files.first();
        }
    }
    return result;
}

QString CommandLineHelpText() {
    // Without an application object the parser calls the program
    // "<executable_name>"; with one, by the path it was started from.
    QString text = makeParser()->helpText();
    const qsizetype end = text.indexOf(QStringLiteral(" [options]"));
    if (text.startsWith(QStringLiteral("Usage: ")) && end > 0) {
        text.replace(7, end - 7, QStringLiteral("WinVELMAR"));
    }
    return text;
}

QString ProgramVersionText() {
    return QStringLiteral("WinVELMAR " WINVELMAR_VERSION "\n" WINVELMAR_LICENCE "\n");
}

std::optional<int> AnswerInfoOptions(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const TCommandLine commandLine = ParseCommandLine(arguments);
    if (!commandLine.Help && !commandLine.Version) {
        return std::nullopt;
    }
    print(stdout, commandLine.Help ? CommandLineHelpText() : ProgramVersionText());
    return 0;
}

std::optional<int> ReadProgramCommandLine() {
    programCommandLine() = ParseCommandLine(QCoreApplication::arguments());
    const TCommandLine& commandLine = programCommandLine();
    if (commandLine.Error.isEmpty()) {
        return std::nullopt;
    }
    print(stderr, QStringLiteral("WinVELMAR: %1\nTry 'WinVELMAR --help' for more information.\n")
                      .arg(commandLine.Error));
    return ExitUsage;
}

const TCommandLine& ProgramCommandLine() {
    return programCommandLine();
}
