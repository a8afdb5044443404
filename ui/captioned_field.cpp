#include "ui/captioned_field.h"
#include "ui/buttons.h"

namespace {
constexpr int captionFrame = 4;
}  // namespace

eLabel* addCaption(eWidget* parent, const CaptionPlace& place, const eString& text) {
    auto* caption = new eLabel(parent);  // owned by the parent
    caption->move(place.position);
    caption->resize(eSize(place.captionWidth, skinFontSize() + captionFrame));
    caption->setText(text);
    return caption;
}

CaptionedTextField addCaptionedTextField(eWidget* parent, const CaptionPlace& place, const eString& caption,
                                         const eString& value, int maxChars) {
    CaptionedTextField row{addCaption(parent, place, caption), new eTextInputField(parent)};
    row.field->move(place.fieldPosition());
    row.field->resize(eSize(place.fieldWidth, textFieldHeight()));
    row.field->setMaxChars(maxChars);
    row.field->setText(value);
    row.field->loadDeco();
    return row;
}
