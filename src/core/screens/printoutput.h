#pragma once

#include <QFont>
#include <QPageLayout>
#include <QPrinterInfo>
#include <QString>
#include <QStringList>
#include <memory>

class QPainter;
class QWidget;

// Where printed output goes, from [Print] of TVL.INI:
//   Output  "printer" (default; also for a missing or unknown value) or
//           "pdf", compared without regard to case;
//   Folder  where PDF files go; default "print"; a relative path is taken
//           from the folder of TVL.INI.
struct PrintSettings {
    bool pdf = false;
    QString folder; // absolute

    static PrintSettings read();
};

// One printing run: everything one user action prints. Documents go to the
// default printer without a dialog, one job each; when the settings ask for
// PDF, or when there is no printer, each becomes a file "<name>.pdf" in the
// folder instead. After the run the user is told once where files went.
//
//   PrintRun run;
//   try {
//       for (...) {
//           PrintDocument doc(run, name, layout);
//           scaleToTwips(doc.painter());
//           paintFirstPage(doc.painter()); doc.newPage(); ...
//           doc.finish();
//       }
//   } catch (const AppError& e) { MessageBox::error(parent, e.text()); }
//   run.tellUser(parent);
class PrintRun {
  public:
    PrintRun(); // reads the settings and asks for the default printer now
    explicit PrintRun(const PrintSettings& settings); // settings of its own (tarvel-admin)

    bool toPdf() const { return m_toPdf; }
    QString folder() const { return m_settings.folder; }
    QStringList pdfFiles() const { return m_pdfFiles; } // written so far, in order

    // "PDFファイルを保存しました: " and the folder, once, when files were written.
    void tellUser(QWidget* parent) const;

  private:
    friend class PrintDocument;
    PrintSettings m_settings;
    QPrinterInfo m_printer;
    bool m_toPdf = true;
    QStringList m_pdfFiles;
};

// One document of a run: one printer job, or one PDF file that appears only
// once it is complete (replacing an older file of that name). The painter
// starts at the top-left corner of the area inside the layout's margins, in
// the device's own units; scaleToTwips makes one unit a twip. Pages are
// separated by newPage. Failures throw AppError with the user's text. A
// document destroyed before finish() is abandoned: the job is cancelled, no
// file is left.
class PrintDocument {
  public:
    PrintDocument(PrintRun& run, const QString& name, const QPageLayout& layout);
    ~PrintDocument();
    PrintDocument(const PrintDocument&) = delete;
    PrintDocument& operator=(const PrintDocument&) = delete;

    QPainter& painter();
    void newPage();
    void finish();

  private:
    struct Output;
    PrintRun& m_run;
    std::unique_ptr<Output> m_out;
};

constexpr double kTwipsPerInch = 1440;
constexpr double kTwipsPerPoint = 20;

// Scales the painter so that one unit is one twip (1440 to the inch) on its device.
void scaleToTwips(QPainter& painter);
// A font of the given size in points for painting in twips.
QFont printFont(const QString& family, double points, bool bold = false);
