// Selecting, dragging, copying and nudging items with mouse, wheel and keys.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QWheelEvent>
#include <cstdlib>

#include "designer/BandSelection.h"
#include "designer/DesignerWindow.h"
#include "designer/PSetupFormUnit.h"
#include "ui_TPSetupForm.h"

namespace kavel {

namespace {

// A copy drag shorter than this on both axes copies nothing.
constexpr int kCopyThreshold = 5;
// What one wheel step scrolls the work area by.
constexpr int kWheelStep = 30;

Edges EdgesOf(const TModiControl* i) {
    return {i->Left(), i->Top(), i->Left() + i->Width(), i->Top() + i->Height()};
}

}  // namespace

// ---------------------------------------------------------------- selection

void TDesignerWindow::OnSelect(TModiControl* item, bool selected) {
    if (item == form_->PageObject()) return;
    if (selected && !selectList_.contains(item)) selectList_.append(item);
    if (!selected) selectList_.removeAll(item);
    MarkListLine(item, selected);
}

void TDesignerWindow::ClearSelects() {
    const QList<TModiControl*> was = selectList_;
    for (TModiControl* item : was) item->setSelected(false);
    selectList_.clear();
    blMultiSelect = false;
}

void TDesignerWindow::LetDrag(TModiControl* item) {
    // Dragging is possible only where moving is allowed.
    item->setPermitDrag(!ui_->ToolBarMove->isEnabled());
}

void TDesignerWindow::SelectItem(TModiControl* item) {
    if (!item->Selected()) item->setSelected(true);
    LetDrag(item);
}

// ---------------------------------------------------------------- mouse

void TDesignerWindow::conMouseDown(TModiControl* item, QMouseEvent* e) {
    if (item == form_->PageObject()) {
        PageMouseDown(e);
        return;
    }
    blPageFocused = false;
    DragStartPos = e->globalPosition().toPoint();
    TModiControl* page = form_->PageObject();
    if (page->Selected()) page->setSelected(false);
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    if (ctrl && Limits().Design()) {
        // The start of a copy drag: the band stands for the copy.
        item->DataObject()->setCursor(Qt::CrossCursor);
        ShowBand(item->Left(), item->Top(), item->Width(), item->Height());
    }
    if (!blMultiSelect) {
        blMultiSelect = shift || ctrl;
    } else if (!shift && !ctrl) {
        // A plain press on a selected item keeps the group, so that it can be dragged.
        if (item->Selected()) return;
        blMultiSelect = false;
    }
    if (!blMultiSelect) {
        // The pressed item keeps its selection: its handle may be the one being pressed.
        const QList<TModiControl*> was = selectList_;
        for (TModiControl* other : was) {
            if (other != item) other->setSelected(false);
        }
    }
    SelectItem(item);
    if (!item->RichEdit()) ui_->EditFocus->setFocus();
    dispControlPos(item);
    EnableLnkButton(item);
    reIndexList(item);
}

void TDesignerWindow::PageMouseDown(QMouseEvent* e) {
    blPageFocused = true;
    const QPoint at = e->position().toPoint();
    intInsertLeft = at.x();
    intInsertTop = at.y();
    ClearSelects();
    if (e->modifiers() & Qt::ControlModifier) {
        ShowBand(at.x(), at.y(), 0, 0);
        return;
    }
    band_->hide();
    TModiControl* page = form_->PageObject();
    page->setSelected(true);
    page->setPermitDrag(!(ui_->ToolBarMove->isEnabled() && !lockButton_->isChecked()));
    ui_->EditFocus->setFocus();
    dispControlPos(page);
    EnableLnkButton(page);
    reIndexList(page);
}

void TDesignerWindow::conMouseMove(TModiControl* item, QMouseEvent* e) {
    if (band_->isHidden()) return;
    if (item == form_->PageObject()) {
        if (!(e->buttons() & Qt::LeftButton)) return;
        const QPoint at = e->position().toPoint();
        ShowBand(bandLeft_, bandTop_, at.x() - bandLeft_, at.y() - bandTop_);
        return;
    }
    if ((e->modifiers() & Qt::ControlModifier) && item->Selected()) {
        const QPoint now = e->globalPosition().toPoint();
        ShowBand(item->Left() + now.x() - DragStartPos.x(),
                 item->Top() + now.y() - DragStartPos.y(), item->Width(), item->Height());
        item->DataObject()->setCursor(Qt::CrossCursor);
    } else {
        // Ctrl let go: the copy is abandoned.
        item->DataObject()->unsetCursor();
        band_->hide();
    }
}

void TDesignerWindow::conMouseUp(TModiControl* item, QMouseEvent* e) {
    TModiControl* page = form_->PageObject();
    if (item == page) {
        if (!band_->isHidden() && bandWidth_ != 0 && bandHeight_ != 0) SelectInBand();
        band_->hide();
        return;
    }
    if (!band_->isHidden()) {
        item->DataObject()->unsetCursor();
        band_->hide();
        const QPoint moved = e->globalPosition().toPoint() - DragStartPos;
        if (std::abs(moved.x()) < kCopyThreshold && std::abs(moved.y()) < kCopyThreshold) return;
        const QList<TModiControl*> sources = selectList_;
        for (TModiControl* source : sources) {
            source->setSelected(false);
            PasteOneMcontrol(source, moved.x(), moved.y());
        }
        blMultiSelect = selectList_.size() > 1;
        return;
    }
    if (page->Selected() && page != item) page->PlaceHandles();
    for (TModiControl* other : selectList_) other->PlaceHandles();
}

void TDesignerWindow::SelectInBand() {
    ClearSelects();
    const QRect r = BandRect();
    const Edges band{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    TModiControl* last = nullptr;
    for (TModiControl* item : form_->Items()) {
        if (!item->Visible() || !BandSelects(band, EdgesOf(item))) continue;
        SelectItem(item);
        last = item;
    }
    blMultiSelect = selectList_.size() > 1;
    if (last) {
        dispControlPos(last);
        EnableLnkButton(last);
    }
}

void TDesignerWindow::ShowBand(int left, int top, int width, int height) {
    bandLeft_ = left;
    bandTop_ = top;
    bandWidth_ = width;
    bandHeight_ = height;
    band_->setGeometry(BandRect());
    band_->show();
    band_->raise();
}

QRect TDesignerWindow::BandRect() const {
    // A negative width or height counts from the other edge.
    const int left = bandWidth_ < 0 ? bandLeft_ + bandWidth_ : bandLeft_;
    const int top = bandHeight_ < 0 ? bandTop_ + bandHeight_ : bandTop_;
    return QRect(left, top, std::abs(bandWidth_), std::abs(bandHeight_));
}

void TDesignerWindow::onModied(TModiControl* sender, int dLeft, int dTop, int dWidth, int dHeight) {
    auto follow = [&](TModiControl* i) {
        i->SetBounds(i->Left() + dLeft, i->Top() + dTop, i->Width() + dWidth,
                     i->Height() + dHeight);
    };
    TModiControl* page = form_->PageObject();
    if (page->Selected() && page != sender) follow(page);
    for (TModiControl* item : selectList_) {
        if (item != sender) follow(item);
    }
}

void TDesignerWindow::onBounds(TModiControl* item) {
    if (!form_->isVisible()) return;
    ButtonEnable(true);
    if (item == lastShown_) dispControlPos(item);
}

// ---------------------------------------------------------------- keys, wheel, pin, hints

bool TDesignerWindow::EditFocusKeyDown(QKeyEvent* e) {
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool alt = e->modifiers() & Qt::AltModifier;
    if (e->key() == Qt::Key_Delete && ctrl) {
        // The delete flag of setup mode holds for the key as for the menu entry.
        if (ui_->NCtrlDel->isEnabled()) NCtrlDelClick();
        return true;
    }
    const KeyStep step = ArrowKeyStep(e->key(), ctrl, alt);
    if (!step.Any()) return false;
    if (!ui_->ToolBarMove->isEnabled()) return true;
    ItemList changed = step.dx || step.dy ? MoveItems(selectList_, step.dx, step.dy)
                                          : ResizeItems(selectList_, step.dWidth, step.dHeight);
    for (TModiControl* item : changed) item->PlaceHandles();
    if (!changed.isEmpty()) dispControlPos(changed.last());
    return true;
}

bool TDesignerWindow::LockButtonEvent(QEvent* e) {
    switch (e->type()) {
        case QEvent::MouseButtonPress: {
            // Pressing the pin drags it out of the way, as a window by its title.
            auto* m = static_cast<QMouseEvent*>(e);
            pinDragging_ = m->button() == Qt::LeftButton;
            pinGrab_ = m->globalPosition().toPoint() - panelLock_->pos();
            return true;
        }
        case QEvent::MouseMove:
            if (pinDragging_) {
                panelLock_->move(static_cast<QMouseEvent*>(e)->globalPosition().toPoint() -
                                 pinGrab_);
            }
            return true;
        case QEvent::MouseButtonRelease:
            pinDragging_ = false;
            return true;
        case QEvent::MouseButtonDblClick:
            lockButton_->toggle();
            return true;
        default:
            return false;
    }
}

bool TDesignerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lockButton_) return LockButtonEvent(event);
    if (event->type() == QEvent::KeyPress &&
        (watched == ui_->EditFocus || qobject_cast<TRichEditBox*>(watched))) {
        return EditFocusKeyDown(static_cast<QKeyEvent*>(event));
    }
    if (event->type() == QEvent::Wheel && watched == form_->WorkArea()->viewport()) {
        // The wheel scrolls the work area only after a press on the page background.
        if (blPageFocused) {
            QScrollBar* bar = form_->WorkArea()->verticalScrollBar();
            const int dy = static_cast<QWheelEvent*>(event)->angleDelta().y();
            bar->setValue(bar->value() + (dy < 0 ? kWheelStep : dy > 0 ? -kWheelStep : 0));
        }
        return true;
    }
    if (event->type() == QEvent::Enter) {
        if (auto* w = qobject_cast<QWidget*>(watched); w && !w->toolTip().isEmpty()) {
            status_[2]->setText(w->toolTip());
        }
    }
    if (watched == ui_->PanelCodeTitle) return CodeTitleEvent(event);
    if (event->type() == QEvent::MouseButtonDblClick && watched == ui_->ListTopPanel) {
        RebuildList();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kavel
