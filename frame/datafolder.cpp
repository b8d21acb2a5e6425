#include "datafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef WINVELMAR_DATA_FROM_BIN
#define WINVELMAR_DATA_FROM_BIN "../share/winvelmar"
#endif

QString DataFolderFor(const QString& exeFolder, const QString& dataFromBin) {
    const QString installed = QDir::cleanPath(QDir(exeFolder).filePath(dataFromBin));
    if (!dataFromBin.isEmpty() && QFileInfo(installed).isDir()) {
        return installed;
    }
    return exeFolder;
}

QString ProgramDataFolder() {
    return DataFolderFor(QCoreApplication::applicationDirPath(),
                         QStringLiteral(WINVELMAR_DATA_FROM_BIN));
}
