// Page composition: the task's items laid out page after page into a new page target.
#include <QLabel>
#include <QStatusBar>

#include "control/PrintChoice.h"
#include "platform/PrinterSystem.h"
#include "platform/Variant.h"
#include "render/DrawPrintCanvasUnit.h"
#include "render/PrevStringFormUnit.h"
#include "render/kvlPreviewUnit.h"
#include "render/kvlPrintrUnit.h"

namespace kavel {

namespace {

constexpr int kMaxPages = 2000;
constexpr int kMaxCountedPages = 5000;

bool NeedsTotal(const QList<QPointer<TModiControl>>& items) {
    for (const auto& item : items) {
        if (!item) continue;
        if (item->ptPageType == cptPageCount) return true;
        if (item->ptPageType == cptPageNo && item->RichEdit() &&
            item->RichEdit()->Text().contains('&')) {
            return true;
        }
        if (item->strPageIndex == "last") return true;
    }
    return false;
}

void ResetProgress(const QList<QPointer<TModiControl>>& items) {
    for (const auto& item : items) {
        if (!item) continue;
        item->blPrintDone = false;
        item->intPrintProgress = 0;
    }
}

}  // namespace

bool TPrevStringForm::ComposePages(bool forPrinter) {
    SetBusy(true);
    StatusPanel(0)->setText(QStringLiteral("状态提示：正在处理数据......"));
    StatusBarPW()->repaint();
    bool composed = false;
    composeError_.clear();
    truncated_ = false;
    try {
        if (!forPrinter) setPreviewZoom();
        if (Context().Printers().Count() > 0 && pageObject_) {
            const int ppi = pixelsPerInch_;
            auto owned =
                std::make_unique<TKVPrinter>(PrintOptionOf(*context_, prnSetup_), ppi, context_);
            TKVPrinter* target = owned.get();
            preview_->SetSource(std::move(owned));
            target->Title = prnSetup_.strTaskName;
            target->BeginDoc();
            const int W = target->PageWidth(), H = target->PageHeight();

            int bodies = 0;
            for (const auto& item : items_) {
                if (!item) continue;
                PlaceItem(*item, *pageObject_, W, H);
                if (!IsFixedPageType(item->ptPageType)) ++bodies;
            }
            ResetProgress(items_);

            int total = 0;
            if (NeedsTotal(items_)) {
                int pages = 0, done = 0;
                while (done < bodies) {
                    if (++pages > kMaxCountedPages) break;
                    for (const auto& item : items_) {
                        if (!item || IsFixedPageType(item->ptPageType) || item->blPrintDone)
                            continue;
                        item->blPrintDone = true;
                        ++done;
                        const DrawContext measure{nullptr, pages, H, pages, false, ppi};
                        if (item->Visible() && !DrawItem(*item, measure)) {
                            item->blPrintDone = false;
                            --done;
                        }
                    }
                }
                total = pages;
                ResetProgress(items_);
            }

            int done = 0;
            for (int page = 1; done < bodies && page <= kMaxPages; ++page) {
                target->NewPage();
                QPainter* canvas = target->Canvas();
                if (!forPrinter && !background_.isNull() &&
                    (prnSetup_.intBkImgMode == 1 || (prnSetup_.intBkImgMode == 2 && page == 1))) {
                    canvas->drawImage(QRect(QPoint(0, 0), ControlSize(background_)), background_);
                }
                for (const auto& item : items_) {
                    if (!item) continue;
                    int r = PageIndexMatch(item->strPageIndex, total, page);
                    if (forPrinter && item->blPreviewOnly) r = 2;
                    const bool body = !IsFixedPageType(item->ptPageType);
                    if (body && !item->blPrintDone) {
                        item->blPrintDone = true;
                        ++done;
                        if (item->Visible()) {
                            const DrawContext ctx{canvas, page, H, total, r != 2, ppi};
                            if (!DrawItem(*item, ctx)) {
                                item->blPrintDone = false;
                                --done;
                            }
                        }
                    } else if (!body || r == 1) {
                        item->intPrintProgress = 0;
                        if (item->Visible() && r != 2) {
                            DrawItem(*item, DrawContext{canvas, page, H, total, true, ppi});
                        }
                    }
                }
            }
            truncated_ = done < bodies;
            target->EndDoc();
            RefreshStatus();
            composed = true;
        }
    } catch (const KavelError& e) {
        composeError_ = e.Text();
    } catch (const std::exception& e) {
        composeError_ = QString::fromUtf8(e.what());
    }
    StatusPanel(0)->setText(QStringLiteral("状态提示："));
    StatusBarPW()->repaint();
    SetBusy(false);
    return composed;
}

}  // namespace kavel
