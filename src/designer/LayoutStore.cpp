// The task preparation before every output, and the layout adjustments that the
// designer stored for a task.
#include <optional>

#include "control/Units.h"
#include "designer/PSetupFormUnit.h"
#include "platform/SettingsStore.h"

namespace kavel {

namespace {

// One section of the task's store; a value that is no integer reads as absent.
class StoredSection {
  public:
    StoredSection(const IniIndex* values, const QString& section)
        : values_(values), section_(section) {}
    QString Text(const char* key) const {
        return values_ ? values_->Value(section_, QString::fromLatin1(key)).value_or(QString())
                       : QString();
    }
    std::optional<int> Int(const char* key) const {
        bool ok = false;
        const int v = Text(key).trimmed().toInt(&ok);
        return ok ? std::optional<int>(v) : std::nullopt;
    }
    // A value outside the range script may give reads as absent too: a stored layout
    // cannot place an item where script could not.
    std::optional<int> IntIn(const char* key, int min, int max) const {
        const auto v = Int(key);
        return v && *v >= min && *v <= max ? v : std::nullopt;
    }
    std::optional<int> Coordinate(const char* key) const {
        return IntIn(key, -kMaxScriptCoordinate, kMaxScriptCoordinate);
    }

  private:
    const IniIndex* values_;
    QString section_;
};

template <class Enum>
void SetCode(std::optional<int> v, int max, Enum& field) {
    if (v && *v >= 0 && *v <= max) field = static_cast<Enum>(*v);
}

}  // namespace

void TPSetupForm::PrepareTask(int runMode, bool skipAdjustments, bool withContent) {
    TprnSetup& s = prnSetup_;
    s.intRunMode = static_cast<uint8_t>(runMode);
    const bool design = runMode == 2;
    if (design && s.strTaskName.isEmpty()) s.strTaskName = QStringLiteral("NoPrintTaskName");
    s.strIniFileName = GetSettingsFileName(design, s.strTaskName);
    if (design) DeleteSettingsFile(s.strIniFileName);
    setWindowTitle(design ? QStringLiteral("打印设计") : QStringLiteral("打印维护"));
    s.IniFile = std::make_shared<SettingsStore>(s.strIniFileName);

    TModiControl* page = pageObject_;
    page->SetBounds(page->intDefLeft(), page->intDefTop(), page->intDefWidth(),
                    page->intDefHeight());
    page->blModified = false;
    for (TModiControl* item : items_) {
        item->RestoreToScript(design);
        item->blModified = false;
    }
    if (!skipAdjustments && !s.strTaskName.trimmed().isEmpty()) ReadPostionValue(true);
    if (withContent) PrepareHtmlItems(runMode != 0);
}

void TPSetupForm::ReadPostionValue(bool all) {
    // One look at the file for the whole layout: its values as they are now.
    const std::shared_ptr<const IniIndex> snapshot =
        prnSetup_.IniFile ? prnSetup_.IniFile->Snapshot() : nullptr;
    const IniIndex* store = snapshot.get();
    const int ppi = pixelsPerInch_;
    auto screen = [ppi](int v) { return ScaleToScreen(v, ppi); };

    TModiControl* page = pageObject_;
    if (all || page->blModified) {
        const StoredSection stored(store, page->strItemName);
        if (const auto top = stored.Coordinate("PRNTOP")) {
            page->SetTop(screen(*top));
            if (const auto v = stored.Coordinate("PRNLEFT")) page->SetLeft(screen(*v));
            if (const auto v = stored.Coordinate("PRNWIDTH")) page->SetWidth(screen(*v));
            if (const auto v = stored.Coordinate("PRNHEIGHT")) page->SetHeight(screen(*v));
        } else if (page->blModified) {
            page->SetBounds(page->intDefLeft(), page->intDefTop(), page->intDefWidth(),
                            page->intDefHeight());
        }
        page->blModified = false;
    }

    for (TModiControl* item : items_) {
        // Changed in the designer since the last save; reading the values below marks the
        // item again, which must not count.
        const bool changed = item->blModified;
        if (!all && !changed) continue;
        const StoredSection stored(store, item->strItemName);
        const auto top = stored.Coordinate("PRNTOP");
        if (top) item->SetTop(screen(*top));
        if (const auto v = stored.Coordinate("PRNLEFT")) item->SetLeft(screen(*v));
        if (const auto v = stored.Coordinate("PRNWIDTH")) item->SetWidth(screen(*v));
        if (const auto v = stored.Coordinate("PRNHEIGHT")) item->SetHeight(screen(*v));
        SetCode(stored.Int("PRNPageType"), cptMulPage, item->ptPageType);
        SetCode(stored.Int("PRNHorzOrnt"), chnClient, item->hnHorzOrnt);
        SetCode(stored.Int("PRNVertOrnt"), cvnClient, item->hnVertOrnt);
        if (const auto v = stored.Int("PRNAngle")) item->setIntAngle(*v);
        const QString invisible = stored.Text("PRNINVISIBLE");
        if (!invisible.isEmpty()) item->setVisible(invisible.trimmed() != "1");

        if (TTextContent* edit = item->RichEdit()) {
            int size = edit->FontSize();
            QString name = edit->FontName();
            TColor color = edit->FontColor();
            TFontStyles style = edit->FontStyle();
            if (const auto v = stored.IntIn("PRNFONTSIZE", -kMaxFontSize, kMaxFontSize)) size = *v;
            if (const QString v = stored.Text("PRNFONTNAME"); !v.isEmpty()) name = v;
            if (const auto v = stored.Int("PRNFONTCOLOR")) color = *v;
            const std::pair<const char*, TFontStyles> bits[] = {
                {"PRNBOLD", fsBold}, {"PRNITALIC", fsItalic}, {"PRNUNDERLINE", fsUnderline}};
            for (const auto& [key, bit] : bits) {
                const QString v = stored.Text(key).trimmed();
                if (v == "1") style |= bit;
                if (v == "0") style &= ~bit;
            }
            edit->SetTextFont(name, size, style, color);
            if (const auto v = stored.Int("PRNALIGNMENT"); v && *v >= 0 && *v <= 2) {
                edit->SetTextAlignment(static_cast<TAlignment>(*v));
            }
            edit->SetText(edit->Text());
        } else if (TPRNShape* shape = item->Shape()) {
            if (const auto v = stored.Int("PRNPENCOLOR")) shape->SetPenColor(*v);
            if (const auto v = stored.IntIn("PRNPENWIDTH", 0, kMaxPenWidth)) shape->SetPenWidth(*v);
            if (const auto v = stored.Int("PRNPENSTYPLE")) shape->SetPenStyle(*v);
            if (const auto v = stored.Int("PRNSHAPETYPE"); v && *v >= 0 && *v <= cstSolidEllipse) {
                shape->SetShapeType(static_cast<TPRNShapeType>(*v));
            }
        } else if (item->ObjectType() == cdtImage) {
            if (const auto v = stored.Int("PRNStretch"); v && *v >= 0 && *v <= cstProport) {
                item->setHnImgMode(static_cast<TPRNImgMode>(*v));
            }
        }
        if (changed && !top) item->RestoreToScript(prnSetup_.intRunMode == 2);
        emit item->markHeadFoot(item);
        item->blModified = false;
    }
}

}  // namespace kavel
