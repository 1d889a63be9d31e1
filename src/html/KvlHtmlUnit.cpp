#include "html/KvlHtmlUnit.h"

#include <QBuffer>
#include <QImageReader>
#include <QProgressBar>
#include <QSysInfo>
#include <QUrl>
#include <cmath>

#include "control/ModiControls.h"
#include "control/RunState.h"
#include "html/TrodeTree.h"
#include "html/WaitingUnit.h"
#include "platform/AddressPolicy.h"
#include "platform/Display.h"

namespace kavel {

namespace {

// A source picture finer than this is drawn at it: finer dots add bytes, not sharpness.
constexpr double kMaxPictureDpi = 600;

// Device pixels per CSS px for a picture of the given CSS size: at least kMinPictureDpi on
// paper and at least the control's own density, lowered to stay within kMaxPicturePixels.
double PictureScale(const QSizeF& css, int pixelsPerInch) {
    const double wanted = std::max<double>(kMinPictureDpi, pixelsPerInch) / 96.0;
    const double area = css.width() * css.height();
    if (area <= 0) return wanted;
    return std::min(wanted, std::sqrt(kMaxPicturePixels / area));
}

// The picture of a rectangle of the document, at most kMaxPicturePixels: at a lower scale
// first, and below one pixel per CSS px cut at the bottom (noted on the form).
QImage CapturePicture(TkvlWebForm& form, QRectF rect, int pixelsPerInch) {
    double scale = PictureScale(rect.size(), pixelsPerInch);
    if (scale < 1.0) {
        scale = 1.0;
        const double rows = std::floor(kMaxPicturePixels / std::ceil(rect.width()));
        rect.setHeight(std::min(rect.height(), rows));
        form.NoteProblem(QStringLiteral("the picture was cut at %1 pixels of height: a larger "
                                        "one would exceed 16,000,000 pixels")
                             .arg(rows));
    }
    const BrowserResult<QImage> shot = form.Page()->Capture(rect, scale);
    if (!shot) {
        form.NoteProblem(QStringLiteral("no picture of the page: ") + shot.error);
        return {};
    }
    return *shot.value;
}

// Where the body's content lies: the union of every box under it. (The body's own box
// fills the viewport in documents without a doctype.)
QRectF ContentRect(const LaidOutDocument& document) {
    QRectF united;
    for (NodeId id = document.Root() + 1; id < document.NodeCount(); ++id) {
        const QRectF r = document.Rect(id);
        if (!r.isEmpty()) united = united.united(r);
    }
    return united;
}

// The one <img> that makes up the whole content, if that is what the content is.
NodeId SoleImage(const LaidOutDocument& document, const QRectF& content) {
    const QList<NodeId> images = document.ElementsByTagName(document.Root(), "img");
    if (images.size() != 1) return kNoNode;
    const QRectF r = document.Rect(images.first());
    const bool covers =
        std::abs(r.left() - content.left()) < 1 && std::abs(r.top() - content.top()) < 1 &&
        std::abs(r.right() - content.right()) < 1 && std::abs(r.bottom() - content.bottom()) < 1;
    return covers ? images.first() : kNoNode;
}

// A picture whose pixels are `scale` per control pixel keeps the control's size when drawn.
QImage AtControlSize(QImage picture, double devicePerCss, int pixelsPerInch) {
    if (!picture.isNull()) picture.setDevicePixelRatio(devicePerCss * 96.0 / pixelsPerInch);
    return picture;
}

// The picture of an image element drawn from the bytes the page loaded, at the element's
// size: empty when the bytes are not there or are no picture Qt reads.
QImage ImageFromSource(BrowserPage& page, const LaidOutDocument& document, NodeId img, double scale,
                       double* devicePerCss) {
    const QString source = document.Property(img, "currentSrc").toString();
    if (source.isEmpty() || !document.Property(img, "complete").toBool()) return {};
    const BrowserResult<QByteArray> bytes = page.ResourceContent(source);
    if (!bytes) return {};
    QBuffer buffer(const_cast<QByteArray*>(&*bytes.value));
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);  // as the browser turns photos
    QImage image = reader.read();
    const QSizeF shown = document.Rect(img).size();
    if (image.isNull() || shown.isEmpty()) return {};
    // The source's own dots, within kMaxPictureDpi; a picture shown with other proportions
    // than its own is scaled to them at the page's density or its own, the finer.
    const double own = image.width() / shown.width();
    double density = std::min(own, kMaxPictureDpi / 96.0);
    if (std::abs(own - image.height() / shown.height()) > 0.01 * own) {
        density = std::max(density, scale);
    }
    const QSize wanted(std::max(1, int(std::lround(shown.width() * density))),
                       std::max(1, int(std::lround(shown.height() * density))));
    if (wanted.width() * double(wanted.height()) > kMaxPicturePixels) return {};
    if (image.size() != wanted) {
        image = image.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    *devicePerCss = density;
    return image;
}

bool ShowsProgress(TPRNDataType kind) {
    return kind == cdtUrl || kind == cdtTBUrl;
}

}  // namespace

void TkvlWebForm::NoteProblem(const QString& problem) {
    if (problem_.isEmpty()) problem_ = problem;
}

BrowserResult<QImage> SnapshotElement(BrowserPage& page, const LaidOutDocument& document,
                                      NodeId element, double scale) {
    if (document.Tag(element) == QLatin1String("img")) {
        double density = scale;
        QImage image = ImageFromSource(page, document, element, scale, &density);
        if (!image.isNull()) {
            image.setDevicePixelRatio(density / scale);
            return {image, {}};
        }
    }
    return page.Capture(document.Rect(element), scale);
}

ResourcePolicy HostPagePolicy(const THostPageInfo& host) {
    ResourcePolicy policy;
    policy.hostPageUrl = host.Url;
    const QString name = host.Host.toLower();
    policy.hostIsLocal = host.Url.isEmpty() ||
                         host.Protocol.compare("file:", Qt::CaseInsensitive) == 0 ||
                         name == QLatin1String("localhost") ||
                         (IsAddressLiteral(name) && IsPrivateAddress(name) &&
                          (name.startsWith("127.") || name == "::1" || name == "[::1]")) ||
                         name == QSysInfo::machineHostName().toLower();
    return policy;
}

std::unique_ptr<TkvlWebForm> PrepareHtmlItem(TPRNDataType kind, TImageBox& picture, int width,
                                             bool designing, const QString& content,
                                             int pixelsPerInch, const ControlContext& context) {
    pixelsPerInch = std::max(1, pixelsPerInch);
    if (width > 0) picture.resize(width, picture.height());
    if (picture.width() <= 0 && picture.parentWidget()) {
        picture.resize(picture.parentWidget()->width(), picture.height());
    }
    if (picture.height() <= 0 && picture.parentWidget()) {
        picture.resize(picture.width(), picture.parentWidget()->height());
    }
    picture.SetPicture(QImage());

    // The document is laid out in CSS px: 96 to the inch, whatever the control's density.
    const auto css = [pixelsPerInch](int px) {
        return static_cast<int>(std::lround(px * 96.0 / pixelsPerInch));
    };
    auto form =
        std::make_unique<TkvlWebForm>(css(picture.width()), css(picture.height()),
                                      HostPagePolicy(context.HostPageInfo()), context.RunState());

    TWaitingForm waiting;
    waiting.setWindowTitle(QStringLiteral("正打开页面下载数据(限时5分钟)..."));
    waiting.ProgressBar1()->setMaximum(30);
    if (ShowsProgress(kind)) waiting.ShowOnTop();
    form->FWaitingForm = &waiting;
    form->FWaitingShown = waiting.isVisible();
    const bool loaded =
        ShowsProgress(kind) ? form->LoadWebContent({}, content) : form->LoadWebContent(content, {});
    form->FWaitingShown = false;
    form->FWaitingForm = nullptr;
    if (!loaded) {
        form->ReleasePage();
        return form;
    }
    if (waiting.isVisible()) {
        waiting.setWindowTitle(QStringLiteral("下载结束,正在准备打印数据..."));
        waiting.Step();
    }

    const LaidOutDocument& document = *form->FDocument;
    if (document.Truncated()) form->NoteProblem(document.TruncationReason());
    // The designer shows documents and tables as the browser laid them out; paper gets
    // them from the trees below.
    if (kind == cdtHtml || (designing && kind != cdtImage)) {
        // Trees start at the body's corner, the HTML picture at the page's.
        const QPointF corner =
            kind == cdtHtml ? QPointF() : QPointF(form->FBodyLeft, form->FBodyTop);
        const QRectF whole(corner, QPointF(form->FContentWidth, form->FContentHeight));
        const QImage shot = CapturePicture(*form, whole, pixelsPerInch);
        const double scale = shot.isNull() ? 1 : shot.width() / whole.width();
        picture.SetPicture(AtControlSize(shot, scale, pixelsPerInch));
    }
    if (kind == cdtHtmText || kind == cdtUrl) {
        QString problem;
        const TreeSource source{document, form->Page(), pixelsPerInch, &problem};
        form->FBodyTree = BuildTrodeTree(source, "body", "body", {}, 0);
        if (!problem.isEmpty()) form->NoteProblem(problem);
    } else if (kind == cdtTable || kind == cdtTBUrl) {
        QString problem;
        const TreeSource source{document, form->Page(), pixelsPerInch, &problem};
        form->FTheadTree = BuildTrodeTree(source, "table", "thead", {}, 0);
        form->FTfootTree = BuildTrodeTree(source, "table", "tfoot", {}, 0);
        const int head = form->FTheadTree ? form->FTheadTree->ContentBottom : 0;
        form->FBodyTree = BuildTrodeTree(source, "table", "table", "thead", head);
        if (!problem.isEmpty()) form->NoteProblem(problem);
    } else if (kind == cdtImage) {
        const QRectF content = ContentRect(document);
        if (!content.isEmpty()) {
            const NodeId img = SoleImage(document, content);
            const double scale = PictureScale(content.size(), pixelsPerInch);
            double density = scale;
            QImage image = img == kNoNode
                               ? QImage()
                               : ImageFromSource(*form->Page(), document, img, scale, &density);
            if (image.isNull()) {
                image = CapturePicture(*form, content, pixelsPerInch);
                density = image.isNull() ? 1 : image.width() / content.width();
            }
            picture.SetPicture(AtControlSize(image, density, pixelsPerInch));
        }
    }
    form->ReleasePage();
    return form;
}

}  // namespace kavel
