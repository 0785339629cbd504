#include "core/screens/printoutput.h"

#include "core/apperror.h"
#include "core/ini.h"
#include "core/screens/messagebox.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryFile>
#include <cmath>
#include <filesystem>

namespace {

const QString kApplication = QStringLiteral("Tarvelシステム");

// A document name as a file name: characters no file system takes become "_".
QString fileNameOf(const QString& name) {
    QString out = name.trimmed();
    for (QChar& c : out)
        if (c.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    if (out.isEmpty() || out == QLatin1String(".") || out == QLatin1String(".."))
        out = QStringLiteral("_");
    return out + QStringLiteral(".pdf");
}

void ensureFolder(const QString& folder) {
    if (QFileInfo(folder).isDir())
        return;
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        throw AppError(QStringLiteral("PDFファイルの保存先フォルダを作成できません: ") +
                       QDir::toNativeSeparators(folder));
}

} // namespace

PrintSettings PrintSettings::read() {
    PrintSettings s;
    s.pdf = IniRead(QStringLiteral("Print"), QStringLiteral("Output"))
                .compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
    QString folder = IniRead(QStringLiteral("Print"), QStringLiteral("Folder"));
    if (folder.isEmpty())
        folder = QStringLiteral("print");
    // TVL.INI is read from the current directory, so that is its folder.
    s.folder = QDir::cleanPath(QDir::current().absoluteFilePath(folder));
    return s;
}

PrintRun::PrintRun() : PrintRun(PrintSettings::read()) {}

PrintRun::PrintRun(const PrintSettings& settings) : m_settings(settings) {
    if (!m_settings.pdf) {
        m_printer = QPrinterInfo::defaultPrinter();
        m_toPdf = m_printer.isNull();
    }
}

void PrintRun::tellUser(QWidget* parent) const {
    if (m_pdfFiles.isEmpty())
        return;
    MessageBox::show(parent,
                     QStringLiteral("PDFファイルを保存しました: ") +
                         QDir::toNativeSeparators(m_settings.folder),
                     MessageBox::Buttons::Ok, MessageBox::Icon::Information);
}

// Destroyed in reverse order: the painter, then the device it paints on,
// then the file the device writes to.
struct PrintDocument::Output {
    QString path;
    std::unique_ptr<QTemporaryFile> file;
    std::unique_ptr<QPdfWriter> pdf;
    std::unique_ptr<QPrinter> printer;
    QPainter painter;
    bool finished = false;
};

PrintDocument::PrintDocument(PrintRun& run, const QString& name, const QPageLayout& layout)
    : m_run(run), m_out(std::make_unique<Output>()) {
    QPagedPaintDevice* device = nullptr;
    if (run.m_toPdf) {
        ensureFolder(run.m_settings.folder);
        m_out->path = QDir(run.m_settings.folder).filePath(fileNameOf(name));
        // Written to a hidden file beside the target and renamed over it
        // when complete, so a failure never leaves a half-written file. Not
        // synced to disk: a lost file is printed again, and syncing every
        // file of a long run costs more than all the rest of the writing.
        m_out->file = std::make_unique<QTemporaryFile>(
            QDir(run.m_settings.folder)
                .filePath(QLatin1Char('.') + fileNameOf(name) + QStringLiteral(".XXXXXX")));
        if (!m_out->file->open())
            throw AppError(
                QStringLiteral("PDFファイルを保存できません: %1（%2）")
                    .arg(QDir::toNativeSeparators(m_out->path), m_out->file->errorString()));
        m_out->file->setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                    QFile::ReadOther);
        m_out->pdf = std::make_unique<QPdfWriter>(m_out->file.get());
        m_out->pdf->setTitle(name);
        m_out->pdf->setCreator(kApplication);
        m_out->pdf->setPageLayout(layout);
        device = m_out->pdf.get();
    } else {
        m_out->printer = std::make_unique<QPrinter>(run.m_printer, QPrinter::HighResolution);
        QPrinter& printer = *m_out->printer;
        printer.setDocName(name);
        printer.setCreator(kApplication);
        printer.setFullPage(false);
        // A printer that cannot print as close to the edge as asked keeps
        // its own margins; paper and orientation still apply.
        if (!printer.setPageLayout(layout)) {
            printer.setPageSize(layout.pageSize());
            printer.setPageOrientation(layout.orientation());
        }
        device = &printer;
    }
    if (!m_out->painter.begin(device))
        throw AppError(m_out->printer ? QStringLiteral("プリンタ「%1」に印刷できません。")
                                            .arg(run.m_printer.printerName())
                                      : QStringLiteral("PDFファイルを作成できません: ") +
                                            QDir::toNativeSeparators(m_out->path));
}

PrintDocument::~PrintDocument() {
    if (m_out->finished)
        return;
    if (m_out->printer)
        m_out->printer->abort();
    if (m_out->painter.isActive())
        m_out->painter.end();
    // An unfinished temporary file is removed with its object.
}

QPainter& PrintDocument::painter() {
    return m_out->painter;
}

void PrintDocument::newPage() {
    const bool ok = m_out->printer ? m_out->printer->newPage() : m_out->pdf->newPage();
    if (!ok)
        throw AppError(QStringLiteral("改ページできません。"));
}

void PrintDocument::finish() {
    const bool painted = m_out->painter.end();
    if (m_out->printer) {
        if (!painted || m_out->printer->printerState() == QPrinter::Error)
            throw AppError(QStringLiteral("プリンタ「%1」への印刷に失敗しました。")
                               .arg(m_run.m_printer.printerName()));
        m_out->finished = true;
        return;
    }
    QTemporaryFile& file = *m_out->file;
    const bool written = painted && file.flush() && file.error() == QFileDevice::NoError;
    QString reason = file.errorString();
    file.close();
    std::error_code failed;
    if (written)
        std::filesystem::rename(std::filesystem::path(file.fileName().toStdU16String()),
                                std::filesystem::path(m_out->path.toStdU16String()), failed);
    if (!written || failed)
        throw AppError(QStringLiteral("PDFファイルを保存できません: %1（%2）")
                           .arg(QDir::toNativeSeparators(m_out->path),
                                failed ? QString::fromLocal8Bit(failed.message()) : reason));
    file.setAutoRemove(false); // it has its final name now
    m_out->finished = true;
    m_run.m_pdfFiles.append(m_out->path);
}

void scaleToTwips(QPainter& painter) {
    const QPaintDevice* device = painter.device();
    painter.scale(device->logicalDpiX() / kTwipsPerInch, device->logicalDpiY() / kTwipsPerInch);
}

QFont printFont(const QString& family, double points, bool bold) {
    QFont font(family);
    font.setPixelSize(int(std::lround(points * kTwipsPerPoint)));
    font.setBold(bold);
    // Keep the metrics the outlines have, not those of a screen grid.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}
