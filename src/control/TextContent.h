// What a text item holds and how it breaks into lines: text, font, colour, alignment and
// the width it is laid out at. A plain object, so that a task of many thousand text items
// prints without building an edit control for each; the designer's edit shows it.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <optional>
#include <vector>

#include "control/ItemTypes.h"
#include "platform/Color.h"

namespace kavel {

class TTextContent {
  public:
    // The lines as the item breaks them at its width: every visual line of every paragraph,
    // in order, without line-end characters.
    QStringList Lines() const;
    // The same lines without copying them: their number, and line i as a view into the
    // text (valid until the text changes).
    int LineCount() const;
    QStringView Line(int i) const;

    // The font applied to the whole text (name, point size, style) and its colour.
    void SetTextFont(const QString& name, int pointSize, TFontStyles style, TColor color);
    QString FontName() const { return fontName_; }
    int FontSize() const { return fontSize_; }
    TFontStyles FontStyle() const { return fontStyle_; }
    TColor FontColor() const { return fontColor_; }
    // The font as drawn: the point size in pixels at the item's pixel density.
    QFont TextFont() const;
    // The pixel density the item is drawn at: font sizes in points become pixels with it.
    void SetPixelsPerInch(int ppi);
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetTextAlignment(TAlignment a);
    TAlignment TextAlignment() const { return alignment_; }
    // Replaces the text, keeping font and alignment. Line ends of any platform ("\r\n",
    // "\r", "\n") each end one paragraph.
    void SetText(const QString& text);
    QString Text() const { return text_; }
    // The width lines are broken at: the item's own.
    void SetWidth(int width);
    int Width() const { return width_; }

    // How the designer's edit shows it: a background (unset: the system's window colour;
    // the designer marks fixed items silver) and whether typing is allowed.
    void SetBackColor(TColor c);
    void ResetBackColor();
    std::optional<TColor> BackColor() const { return backColor_; }
    void SetReadOnly(bool on);
    bool ReadOnly() const { return readOnly_; }

    // Called after every change, by the edit that shows the content.
    std::function<void()> OnChanged;

  private:
    struct LinesKey {
        int revision;
        int width;
        bool operator==(const LinesKey&) const = default;
    };
    struct Span {
        qsizetype start;
        qsizetype length;
    };
    // Characters laid out at once when a long paragraph is broken.
    static constexpr qsizetype kLayoutPiece = 4096;
    const std::vector<Span>& Spans() const;
    std::vector<Span> LayOutLines() const;
    void BreakParagraph(qsizetype start, qsizetype end, const QFont& font, qreal width,
                        std::vector<Span>& spans) const;
    void Changed(bool lines = true);

    QString text_;
    int revision_ = 0;
    mutable std::optional<LinesKey> linesKey_;
    mutable std::vector<Span> spans_;
    QString fontName_ = QStringLiteral("宋体");
    int fontSize_ = 9;
    TFontStyles fontStyle_ = 0;
    TColor fontColor_ = clBlack;
    TAlignment alignment_ = taLeftJustify;
    int pixelsPerInch_ = 96;
    int width_ = 0;
    std::optional<TColor> backColor_;
    bool readOnly_ = false;
};

}  // namespace kavel
