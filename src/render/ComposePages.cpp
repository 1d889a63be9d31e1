// Page composition: the task's items laid out page after page into a new page target.
#include <QLabel>
#include <QStatusBar>
#include <algorithm>
#include <set>
#include <vector>

#include "control/PrintChoice.h"
#include "platform/PrinterSystem.h"
#include "platform/Variant.h"
#include "render/ComposeTask.h"
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

// The items a page can reach, in list order: a body item waits for the first page that
// reaches it (asking it earlier changes nothing) and leaves when it is finished, so that a
// long task costs each page only its own items. Fixed items and items with a page rule
// are on every page.
class ItemsByPage {
  public:
    ItemsByPage(const QList<QPointer<TModiControl>>& items, int pageHeight) : items_(items) {
        for (int i = 0; i < items.size(); ++i) {
            const TModiControl* item = items[i];
            if (!item) continue;
            if (IsFixedPageType(item->ptPageType) || !item->strPageIndex.trimmed().isEmpty()) {
                always_.push_back(i);
            } else {
                // A hidden item is finished, undrawn, on the first page.
                waiting_.emplace_back(item->Visible() ? FirstPageOf(*item, pageHeight) : 1, i);
            }
        }
        std::sort(waiting_.begin(), waiting_.end());
    }

    // The items of a page, in list order (pages are asked in order).
    const std::vector<int>& On(int page) {
        for (; next_ < waiting_.size() && waiting_[next_].first <= page; ++next_) {
            active_.insert(waiting_[next_].second);
        }
        for (auto i = active_.begin(); i != active_.end();) {
            const TModiControl* item = items_[*i];
            i = item && !item->blPrintDone ? std::next(i) : active_.erase(i);
        }
        page_.clear();
        std::merge(always_.begin(), always_.end(), active_.begin(), active_.end(),
                   std::back_inserter(page_));
        return page_;
    }

  private:
    const QList<QPointer<TModiControl>>& items_;
    std::vector<int> always_;
    std::vector<std::pair<int, int>> waiting_;  // first page, list index
    size_t next_ = 0;
    std::set<int> active_;
    std::vector<int> page_;
};

void ResetProgress(const QList<QPointer<TModiControl>>& items) {
    for (const auto& item : items) {
        if (!item) continue;
        item->blPrintDone = false;
        item->intPrintProgress = 0;
    }
}

}  // namespace

ComposeOutcome ComposeTask(const TaskPages& task, TKVPrinter& target, bool forPrinter) {
    const QList<QPointer<TModiControl>>& items = *task.items;
    const TprnSetup& setup = *task.setup;
    ComposeOutcome outcome;
    try {
        target.Title = setup.strTaskName;
        target.BeginDoc();
        const int W = target.PageWidth(), H = target.PageHeight();
        const int ppi = target.ScreenPpi();

        int bodies = 0;
        for (const auto& item : items) {
            if (!item) continue;
            PlaceItem(*item, *task.pageObject, W, H);
            if (!IsFixedPageType(item->ptPageType)) ++bodies;
        }
        ResetProgress(items);

        int total = 0;
        if (NeedsTotal(items)) {
            int pages = 0, done = 0;
            ItemsByPage counted(items, H);
            while (done < bodies) {
                if (++pages > kMaxCountedPages) break;
                for (const int i : counted.On(pages)) {
                    TModiControl* item = items[i];
                    if (!item || IsFixedPageType(item->ptPageType) || item->blPrintDone) continue;
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
            ResetProgress(items);
        }

        const QImage& background = task.background ? *task.background : QImage();
        int done = 0;
        ItemsByPage drawn(items, H);
        for (int page = 1; done < bodies && page <= kMaxPages; ++page) {
            target.NewPage();
            QPainter* canvas = target.Canvas();
            if (!forPrinter && !background.isNull() &&
                (setup.intBkImgMode == 1 || (setup.intBkImgMode == 2 && page == 1))) {
                canvas->drawImage(QRect(QPoint(0, 0), ControlSize(background)), background);
            }
            for (const int i : drawn.On(page)) {
                TModiControl* item = items[i];
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
        outcome.truncated = done < bodies;
        target.EndDoc();
        outcome.composed = true;
    } catch (const KavelError& e) {
        outcome.error = e.Text();
    } catch (const std::exception& e) {
        outcome.error = QString::fromUtf8(e.what());
    }
    return outcome;
}

bool TPrevStringForm::ComposePages(bool forPrinter) {
    SetBusy(true);
    StatusPanel(0)->setText(QStringLiteral("状态提示：正在处理数据......"));
    StatusBarPW()->repaint();
    ComposeOutcome outcome;
    try {
        if (!forPrinter) setPreviewZoom();
        if (Context().Printers().Count() > 0 && pageObject_) {
            auto owned = std::make_unique<TKVPrinter>(PrintOptionOf(*context_, prnSetup_),
                                                      pixelsPerInch_, context_);
            TKVPrinter* target = owned.get();
            preview_->SetSource(std::move(owned));
            const TaskPages task{pageObject_, &items_, &prnSetup_, &background_};
            outcome = ComposeTask(task, *target, forPrinter);
            if (outcome.composed) RefreshStatus();
        }
    } catch (const KavelError& e) {
        outcome.error = e.Text();
    } catch (const std::exception& e) {
        outcome.error = QString::fromUtf8(e.what());
    }
    composeError_ = outcome.error;
    truncated_ = outcome.truncated;
    StatusPanel(0)->setText(QStringLiteral("状态提示："));
    StatusBarPW()->repaint();
    SetBusy(false);
    return outcome.composed;
}

}  // namespace kavel
