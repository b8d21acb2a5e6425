// Where the program finds the files it ships with: the help file and the
// three PDF documents.
#pragma once

#include <QString>

// The data folder of an executable in exeFolder: an installed program keeps
// its files in share/winvelmar beside its bin/ folder (dataFromBin, relative to
// exeFolder), the build tree keeps them beside the executable. The installed
// folder counts only when it exists.
QString DataFolderFor(const QString& exeFolder, const QString& dataFromBin);

// The data folder of the running executable.
QString ProgramDataFolder();
