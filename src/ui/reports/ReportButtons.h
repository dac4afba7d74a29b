#pragma once

#include <QWidget>

class QPushButton;
class ReportActions;

// The row of report buttons: CSV of the memory table, Excel workbook of the record in the
// editor, QR-codes list, and the reports folder. Each button runs its ReportActions slot.
class ReportButtons : public QWidget
{
    Q_OBJECT
public:
    ReportButtons(ReportActions *actions, QWidget *parent = nullptr);

    QPushButton *saveReport() const { return m_save; }
    QPushButton *excelReport() const { return m_excel; }
    QPushButton *qrGenerate() const { return m_qr; }
    QPushButton *openReport() const { return m_open; }

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();

    QPushButton *m_save;
    QPushButton *m_excel;
    QPushButton *m_qr;
    QPushButton *m_open;
};
