#include "txtfile.h"

#include "errors.h"

#include <QFile>

namespace kv {

TTxtFile::TTxtFile() = default;

TTxtFile::~TTxtFile() {
    if (IsOpen()) {
        TryFlush();
        ReleaseFile();
    }
}

bool TTxtFile::IsOpen() const {
    return FFile && FFile->isOpen();
}

void TTxtFile::CheckOpen() const {
    if (!IsOpen()) {
        throw EInOutError("File not open");
    }
}

void TTxtFile::Write(QStringView s) {
    CheckOpen();
    if (s.isEmpty()) {
        return;
    }
    // A surrogate pair may arrive in two writes: keep a trailing high surrogate
    // back until its partner comes, so that the pair is encoded as one character.
    QString joined;
    if (FHeldSurrogate != 0) {
        joined.reserve(s.size() + 1);
        joined.append(QChar(FHeldSurrogate));
        joined.append(s);
        s = joined;
        FHeldSurrogate = 0;
    }
    if (s.back().isHighSurrogate()) {
        FHeldSurrogate = s.back().unicode();
        s.chop(1);
    }
    if (!s.isEmpty()) {
        const QByteArray bytes = s.toUtf8();
        PutBytes(bytes.constData(), bytes.size());
    }
}

void TTxtFile::WriteChar(QChar c) {
    if (c.unicode() < 0x80 && FHeldSurrogate == 0) {
        CheckOpen();
        const char byte = static_cast<char>(c.unicode());
        PutBytes(&byte, 1);
    } else {
        Write(QStringView(&c, 1));
    }
}

void TTxtFile::WriteLn() {
    Write(u"\r\n");
}

void TTxtFile::PutBytes(const char* data, qsizetype len) {
    if (FBuffer.size() + len > BufferSize) {
        Flush();
    }
    if (len > BufferSize) {
        FBuffer = QByteArray(data, len);
        Flush();
    } else {
        FBuffer.append(data, len);
    }
}

bool TTxtFile::TryFlush() {
    if (FBuffer.isEmpty()) {
        return true;
    }
    qsizetype done = 0;
    while (done < FBuffer.size()) {
        const qint64 n = FFile->write(FBuffer.constData() + done, FBuffer.size() - done);
        if (n <= 0) {
            FBuffer.remove(0, done);
            return false;
        }
        done += static_cast<qsizetype>(n);
    }
    FBuffer.clear();
    return true;
}

void TTxtFile::Flush() {
    if (!TryFlush()) {
        const QString reason = FFile->errorString();
        throw EInOutError(
            QStringLiteral("Cannot write file %1: %2").arg(FFileName, reason).toStdString());
    }
}

void TTxtFile::ReleaseFile() {
    if (FFile) {
        FFile->close();
    }
    FFile.reset();
    FBuffer = QByteArray();
    FHeldSurrogate = 0;
}

bool TxtCreate(TTxtFile& F, const QString& FileName, QString& Msg) {
    Msg.clear();
    if (F.IsOpen()) {
        F.TryFlush();
        F.ReleaseFile();
    }
    auto file = std::make_unique<QFile>(FileName);
    if (FileName.isEmpty() ||
        !file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        Msg = QStringLiteral("Cannot create file ") + FileName + QStringLiteral("[TxtCreate]");
        return false;
    }
    F.FFile = std::move(file);
    F.FFileName = FileName;
    F.FBuffer.reserve(TTxtFile::BufferSize);
    return true;
}

bool TxtClose(TTxtFile& F, QString& Msg) {
    Msg.clear();
    if (!F.IsOpen()) {
        return true;
    }
    bool ok = true;
    if (F.FHeldSurrogate != 0) {
        // A lone high surrogate at the end: written as the replacement character.
        const QByteArray bytes = QString(QChar(F.FHeldSurrogate)).toUtf8();
        F.FHeldSurrogate = 0;
        F.FBuffer.append(bytes);
    }
    if (!F.TryFlush()) {
        ok = false;
    }
    F.FFile->close();
    if (F.FFile->error() != QFileDevice::NoError) {
        ok = false;
    }
    F.ReleaseFile();
    if (!ok) {
        Msg = QStringLiteral("Cannot close file[TxtClose]");
    }
    return ok;
}

} // namespace kv
