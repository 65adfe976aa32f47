#include "print/page_print_qt.h"

#include <QFile>
#include <QFutureWatcher>
#include <QLocale>
#include <QPageLayout>
#include <QPointer>
#include <QTemporaryDir>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QtConcurrent/QtConcurrentRun>
#include <memory>

#include "common/app_observer.h"
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

// One print, from the page to the CUPS queue. A child of the page: if the page goes first, the
// job goes with it and nothing is reported to a page that no longer exists.
class PrintJob : public QObject {
  public:
    PrintJob(QWebEnginePage* page, std::u16string printer, std::function<void(PrintResult)> report)
        : QObject(page), page_(page), printer_(std::move(printer)), report_(std::move(report)) {}

    void Start() {
        // Rendering the built-in PDF viewer would print its toolbar and thumbnails, not the
        // document: a PDF is printed from its own bytes.
        QPointer<PrintJob> self(this);
        page_->runJavaScript(QStringLiteral("document.contentType"), [self](const QVariant& type) {
            if (!self) return;
            if (type.toString() == QLatin1String("application/pdf")) {
                self->PrintDocument();
            } else {
                self->PrintRenderedPage();
            }
        });
    }

  private:
    void PrintRenderedPage() {
        if (auto* observer = AppObservers::Current()) observer->Report("printToPdf", {});
        QPointer<PrintJob> self(this);
        page_->printToPdf(
            [self](const QByteArray& pdf) {
                if (self) self->Submit(pdf);
            },
            DefaultPageLayout());
    }

    void PrintDocument() {
        if (auto* observer = AppObservers::Current()) observer->Report("printDocument", {});
        folder_ = std::make_unique<QTemporaryDir>();
        if (!folder_->isValid()) {
            Finish(PrintResult::CompletedWithError);
            return;
        }
        const QUrl url = page_->url();
        // Only this page's download of this address is the job's; every other download keeps
        // the profile's behaviour.
        connect(page_->profile(), &QWebEngineProfile::downloadRequested, this,
                [this, url](QWebEngineDownloadRequest* download) {
                    if (claimed_ || download->page() != page_ || download->url() != url) return;
                    claimed_ = true;
                    download->setDownloadDirectory(folder_->path());
                    download->setDownloadFileName(QStringLiteral("document.pdf"));
                    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this,
                            [this, download] { DocumentDownloaded(download); });
                    download->accept();
                });
        page_->download(url);
    }

    void DocumentDownloaded(QWebEngineDownloadRequest* download) {
        if (!download->isFinished()) return;
        if (download->state() != QWebEngineDownloadRequest::DownloadCompleted) {
            Finish(PrintResult::CompletedWithError);
            return;
        }
        QFile file(folder_->filePath(QStringLiteral("document.pdf")));
        Submit(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }

    void Submit(const QByteArray& pdf) {
        if (auto* observer = AppObservers::Current()) {
            observer->Report("pdfReady", {{"bytes", static_cast<long long>(pdf.size())}});
        }
        auto* watcher = new QFutureWatcher<PrintResult>(this);
        connect(watcher, &QFutureWatcherBase::finished, this,
                [this, watcher] { Finish(watcher->result()); });
        // CUPS talks to its server: never on the UI thread.
        watcher->setFuture(QtConcurrent::run([printer = printer_,
                                              title = page_->title().toStdU16String(), pdf] {
            return SubmitPdfPrintJob(printer, std::string_view(pdf.constData(), pdf.size()), title);
        }));
    }

    void Finish(PrintResult result) {
        report_(result);
        deleteLater();
    }

    QWebEnginePage* page_;
    std::u16string printer_;
    std::function<void(PrintResult)> report_;
    std::unique_ptr<QTemporaryDir> folder_;
    bool claimed_ = false;
};

}  // namespace

void PrintPageToPrinter(QWebEnginePage* page, const std::u16string& printer,
                        std::function<void(PrintResult)> report) {
    (new PrintJob(page, printer, std::move(report)))->Start();
}

}  // namespace Printing
