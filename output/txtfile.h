// Text output: a sequential character stream that writes strings and single
// characters and ends lines with CR LF. The table writers write to it; a text
// file (TxtCreate/TxtClose), an in-memory string and, later, the printer are
// its implementations. A failing write raises kv::EInOutError at the write.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <memory>

class QFile;

namespace kv {

class TTextOutput {
public:
    virtual ~TTextOutput() = default;
    virtual void Write(QStringView s) = 0;
    virtual void WriteChar(QChar c) = 0;
    // Ends the line with CR LF.
    virtual void WriteLn() = 0;
};

// Collects everything written in a string.
class TStringTextOutput : public TTextOutput {
public:
    void Write(QStringView s) override { FText.append(s); }
    void WriteChar(QChar c) override { FText.append(c); }
    void WriteLn() override { FText.append(QLatin1String("\r\n")); }

    const QString& Text() const { return FText; }
    void Clear() { FText.clear(); }

private:
    QString FText;
};

// A text file written in UTF-8 (no byte-order mark) through a 120002-byte
// output buffer. Open it with TxtCreate and close it with TxtClose; a file
// still open when the object goes away is closed silently.
class TTxtFile : public TTextOutput {
public:
    static constexpr qsizetype BufferSize = 120002;

    TTxtFile();
    ~TTxtFile() override;
    TTxtFile(const TTxtFile&) = delete;
    TTxtFile& operator=(const TTxtFile&) = delete;

    bool IsOpen() const;
    const QString& FileName() const { return FFileName; }

    // Each raises kv::EInOutError when the file is not open or the data cannot
    // be written.
    void Write(QStringView s) override;
    void WriteChar(QChar c) override;
    void WriteLn() override;

private:
    friend bool TxtCreate(TTxtFile& F, const QString& FileName, QString& Msg);
    friend bool TxtClose(TTxtFile& F, QString& Msg);

    void CheckOpen() const;
    void PutBytes(const char* data, qsizetype len);
    // Writes the buffer out; returns false (buffer kept) when the file refuses it.
    bool TryFlush();
    void Flush(); // raises kv::EInOutError
    void ReleaseFile();

    std::unique_ptr<QFile> FFile;
    QString FFileName;
    QByteArray FBuffer;
    char16_t FHeldSurrogate = 0; // high surrogate waiting for its partner
};

// Creates (or truncates) FileName for writing. On failure Msg is
// "Cannot create file " + FileName + "[TxtCreate]"; otherwise empty. A file
// that F still holds open is closed first.
bool TxtCreate(TTxtFile& F, const QString& FileName, QString& Msg);

// Writes out the buffer and closes F; true when F was not open. On failure
// Msg is "Cannot close file[TxtClose]" and F is closed all the same.
bool TxtClose(TTxtFile& F, QString& Msg);

} // namespace kv
