// The control: the form that a page embeds and whose automation members page script
// calls. Every member is a thin front over the designer form that holds the task.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "control/ControlContext.h"
#include "control/ItemTypes.h"
#include "control/Kavel_TLB.h"

namespace kavel {

class TPSetupForm;

class TKavelX : public QWidget, public IKavelX {
    Q_OBJECT
  public:
    // context: the world of the page that embeds the control (shared with the page's
    // other controls).
    explicit TKavelX(std::shared_ptr<ControlContext> context, QWidget* parent = nullptr);
    ~TKavelX() override;

    ControlContext& Context() const { return *context_; }

    // Pixels per inch of the control form (the screen's unless set).
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int ppi);
    int ScaleToScreen(int v) const;
    int ScaleToScript(int v) const;

    // The readiness check in front of the members: false when busy.
    bool CheckReady(bool resetAlways);
    TPSetupForm* DesignForm() const { return designForm_; }
    QLabel* Panel1() const { return panel1_; }
    QWidget* EmbeddedForm() const { return embeddedForm_; }

    // The container's event sink; null disconnects.
    void SetEventSink(IKavelXEvents* sink) { sink_ = sink; }
    // Runs the key-press event through the sink; answers the key the form then processes.
    int16_t FireKeyPress(int16_t key);

    // IKavelDispatch
    DISPID GetIDsOfNames(const QString& name) override;
    HRESULT Invoke(DISPID dispid, InvokeKind kind, const std::vector<Variant>& args,
                   Variant* result, QString* error = nullptr) override;

#define KAVEL_OVERRIDE_METHOD(name, dispid, params) HRESULT name params override;
#define KAVEL_OVERRIDE_PROPERTY(name, dispid, type) \
    HRESULT get_##name(type* Value) override;       \
    HRESULT put_##name(const type& Value) override;
    KAVEL_IKAVELX_MEMBERS(KAVEL_OVERRIDE_METHOD, KAVEL_OVERRIDE_PROPERTY)
#undef KAVEL_OVERRIDE_METHOD
#undef KAVEL_OVERRIDE_PROPERTY

  protected:
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void ShowPreview();
    void ShowDesigner(bool inBrowse);
    void EmbedForm(QWidget* form);
    void ReleaseEmbedded();
    // Add a shape or a content item through the designer form, the box given in script
    // pixels; `member` names the front in messages about values out of range.
    void AddShapeItem(const char* member, int shapeType, int top, int left, int width, int height,
                      int penStyle, int penWidth, const Variant& color);
    void AddContentItem(const char* member, const QString& name, TPRNDataType kind, int top,
                        int left, int width, int height, const QString& content);
    bool OutputPrint(int mode, bool skipAdjustments);
    void OutputPreview(bool skipAdjustments);

    std::shared_ptr<ControlContext> context_;
    QLabel* panel1_ = nullptr;
    IKavelXEvents* sink_ = nullptr;
    QPointer<TPSetupForm> designForm_;
    QPointer<QWidget> embeddedForm_;
    int pixelsPerInch_ = 96;
    TxActiveFormBorderStyle border_ = afbNone;
};

}  // namespace kavel
