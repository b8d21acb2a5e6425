// WinVELMAR's command line: --help, --version and an optional experiment file.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

struct TCommandLine {
    bool Help = false;
    bool Version = false;
    QString Error;    // why the command line cannot be used; empty when it can
    QString FileName; // the experiment file named on the command line, as given
};

// Parses the arguments, the program's name first.
TCommandLine ParseCommandLine(const QStringList& arguments);
// The text of --help, starting "Usage: WinVELMAR [options] [FILE]".
QString CommandLineHelpText();
// "WinVELMAR 2.0.0" and the licence line.
QString ProgramVersionText();

// Answers --help and --version on standard output before any application
// object exists, so that they work without a display; returns the exit status
// when it has answered, nothing when the program should start.
std::optional<int> AnswerInfoOptions(int argc, char** argv);

// Parses the running application's arguments (the toolkit's own options
// already taken out) and keeps the result for ProgramCommandLine(). A command
// line that cannot be used is reported on standard error; the result is then
// the exit status (64), else nothing.
std::optional<int> ReadProgramCommandLine();
const TCommandLine& ProgramCommandLine();
