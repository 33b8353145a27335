#include "ZPrinters/ZCupsContext.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTemporaryFile>
#include <cmath>

#include "ZPrinters/ZCupsLib.h"

namespace Zprinters {

namespace {

constexpr int kDefaultResolution = 300;

bool HaveGui() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

// Copies the document into a file created afresh at path, so that it gets the permissions of
// any file the process creates (the temporary document is readable by its owner only).
bool WriteNewFile(const QString& document, const QString& path) {
    QFile::remove(path);
    QFile in(document);
    QFile out(path);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) return false;
    while (!in.atEnd()) {
        const QByteArray block = in.read(1 << 20);
        if (block.isEmpty() || out.write(block) != block.size()) return false;
    }
    return out.flush();
}

}  // namespace

TZCupsContext::TZCupsContext(TZCupsJob job, const TZDevMode& devMode, bool deviceContext)
    : job_(std::move(job)), devMode_(devMode), deviceContext_(deviceContext) {}

TZCupsContext::~TZCupsContext() {
    if (docStarted_) Discard();
}

int TZCupsContext::Resolution() const {
    // A PDF page has one resolution for both directions: the horizontal one.
    if (printer_) return printer_->resolution();
    if (devMode_.dmPrintQuality > 0) return devMode_.dmPrintQuality;
    if (devMode_.dmYResolution > 0) return devMode_.dmYResolution;
    return kDefaultResolution;
}

QPageLayout TZCupsContext::LayoutOf(const TZDevMode& dm) const {
    QPageSize size;
    auto it = job_.papers.find(dm.dmPaperSize);
    if (it != job_.papers.end())
        size = it->second;
    else if (dm.dmPaperWidth > 0 && dm.dmPaperLength > 0)
        size = QPageSize(QSizeF(dm.dmPaperWidth / 10.0, dm.dmPaperLength / 10.0),
                         QPageSize::Millimeter);
    else
        size = QPageSize(QPageSize::A4);
    auto orientation =
        dm.dmOrientation == DMORIENT_LANDSCAPE ? QPageLayout::Landscape : QPageLayout::Portrait;
    return QPageLayout(size, orientation, QMarginsF(), QPageLayout::Millimeter);
}

int TZCupsContext::GetDeviceCaps(int index) const {
    const int dpi = Resolution();
    const QSizeF mm = LayoutOf(devMode_).fullRect(QPageLayout::Millimeter).size();
    const int w = static_cast<int>(std::floor(mm.width() * dpi / 25.4));
    const int h = static_cast<int>(std::floor(mm.height() * dpi / 25.4));
    switch (index) {
        case LOGPIXELSX:
        case LOGPIXELSY:
            return dpi;
        case HORZRES:
        case PHYSICALWIDTH:
            return w;
        case VERTRES:
        case PHYSICALHEIGHT:
            return h;
        case PHYSICALOFFSETX:
        case PHYSICALOFFSETY:
        default:
            return 0;
    }
}

bool TZCupsContext::EnumFontFamilies(QStringList& out) const {
    if (!HaveGui()) return false;
    out = QFontDatabase::families();
    return true;
}

int TZCupsContext::StartDoc(const QString& docName, const QString& outputFile) {
    if (!deviceContext_ || docStarted_) return 0;
    QTemporaryFile tmp(QDir::tempPath() + QStringLiteral("/tw-print-XXXXXX.pdf"));
    tmp.setAutoRemove(false);
    if (!tmp.open()) return 0;
    tempFile_ = tmp.fileName();
    tmp.close();

    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(tempFile_);
    printer_->setResolution(devMode_.dmPrintQuality > 0  ? devMode_.dmPrintQuality
                            : devMode_.dmYResolution > 0 ? devMode_.dmYResolution
                                                         : kDefaultResolution);
    printer_->setFullPage(true);
    printer_->setDocName(docName);
    printer_->setCreator(QStringLiteral("Vostrin"));
    docName_ = docName;
    outputFile_ = outputFile;
    docStarted_ = true;
    cancelled_ = false;
    pages_ = 0;
    return 1;
}

int TZCupsContext::StartPage() {
    if (!docStarted_ || cancelled_) return 0;
    printer_->setPageLayout(LayoutOf(devMode_));
    if (!painter_) {
        // The painter begins at the first page, so a document without pages writes nothing.
        if (!HaveGui()) return 0;
        painter_ = std::make_unique<QPainter>();
        if (!painter_->begin(printer_.get())) {
            painter_.reset();
            return 0;
        }
    } else if (!printer_->newPage()) {
        return 0;
    }
    ++pages_;
    return 1;
}

int TZCupsContext::EndPage() {
    if (!docStarted_ || !painter_) return 0;
    if (!QueryAbortProc()) {
        cancelled_ = true;
        return -1;
    }
    return 1;
}

int TZCupsContext::EndDoc() {
    if (!docStarted_) return 0;
    int result = 1;
    if (painter_) painter_->end();
    if (cancelled_)
        result = 0;
    else if (pages_ > 0)
        result = Submit();
    Discard();
    return result;
}

int TZCupsContext::AbortDoc() {
    if (!docStarted_) return 0;
    cancelled_ = true;
    Discard();
    return 1;
}

int TZCupsContext::Submit() {
    if (!outputFile_.isEmpty()) return WriteNewFile(tempFile_, outputFile_) ? 1 : 0;
    const TZCupsLib* cups = TZCupsLib::Get();
    if (!cups) return 0;
    std::vector<std::pair<QString, QString>> options;
    options.emplace_back(QStringLiteral("copies"),
                         QString::number(devMode_.dmCopies > 0 ? devMode_.dmCopies : 1));
    if (devMode_.dmCopies > 1)
        options.emplace_back(QStringLiteral("collate"),
                             devMode_.dmCollate ? QStringLiteral("true") : QStringLiteral("false"));
    options.emplace_back(QStringLiteral("sides"), devMode_.dmDuplex == DMDUP_VERTICAL
                                                      ? QStringLiteral("two-sided-long-edge")
                                                  : devMode_.dmDuplex == DMDUP_HORIZONTAL
                                                      ? QStringLiteral("two-sided-short-edge")
                                                      : QStringLiteral("one-sided"));
    auto slot = job_.binKeys.find(devMode_.dmDefaultSource);
    if (slot != job_.binKeys.end()) options.emplace_back(QStringLiteral("InputSlot"), slot->second);
    return cups->PrintFile(job_.queue, tempFile_, docName_, options) > 0 ? 1 : 0;
}

void TZCupsContext::Discard() {
    if (painter_ && painter_->isActive()) painter_->end();
    painter_.reset();
    printer_.reset();
    if (!tempFile_.isEmpty()) QFile::remove(tempFile_);
    tempFile_.clear();
    docStarted_ = false;
}

bool TZCupsContext::ResetDC(const TZDevMode& devMode) {
    devMode_ = devMode;
    return true;
}

QPainter* TZCupsContext::Painter() {
    return painter_ && painter_->isActive() ? painter_.get() : nullptr;
}

}  // namespace Zprinters
