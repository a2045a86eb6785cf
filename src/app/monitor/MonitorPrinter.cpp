#include "app/monitor/MonitorPrinter.h"

#include "app/monitor/MonitorText.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocumentFragment>

namespace {
constexpr double kPrintMarginInches = 0.5; // 720 twips
}

CMonitorPrinter::CMonitorPrinter(QPlainTextEdit& view)
    : m_view(view),
      m_margins(kPrintMarginInches, kPrintMarginInches, kPrintMarginInches, kPrintMarginInches)
{
}

CMonitorPrinter::~CMonitorPrinter() = default;

QPrinter& CMonitorPrinter::Printer()
{
    // Made on first use: finding the system's printers can take a moment.
    if (!m_pPrinter) {
        m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_pPrinter->setPageMargins(m_margins, QPageLayout::Inch);
    }
    return *m_pPrinter;
}

void CMonitorPrinter::PrintTo(QPrinter& printer) const
{
    printer.setPageMargins(m_margins, QPageLayout::Inch);
    const QTextDocument& source = *m_view.document();
    const QTextCursor selection = m_view.textCursor();
    std::unique_ptr<QTextDocument> copy;
    int from = 0;
    int to = source.characterCount() - 1;
    if (printer.printRange() == QPrinter::Selection && selection.hasSelection()) {
        copy = std::make_unique<QTextDocument>();
        QTextCursor(copy.get()).insertFragment(QTextDocumentFragment(selection));
        from = selection.selectionStart();
        to = selection.selectionEnd();
    } else {
        copy.reset(source.clone());
    }
    // The page wraps lines itself: the breaks made for the screen go, from the last one
    // back so that the positions before it stay as they are.
    const QList<int> breaks = CMonitorText::ContinuationBreaks(source, from, to);
    QTextCursor join(copy.get());
    for (auto it = breaks.crbegin(); it != breaks.crend(); ++it) {
        join.setPosition(*it - from);
        join.deleteChar();
    }
    // Laid out for the page as it is, so that the document adds no margins of its own to
    // the printer's.
    copy->setDefaultFont(m_view.font());
    copy->documentLayout()->setPaintDevice(&printer);
    copy->setPageSize(printer.pageLayout().paintRectPixels(printer.resolution()).size());
    copy->setDocumentMargin(0);
    copy->print(&printer);
}

void CMonitorPrinter::Print()
{
    QPrinter& printer = Printer();
    QPrintDialog dialog(&printer, &m_view);
    dialog.setWindowTitle(QCoreApplication::translate("CMonitorPrinter", "打印"));
    if (m_view.textCursor().hasSelection())
        dialog.setOption(QAbstractPrintDialog::PrintSelection);
    if (dialog.exec() == QDialog::Accepted)
        PrintTo(printer);
}

void CMonitorPrinter::PrintDirect()
{
    QPrinter& printer = Printer();
    if (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty()) {
        // No printer on the system: the print dialog offers printing to a file.
        Print();
        return;
    }
    printer.setPrintRange(QPrinter::AllPages);
    PrintTo(printer);
}

void CMonitorPrinter::PrintPreview()
{
    QPrinter& printer = Printer();
    printer.setPageMargins(m_margins, QPageLayout::Inch);
    QPrintPreviewDialog dialog(&printer, &m_view);
    dialog.setWindowTitle(QCoreApplication::translate("CMonitorPrinter", "打印预览"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [this](QPrinter* p) { PrintTo(*p); });
    dialog.exec();
}

void CMonitorPrinter::PrintSetup()
{
    QPrinter& printer = Printer();
    printer.setPageMargins(m_margins, QPageLayout::Inch);
    QPageSetupDialog dialog(&printer, &m_view);
    dialog.setWindowTitle(QCoreApplication::translate("CMonitorPrinter", "打印设置"));
    if (dialog.exec() == QDialog::Accepted) {
        // Margins the user sets here hold for the following print jobs.
        m_margins = printer.pageLayout().margins(QPageLayout::Inch);
    }
}
