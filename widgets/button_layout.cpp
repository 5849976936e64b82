#include "widgets/button_layout.h"

#include <algorithm>

namespace {

// The positions along the layout direction: the glyph's and the text's start.
void Along(int room, int glyph, int text, bool glyphFirst, int margin, int spacing, int& glyphPos, int& textPos) {
    const bool both = glyph > 0 && text > 0;
    if (!both) spacing = 0;
    if (margin == -1) {
        if (spacing == -1) {
            const int parts = both ? 3 : 2;
            spacing = (room - glyph - text) / parts;
            margin = spacing;
        } else {
            margin = (room - glyph - text - spacing) / 2;
        }
    } else if (spacing == -1) {
        spacing = std::max(room - margin * 2 - glyph - text, 0);
    }
    if (!both) spacing = 0;
    if (glyphFirst) {
        glyphPos = margin;
        textPos = margin + glyph + spacing;
    } else {
        glyphPos = room - margin - glyph;
        textPos = glyphPos - spacing - text;
    }
}

}  // namespace

TButtonContent LayoutButtonContent(int width, int height, int glyphWidth, int glyphHeight, int textWidth,
                                   int textHeight, int layout, int margin, int spacing) {
    TButtonContent content;
    const bool horizontal = layout == 0 || layout == 1;
    const bool glyphFirst = layout == 0 || layout == 2;
    int glyphPos = 0, textPos = 0;
    if (horizontal) {
        Along(width, glyphWidth, textWidth, glyphFirst, margin, spacing, glyphPos, textPos);
        content.GlyphX = glyphPos;
        content.GlyphY = (height - glyphHeight) / 2;
        content.Text = {textPos, (height - textHeight) / 2, textPos + textWidth, (height - textHeight) / 2 + textHeight};
    } else {
        Along(height, glyphHeight, textHeight, glyphFirst, margin, spacing, glyphPos, textPos);
        content.GlyphX = (width - glyphWidth) / 2;
        content.GlyphY = glyphPos;
        content.Text = {(width - textWidth) / 2, textPos, (width - textWidth) / 2 + textWidth, textPos + textHeight};
    }
    return content;
}
