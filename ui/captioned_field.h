// A form's row: a caption one line tall, and its field under it.
#pragma once
#include "host/ewidget.h"

// Where a row goes: the caption at `position`, `captionWidth` wide; the
// field `fieldBelow` pixels lower, `fieldWidth` wide.
struct CaptionPlace {
    ePoint position;
    int captionWidth;
    int fieldBelow;
    int fieldWidth;
    ePoint fieldPosition() const { return ePoint(position.x, position.y + fieldBelow); }
};

// The caption: a label of `parent` (owned by it) holding `text`, one line
// of the skin's font tall.
eLabel* addCaption(eWidget* parent, const CaptionPlace& place, const eString& text);

struct CaptionedTextField {
    eLabel* caption;
    eTextInputField* field;
};

// A caption with a text field under it, one line of the skin's font plus
// its frame tall, holding `value` and at most `maxChars` characters. Both
// owned by `parent`; the field takes no description label.
CaptionedTextField addCaptionedTextField(eWidget* parent, const CaptionPlace& place, const eString& caption,
                                         const eString& value, int maxChars);
