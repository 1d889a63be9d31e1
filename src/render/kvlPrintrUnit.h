// The page target: records pages into the page store while a composition draws them,
// and prints them on the configured printer.
#pragma once

#include <QEvent>
#include <QObject>
#include <QPainter>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

#include "control/ControlContext.h"
#include "control/PrnSetup.h"
#include "platform/PrinterSystem.h"
#include "render/PageRecord.h"

namespace kavel {

class TkvlStream;
class TkvlPageList;

// Posted to the attached preview control when a page is finished.
class PageFinishedEvent : public QEvent {
  public:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 1);
    explicit PageFinishedEvent(int page) : QEvent(kType), Page(page) {}
    int Page;
};

// The first code whose name contains the given name (upper case both); -1 when none.
int PaperCodeForName(const QString& name);

class TKVPrinter {
  public:
    // screenPpi: the pixels per inch in which pages are recorded; context: the world of
    // the control whose task this is (its printers and messages).
    TKVPrinter(const TPrintOption& options, int screenPpi, std::shared_ptr<ControlContext> context);
    ~TKVPrinter();
    TKVPrinter(const TKVPrinter&) = delete;
    TKVPrinter& operator=(const TKVPrinter&) = delete;

    void BeginDoc();
    void NewPage();
    void EndDoc();
    QPainter* Canvas() { return canvas_.get(); }
    // A new copy of page n (1-based); null outside the recorded pages.
    std::unique_ptr<RecordedPage> GetPage(int n);
    // Prints pages FromPage..ToPage, manual double-sided when asked.
    void Print(bool doubleSided, const QString& hint);

    int FromPage = 1;
    int ToPage = 1;
    QPointer<QObject> Preview;  // receives PageFinishedEvent
    QString Title;              // the print job's title

    int PageCount() const { return pageCount_; }
    int State() const { return state_; }  // 0 idle, 1 recording, 2 done
    int PaperWidth() const { return paperWidth_; }
    int PaperHeight() const { return paperHeight_; }
    void SetPaperWidth(int v);
    void SetPaperHeight(int v);
    int PageWidth() const { return pageWidth_; }
    int PageHeight() const { return pageHeight_; }
    int PaperSize() const { return paperSize_; }
    int ScreenPpi() const { return screenPpi_; }
    const TPrintOption& Options() const { return options_; }
    ControlContext& Context() const { return *context_; }
    int Printer() const { return printer_; }  // the printer configured; -1 none

  private:
    void ConfigurePrinter();
    void FinishPage();
    QRectF PaperOnDevice();
    void PrintPages(PrintJob& job, int from, int to, int step, const QRectF& dest);

    TPrintOption options_;
    std::shared_ptr<ControlContext> context_;
    int screenPpi_;
    std::unique_ptr<TkvlPageList> pageList_;
    std::shared_ptr<PageFonts> fonts_;        // of the pages recorded since BeginDoc
    std::unique_ptr<PageRecorder> metafile_;  // the page being recorded
    std::unique_ptr<QPainter> canvas_;
    int pageCount_ = 0;
    int state_ = 0;
    int paperWidth_ = 0, paperHeight_ = 0;
    int pageWidth_ = 0, pageHeight_ = 0;
    int paperSize_ = 256;
    int printer_ = -1;
};

// Plays a recorded page onto a painter, stretched to the destination rectangle.
void DrawPageStretched(QPainter& painter, const RecordedPage& page, QSize pageSize,
                       const QRectF& dest);
// Saves the painter and sets it up to draw a page of pageSize stretched to dest, from the
// default drawing state.
void BeginStretchedPage(QPainter& painter, QSize pageSize, const QRectF& dest);

}  // namespace kavel
