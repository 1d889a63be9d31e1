// The control object: construction, the readiness check, units, properties, events
// and the late-bound dispatch.
#include "control/VelloImpl1.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "control/RunState.h"
#include "control/SafeCall.h"
#include "control/Units.h"
#include "designer/PSetupFormUnit.h"
#include "html/CssValues.h"

namespace kavel {

TKavelX::TKavelX(std::shared_ptr<ControlContext> context, QWidget* parent)
    : QWidget(parent), context_(std::move(context)) {
    setObjectName("KavelX");
    setWindowTitle(QStringLiteral("KavelX"));
    resize(183, 129);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(12);
    setFont(font);
    setFocusPolicy(Qt::StrongFocus);
    pixelsPerInch_ = logicalDpiX() > 0 ? logicalDpiX() : 96;

    panel1_ = new QLabel(QStringLiteral("打印控件已安装好"), this);
    panel1_->setObjectName("Panel1");
    panel1_->setAlignment(Qt::AlignCenter);
    panel1_->setAutoFillBackground(true);
    panel1_->setFrameShape(QFrame::NoFrame);
    QPalette pal = panel1_->palette();
    pal.setColor(QPalette::Window, ToQColor(ButtonFaceColor()));
    panel1_->setPalette(pal);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel1_);

    // The create event: this control is the last one, and the run state starts clean.
    TRunState& run = Context().RunState();
    run.LastControl = this;
    run.strInbrowse.clear();
    run.blOutputDone = false;
    run.blPreviewInBrowse = run.blSetupInBrowse = run.blDesignInBrowse = run.blShowModal = false;
    run.intPanelColor = FromQColor(panel1_->palette().color(QPalette::Window));
}

TKavelX::~TKavelX() {
    if (sink_) sink_->OnDestroy();
    delete embeddedForm_;
    delete designForm_;
}

void TKavelX::SetPixelsPerInch(int ppi) {
    pixelsPerInch_ = ppi;
    if (designForm_) designForm_->SetPixelsPerInch(ppi);
}

int TKavelX::ScaleToScreen(int v) const {
    return kavel::ScaleToScreen(v, pixelsPerInch_);
}
int TKavelX::ScaleToScript(int v) const {
    return kavel::ScaleToScript(v, pixelsPerInch_);
}

bool TKavelX::CheckReady(bool resetAlways) {
    if (!designForm_) designForm_ = new TPSetupForm(this, context_, pixelsPerInch_);
    if (designForm_->Busy()) return false;
    if (designForm_->isVisible()) designForm_->CloseWithoutQuestions();
    if (resetAlways || Context().RunState().blOutputDone) designForm_->ResetTask();
    return true;
}

// ---- Dispatch ------------------------------------------------------------------------

DISPID TKavelX::GetIDsOfNames(const QString& name) {
    return FindDispid(name);
}

HRESULT TKavelX::Invoke(DISPID dispid, InvokeKind kind, const std::vector<Variant>& args,
                        Variant* result, QString* error) {
    return InvokeMember(*this, dispid, kind, args, result, error);
}

// ---- Properties -----------------------------------------------------------------------

HRESULT TKavelX::get_Border(TxActiveFormBorderStyle* Value) {
    *Value = border_;
    return S_OK;
}

HRESULT TKavelX::put_Border(const TxActiveFormBorderStyle& Value) {
    return SafeCall([&] {
        border_ = Value;
        switch (Value) {
            case afbSingle:
                panel1_->setFrameStyle(QFrame::Box | QFrame::Plain);
                break;
            case afbSunken:
                panel1_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                break;
            case afbRaised:
                panel1_->setFrameStyle(QFrame::Panel | QFrame::Raised);
                break;
            default:
                panel1_->setFrameStyle(QFrame::NoFrame);
        }
    });
}

HRESULT TKavelX::get_Inbrowse(VARIANT* Value) {
    *Value = Variant::Str(Context().RunState().strInbrowse);
    return S_OK;
}

HRESULT TKavelX::put_Inbrowse(const VARIANT& Value) {
    return SafeCall([&] { Context().RunState().strInbrowse = Value.ToText(); });
}

HRESULT TKavelX::get_Caption(VARIANT* Value) {
    *Value = Variant::Str(panel1_->text());
    return S_OK;
}

HRESULT TKavelX::put_Caption(const VARIANT& Value) {
    return SafeCall([&] { panel1_->setText(Value.ToText()); });
}

HRESULT TKavelX::get_Color(VARIANT* Value) {
    *Value = Variant::I4(FromQColor(panel1_->palette().color(QPalette::Window)));
    return S_OK;
}

HRESULT TKavelX::put_Color(const VARIANT& Value) {
    return SafeCall([&] {
        const TColor current = FromQColor(panel1_->palette().color(QPalette::Window));
        const TColor color = ColorValue(Value.ToText(), current);
        QPalette pal = panel1_->palette();
        pal.setColor(QPalette::Window, ToQColor(color));
        panel1_->setPalette(pal);
        Context().RunState().intPanelColor = color;
    });
}

HRESULT TKavelX::get_Version(BSTR* Value) {
    *Value = QStringLiteral("4.4.4.2");
    return S_OK;
}

HRESULT TKavelX::put_Version(const BSTR&) {
    return S_OK;
}

HRESULT TKavelX::BURL_HOST(VARIANT* Value) {
    return SafeCall([&] {
        *Value = Variant();
        const THostPageInfo info = Context().HostPageInfo();
        *Value = Variant::Str(info.Protocol + "//" + info.Host + ":" + info.Port);
    });
}

// ---- Events ---------------------------------------------------------------------------

int16_t TKavelX::FireKeyPress(int16_t key) {
    if (sink_) sink_->OnKeyPress(&key);
    return key;
}

void TKavelX::changeEvent(QEvent* event) {
    if (sink_ && event->type() == QEvent::ActivationChange) {
        isActiveWindow() ? sink_->OnActivate() : sink_->OnDeactivate();
    }
    QWidget::changeEvent(event);
}

void TKavelX::focusInEvent(QFocusEvent* event) {
    if (sink_) sink_->OnActivate();
    QWidget::focusInEvent(event);
}

void TKavelX::focusOutEvent(QFocusEvent* event) {
    if (sink_) sink_->OnDeactivate();
    QWidget::focusOutEvent(event);
}

void TKavelX::mouseReleaseEvent(QMouseEvent* event) {
    if (sink_ && rect().contains(event->position().toPoint())) sink_->OnClick();
    QWidget::mouseReleaseEvent(event);
}

void TKavelX::mouseDoubleClickEvent(QMouseEvent* event) {
    if (sink_) sink_->OnDblClick();
    QWidget::mouseDoubleClickEvent(event);
}

void TKavelX::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (!sink_ || text.size() != 1) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int16_t key = FireKeyPress(static_cast<int16_t>(text.at(0).unicode()));
    if (key == 0) return;  // the sink swallowed the key
    // The form processes the key as the sink left it.
    const QChar changed(static_cast<char16_t>(key));
    QKeyEvent processed(event->type(), changed.toUpper().unicode(), event->modifiers(),
                        QString(changed), event->isAutoRepeat(), event->count());
    processed.ignore();
    QWidget::keyPressEvent(&processed);
    if (!processed.isAccepted() && parentWidget()) {
        QCoreApplication::sendEvent(parentWidget(), &processed);
    }
    event->accept();
}

void TKavelX::paintEvent(QPaintEvent* event) {
    if (sink_) sink_->OnPaint();
    QWidget::paintEvent(event);
}

}  // namespace kavel
