// The HTML items of a task loaded and pictured before an output, and the background
// picture made from its content; what went wrong is said once per problem.
#include <QMap>

#include "designer/PSetupFormUnit.h"
#include "html/KvlHtmlUnit.h"
#include "platform/Messages.h"

namespace kavel {

namespace {

// Item names by problem, so that a browser that cannot start is told once, not per item.
class ProblemReport {
  public:
    void Add(const QString& item, const TkvlWebForm& form) {
        if (form.Problem().isEmpty()) return;
        const QString what =
            (form.FDocument ? QStringLiteral(": ") : QStringLiteral(" prints nothing: ")) +
            form.Problem();
        QStringList& names = items_[what];
        if (!names.contains(item)) names.append(item);
    }
    void Show(MessageSink& messages) const {
        for (auto it = items_.begin(); it != items_.end(); ++it) {
            messages.ShowMessage(QStringLiteral("HTML content %1%2")
                                     .arg(it.value().join(QStringLiteral(", ")), it.key()));
        }
    }

  private:
    QMap<QString, QStringList> items_;
};

QString Quoted(const QString& name) {
    return QStringLiteral("\"%1\"").arg(name);
}

}  // namespace

void TPSetupForm::PrepareHtmlItems(bool designing) {
    ProblemReport report;
    for (TModiControl* item : items_) {
        TImageBox* picture = item->ImageBox();
        if (!picture || !IsImageKind(item->ObjectType()) || item->strContent.isEmpty()) continue;
        item->ConvertedContent.reset();
        item->blTableDone = false;
        auto form = PrepareHtmlItem(item->ObjectType(), *picture, item->Width(), designing,
                                    item->strContent, pixelsPerInch_, Context());
        report.Add(Quoted(item->strItemName), *form);
        item->ConvertedContent = std::move(form);
    }
    report.Show(Context().Messages());
}

void TPSetupForm::SetBackgroundContent(const QString& content) {
    if (content.trimmed().isEmpty()) return;
    backContent_ = content;
    TImageBox box(nullptr);
    box.resize(pageObject_->intDefWidth(), pageObject_->intDefHeight());
    const auto form = PrepareHtmlItem(cdtImage, box, 0, false, content, pixelsPerInch_, Context());
    ProblemReport report;
    report.Add(QStringLiteral("of the background picture"), *form);
    report.Show(Context().Messages());
    backImage_ = box.Picture();
}

}  // namespace kavel
