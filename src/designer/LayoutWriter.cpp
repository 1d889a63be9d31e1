// Storing the layout adjustments of the designer for the task: every changed item writes
// its section, other sections and lines of the file stay as they are.
#include "control/Units.h"
#include "designer/PSetupFormUnit.h"
#include "platform/SettingsStore.h"

namespace kavel {

namespace {

class SectionWriter {
  public:
    SectionWriter(SettingsStore& store, const QString& section)
        : store_(store), section_(section) {}
    void Put(const char* key, const QString& value) {
        ok_ = store_.Write(section_, QString::fromLatin1(key), value) && ok_;
    }
    void Put(const char* key, int64_t value) { Put(key, QString::number(value)); }
    bool Ok() const { return ok_; }

  private:
    SettingsStore& store_;
    QString section_;
    bool ok_ = true;
};

void WriteBounds(SectionWriter& w, const TModiControl* item, int ppi) {
    w.Put("PRNTOP", ScaleToScript(item->Top(), ppi));
    w.Put("PRNLEFT", ScaleToScript(item->Left(), ppi));
    w.Put("PRNWIDTH", ScaleToScript(item->Width(), ppi));
    w.Put("PRNHEIGHT", ScaleToScript(item->Height(), ppi));
}

// The colour as the stored layouts keep it: a signed 32-bit number.
int64_t StoredColor(TColor c) {
    return static_cast<int32_t>(static_cast<uint32_t>(c));
}

}  // namespace

bool TPSetupForm::WritePostionValue() {
    if (!prnSetup_.IniFile) return false;
    SettingsStore& store = *prnSetup_.IniFile;
    const int ppi = pixelsPerInch_;
    bool ok = true;
    for (TModiControl* item : items_) {
        if (!item->blModified) continue;
        SectionWriter w(store, item->strItemName);
        WriteBounds(w, item, ppi);
        w.Put("PRNPageType", item->ptPageType);
        w.Put("PRNHorzOrnt", item->hnHorzOrnt);
        w.Put("PRNVertOrnt", item->hnVertOrnt);
        w.Put("PRNAngle", item->intAngle());
        w.Put("PRNINVISIBLE", item->Visible() ? 0 : 1);
        if (const TTextContent* e = item->RichEdit()) {
            w.Put("PRNFONTSIZE", e->FontSize());
            w.Put("PRNFONTNAME", e->FontName());
            w.Put("PRNFONTCOLOR", StoredColor(e->FontColor()));
            w.Put("PRNBOLD", (e->FontStyle() & fsBold) ? 1 : 0);
            w.Put("PRNITALIC", (e->FontStyle() & fsItalic) ? 1 : 0);
            w.Put("PRNUNDERLINE", (e->FontStyle() & fsUnderline) ? 1 : 0);
            w.Put("PRNALIGNMENT", e->TextAlignment());
        } else if (const TPRNShape* s = item->Shape()) {
            w.Put("PRNPENCOLOR", StoredColor(s->Pen().color));
            w.Put("PRNPENWIDTH", s->Pen().width);
            w.Put("PRNPENSTYPLE", s->PenStyle());
            w.Put("PRNSHAPETYPE", s->ShapeType());
        } else if (item->ObjectType() == cdtImage) {
            w.Put("PRNStretch", item->hnImgMode());
        }
        // An item whose values did not reach the file stays modified, so that the next
        // apply tries it again.
        if (w.Ok()) item->blModified = false;
        ok = ok && w.Ok();
    }
    TModiControl* page = pageObject_;
    if (page->blModified) {
        SectionWriter w(store, page->strItemName);
        WriteBounds(w, page, ppi);
        if (w.Ok()) page->blModified = false;
        ok = ok && w.Ok();
    }
    return ok;
}

}  // namespace kavel
