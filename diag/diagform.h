// The diagnostics window: the report in a read-only text box, to be copied
// into an e-mail or saved as a file for a problem report.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class TxrDiagForm : public QDialog {
    Q_OBJECT
public:
    explicit TxrDiagForm(const QString& report, QWidget* parent = nullptr);

    QLabel* Label1;
    QPlainTextEdit* Memo1;
    QPushButton* OKButton;
    QPushButton* CopyBtn;
    QPushButton* SaveBtn;

    void CopyBtnClick();
    void SaveBtnClick();

    // The report's lines as text in the system's 8-bit code page, each line
    // ended by CR LF. A file that cannot be written raises EInOutError.
    void SaveReport(const QString& fileName) const;

    // The file name the save dialog offers.
    static QString DefaultFileName() { return QStringLiteral("Diag.txt"); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool FPlaced = false;
};
