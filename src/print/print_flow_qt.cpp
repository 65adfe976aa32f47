#include "print/print_flow_qt.h"

#include <QFutureWatcher>
#include <QLocale>
#include <QPageLayout>
#include <QPointer>
#include <QWebEnginePage>
#include <QtConcurrent/QtConcurrentRun>

#include "host/e2e_hooks_qt.h"
#include "print/print_job_cups.h"

namespace Printing {

namespace {

// The browser's defaults for a new print job: portrait, 1 cm margins, the paper of the user's
// region.
QPageLayout DefaultPageLayout() {
    const QPageSize paper(QLocale().measurementSystem() == QLocale::ImperialUSSystem
                              ? QPageSize::Letter
                              : QPageSize::A4);
    return QPageLayout(paper, QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

}  // namespace

void PrintPageToPrinter(QWebEnginePage* page, const std::u16string& printer,
                        std::function<void(PrintResult)> report) {
    // Lives with the page: if the page goes first, the job's pieces go with it and nothing is
    // reported to a page that no longer exists.
    QPointer<QObject> job = new QObject(page);
    const std::u16string title = page->title().toStdU16String();
    E2eHooks::LogEvent("printToPdf");
    page->printToPdf(
        [job, printer, title, report = std::move(report)](const QByteArray& pdf) {
            if (!job) return;
            E2eHooks::LogEvent("pdfReady", {{"bytes", static_cast<qint64>(pdf.size())}});
            auto* watcher = new QFutureWatcher<PrintResult>(job);
            QObject::connect(watcher, &QFutureWatcherBase::finished, job, [job, watcher, report] {
                report(watcher->result());
                job->deleteLater();
            });
            // CUPS talks to its server: never on the UI thread.
            watcher->setFuture(QtConcurrent::run([printer, title, pdf] {
                return SubmitPdfPrintJob(printer, std::string_view(pdf.constData(), pdf.size()),
                                         title);
            }));
        },
        DefaultPageLayout());
}

}  // namespace Printing
