// kvdocgen SOURCE_DIR OUT_DIR: writes "KRTW-Chapter-2.pdf", "EQUATION.pdf" and
// "VARS.pdf" from the document sources and the model. Runs during the build
// (headless: QT_QPA_PLATFORM=offscreen).
#include "docgen.h"

#include "errors.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: kvdocgen SOURCE_DIR OUT_DIR\n");
        return 64;
    }
    try {
        for (const QString& path : docgen::GenerateDocuments(args[1], args[2])) {
            std::printf("wrote %s\n", qPrintable(QDir::toNativeSeparators(path)));
        }
    } catch (const docgen::DocError& e) {
        std::fprintf(stderr, "kvdocgen: %s\n", e.what());
        return 1;
    } catch (const kv::Exception& e) {
        std::fprintf(stderr, "kvdocgen: (%s)%s\n", e.className(), e.what());
        return 1;
    }
    return 0;
}
