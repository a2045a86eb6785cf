#pragma once

#include <QMarginsF>

#include <memory>

class QPlainTextEdit;
class QPrinter;

// Printing of the monitor: the print, print preview and print setup commands, the printer
// they share and the page margins (0.5 inch on every side, 720 twips, until the user sets
// others in print setup).
class CMonitorPrinter
{
public:
    explicit CMonitorPrinter(QPlainTextEdit& view);
    ~CMonitorPrinter();
    CMonitorPrinter(const CMonitorPrinter&) = delete;
    CMonitorPrinter& operator=(const CMonitorPrinter&) = delete;

    // Prints the view's text (its selection when the printer's range says so) with the
    // margins; lines cut for the screen are printed whole.
    void PrintTo(QPrinter& printer) const;
    const QMarginsF& Margins() const { return m_margins; }
    // The printer that print setup configures (created on first use).
    QPrinter& Printer();

    void Print();
    void PrintDirect();
    void PrintPreview();
    void PrintSetup();

private:
    QPlainTextEdit& m_view;
    QMarginsF m_margins;
    std::unique_ptr<QPrinter> m_pPrinter;
};
