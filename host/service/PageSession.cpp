#include "PageSession.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPainter>
#include <QTimer>
#include <QWebSocket>
#include <cmath>

#include "OriginPolicy.h"
#include "control/VelloImpl1.h"
#include "designer/PSetupFormUnit.h"
#include "platform/Display.h"
#include "platform/Messages.h"
#include "platform/PageImages.h"
#include "render/PrevStringFormUnit.h"
#include "render/kvlPrintrUnit.h"

namespace kavel::service {

// The page's address: the verified origin and the path the page last reported.
class SessionHostPage : public HostPageProvider {
  public:
    explicit SessionHostPage(QString origin) : origin_(std::move(origin)) {}
    void SetPath(const QString& path) {
        if (!origin_.isEmpty()) address_ = PageAddress(origin_, path);
    }
    THostPageInfo Describe() override {
        // A local program has no page: its tasks are this machine's own.
        if (origin_.isEmpty()) return {};
        return DescribeUrl(address_.isEmpty() ? origin_ + '/' : address_);
    }

  private:
    QString origin_;
    QString address_;
};

// What the control shows in message boxes goes back to the page with the answer of the
// call that showed it. A question is asked on the desktop when there is one, and
// answered Cancel without: a web page never answers its own questions.
class CallMessages : public MessageSink {
  public:
    void ShowMessage(const QString& text) override { texts.append(Excerpt(text, 2000)); }
    bool AskQuestion(const QString& text) override {
        if (HasDisplay()) return DialogMessages().AskQuestion(text);
        texts.append(Excerpt(text, 2000) + " -> Cancel");
        return false;
    }
    void ShowInfo(const QString& text) override { texts.append(Excerpt(text, 2000)); }
    QStringList Take() { return std::exchange(texts, {}); }

    QStringList texts;
};

PageSession::PageSession(QWebSocket* socket, const QString& origin, const ControlContext& world,
                         const QString& previewBase, SessionLimits limits, QObject* parent)
    : QObject(parent),
      socket_(socket),
      origin_(origin),
      previewBase_(previewBase),
      limits_(limits),
      hostPage_(std::make_shared<SessionHostPage>(origin)),
      messages_(std::make_shared<CallMessages>()) {
    socket->setParent(this);
    auto context = std::make_shared<ControlContext>(world);
    context->messages = messages_;
    context->hostPage = hostPage_;
    control_ = std::make_unique<TKavelX>(context);
    control_->SetEventSink(this);
    connect(socket, &QWebSocket::textMessageReceived, this, &PageSession::Received);
    connect(socket, &QWebSocket::binaryMessageReceived, this,
            [this] { Close(1003, QStringLiteral("the service takes text messages only")); });
    connect(socket, &QWebSocket::disconnected, this, &PageSession::Gone);
    OnCreate();
}

PageSession::~PageSession() {
    // The page is gone: the control's last event has nobody to reach.
    if (control_) control_->SetEventSink(nullptr);
}

void PageSession::Received(const QString& text) {
    if (gone_) return;
    Parsed parsed = ParseRequest(text.toUtf8());
    if (!parsed.request) {
        Send(Failure(parsed.id, parsed.error, {}));
        return;
    }
    if (static_cast<int>(queue_.size()) >= limits_.maxQueuedCalls) {
        Close(1008, QString("more than %1 calls waiting").arg(limits_.maxQueuedCalls));
        return;
    }
    queue_.push_back(std::move(*parsed.request));
    // Calls run from the event loop, never inside another page's call that is waiting
    // for something: each call of this page runs once the previous one has returned.
    QTimer::singleShot(0, this, &PageSession::Pump);
}

void PageSession::Pump() {
    if (running_) return;
    running_ = true;
    while (!queue_.empty() && !gone_) {
        const Request request = std::move(queue_.front());
        queue_.pop_front();
        Run(request);
    }
    running_ = false;
    if (gone_) {
        emit finished();
        deleteLater();
    }
}

void PageSession::Run(const Request& request) {
    messages_->Take();
    switch (request.op) {
        case Request::Op::Hello: {
            hostPage_->SetPath(request.path);
            QJsonArray members;
            for (const MemberInfo& m : IKavelXTable()) {
                if (m.kind == InvokeKind::PropertyPut) continue;
                members.append(QJsonObject{{"name", m.name},
                                           {"dispid", m.dispid},
                                           {"property", m.kind != InvokeKind::Method}});
            }
            QJsonObject answer{{"id", request.id},
                               {"result", QJsonObject{{"members", members},
                                                      {"page", hostPage_->Describe().Url},
                                                      {"preview", previewBase_}}}};
            Send(QJsonDocument(answer).toJson(QJsonDocument::Compact));
            greeted_ = true;
            return;
        }
        case Request::Op::PreviewPrint: {
            TPrevStringForm* form = EmbeddedPreview();
            bool printed = false;
            QString error;
            try {
                printed = form && form->PrintTask(false);
            } catch (const KavelError& e) {
                error = e.Text();
            }
            if (!form) error = QStringLiteral("there is no embedded preview to print");
            if (!error.isEmpty()) {
                Send(Failure(request.id, error, messages_->Take()));
            } else {
                Send(Answer(request.id, Variant::Bool(printed), messages_->Take()));
            }
            return;
        }
        case Request::Op::Call:
            break;
    }
    Variant result;
    QString error;
    const HRESULT hr =
        control_->Invoke(request.dispid, request.kind, request.args, &result, &error);
    if (gone_) return;
    if (hr != S_OK) {
        Send(Failure(request.id,
                     error.isEmpty()
                         ? QString("call failed (0x%1)").arg(uint32_t(hr), 8, 16, QChar('0'))
                         : error,
                     messages_->Take()));
    } else {
        Send(Answer(request.id, result, messages_->Take()));
    }
    AnnouncePreview();
}

TPrevStringForm* PageSession::EmbeddedPreview() const {
    return control_ ? qobject_cast<TPrevStringForm*>(control_->EmbeddedForm()) : nullptr;
}

void PageSession::AnnouncePreview() {
    TPrevStringForm* form = EmbeddedPreview();
    const TKVPrinter* target = form ? form->Target() : nullptr;
    if (!form || !target || (form == announced_ && target == announcedTarget_)) return;
    announced_ = form;
    announcedTarget_ = target;
    ++previews_;
    TKVPrinter* pages = form->Target();
    const double mmPerTenth = 0.1;
    Send(Event(QStringLiteral("preview"), {{"pages", pages->PageCount()},
                                           {"widthMm", pages->PaperWidth() * mmPerTenth},
                                           {"heightMm", pages->PaperHeight() * mmPerTenth},
                                           {"base", previewBase_},
                                           {"serial", previews_}}));
}

QByteArray PageSession::PagePicture(int n, int width) const {
    TPrevStringForm* form = EmbeddedPreview();
    TKVPrinter* target = form ? form->Target() : nullptr;
    if (!target || n < 1 || n > target->PageCount()) return {};
    const int w96 = static_cast<int>(std::lround(target->PaperWidth() * 96 / 254.0));
    const int h96 = static_cast<int>(std::lround(target->PaperHeight() * 96 / 254.0));
    if (w96 < 1 || h96 < 1) return {};
    const int w = width > 0 ? std::min(width, 4000) : w96;
    const int h = std::max(1, static_cast<int>(std::lround(static_cast<double>(h96) * w / w96)));
    if (static_cast<qint64>(w) * h > 40'000'000) return {};
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    try {
        if (const auto page = target->GetPage(n)) {
            QPainter painter(&image);
            DrawPageStretched(painter, *page, QSize(target->PageWidth(), target->PageHeight()),
                              QRectF(0, 0, w, h));
        }
    } catch (const KavelError&) {
        return {};
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return {};
    return png;
}

void PageSession::Send(const QByteArray& message) {
    if (!socket_ || gone_ || socket_->state() != QAbstractSocket::ConnectedState) return;
    socket_->sendTextMessage(QString::fromUtf8(message));
}

void PageSession::Close(int code, const QString& reason) {
    if (socket_) socket_->close(static_cast<QWebSocketProtocol::CloseCode>(code), reason);
    Gone();
}

void PageSession::Gone() {
    if (gone_) return;
    gone_ = true;
    queue_.clear();
    // A call that is running finishes first (a print already sent to the printer is not
    // cut off); the session goes when it returns.
    if (!running_) {
        emit finished();
        deleteLater();
    }
}

// ---- Events ------------------------------------------------------------------------------

#define KAVEL_SESSION_SIMPLE_EVENT(name)    \
    HRESULT PageSession::name() {           \
        Send(Event(QStringLiteral(#name))); \
        return S_OK;                        \
    }
KAVEL_SESSION_SIMPLE_EVENT(OnActivate)
KAVEL_SESSION_SIMPLE_EVENT(OnClick)
KAVEL_SESSION_SIMPLE_EVENT(OnCreate)
KAVEL_SESSION_SIMPLE_EVENT(OnDblClick)
KAVEL_SESSION_SIMPLE_EVENT(OnDestroy)
KAVEL_SESSION_SIMPLE_EVENT(OnDeactivate)
KAVEL_SESSION_SIMPLE_EVENT(OnPaint)
#undef KAVEL_SESSION_SIMPLE_EVENT

HRESULT PageSession::OnKeyPress(I2* Key) {
    // The page cannot change the key over the connection: it is told of it only.
    Send(Event(QStringLiteral("OnKeyPress"), {{"key", Key ? *Key : 0}}));
    return S_OK;
}

}  // namespace kavel::service
