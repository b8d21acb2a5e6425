// The printer as a text stream: each line is drawn in the printer font from
// the left edge of the printable area, one line below the previous one; a form
// feed ends the page and starts the next, and so does a line that would not
// fit any more; closing the stream ends the print job. With the printer set to
// PDF output the job becomes a PDF file. The job starts with the first
// character written, so that a printout that fails before writing anything
// leaves no empty page behind.
#pragma once

#include "txtfile.h"

#include <QFont>
#include <QString>
#include <QtGlobal>

#include <memory>

class QPainter;
class QPrinter;

namespace kv {

// "Courier New", 9 points, fixed pitch; where Courier New is not installed,
// the system's fixed-pitch family.
QFont PrinterFont();
// The family PrinterFont uses: "Courier New" as the installed fonts spell it,
// else fixedFallback.
QString PrinterFontFamily(const QStringList& installed, const QString& fixedFallback);

// The printer's measures of a printout in a given font, all in printer pixels.
struct TPrinterMetrics {
    quint16 CharW = 0;   // the font's average character width
    quint16 LineH = 0;   // the font's character cell height
    int PageHeight = 0;  // of the printable area
    int PageWidthPx = 0; // of the printable area

    // Whole lines of the font on the printable page.
    int Lines() const { return LineH > 0 ? PageHeight / LineH : 0; }
    // Lines per page handed to the table writer: six lines fewer than fit.
    int PageLen() const { return Lines() - 6; }
    // Characters per line.
    int PageWidth() const { return CharW > 0 ? PageWidthPx / CharW : 0; }
};

// Measures font on printer as a printout on its current paper, orientation
// and resolution will see it. Starts no job.
TPrinterMetrics MeasurePrinter(QPrinter& printer, const QFont& font);

class TPrinterTextOutput : public TTextOutput {
public:
    // The printer must outlive the stream.
    explicit TPrinterTextOutput(QPrinter& printer);
    // Ends a job that is still open.
    ~TPrinterTextOutput() override;
    TPrinterTextOutput(const TPrinterTextOutput&) = delete;
    TPrinterTextOutput& operator=(const TPrinterTextOutput&) = delete;

    // Makes the stream ready for output; the print job starts on the first
    // page with the first character written. A stream that is open already
    // stays as it is.
    void Open();
    bool IsOpen() const { return FOpen; }
    // Whether the print job has started.
    bool JobStarted() const;
    // The font of the lines drawn from now on; PrinterFont() until set.
    void SetFont(const QFont& font);

    // Each raises kv::EInOutError when the stream is not open, the printer (or
    // the output file) refuses the job, or the printer cannot start a new page. CR returns to the
    // left edge, LF goes to the next line, a form feed (character 12) starts the next page.
    void Write(QStringView s) override;
    void WriteChar(QChar c) override;
    void WriteLn() override;

    // Draws what the current line still holds and ends the job, which sends
    // it to the printer. True when the stream was not open or nothing was
    // written; false when the printer refused to finish the job (the stream
    // is closed all the same).
    bool Close();

    // Pages of the job started since Open; 0 while nothing is written.
    int PageCount() const { return FPageCount; }

private:
    // Raises unless the stream is open; starts the job when it has not.
    void StartOutput();
    void ApplyFont();
    void FlushLine();      // draws the text held for the current line
    void EnsureLineFits(); // starts the next page when the line would not fit
    void NewPage();
    void NextLine();

    QPrinter& FPrinter;
    std::unique_ptr<QPainter> FPainter;
    bool FOpen = false;
    QFont FFont;
    QString FLine; // text of the current line not drawn yet
    qreal FX = 0;  // where FLine starts
    int FY = 0;    // top of the current line
    int FLineH = 0;
    int FAscent = 0;
    int FPageHeight = 0;
    int FPageCount = 0;
};

} // namespace kv
