#include "shapes/ui.h"

#include "shapes/dimension_dialog.h"
#include "shapes/preset_dialogs.h"
#include "shapes/spacing_dialog.h"

namespace shapes {

void HeadlessUi::runDialog(SpacingDialog& dialog) {
    dialogsShown.push_back(DialogId::SignDistances);
    dialog.close();
}

void HeadlessUi::runDialog(ApertureDialog& dialog) {
    dialogsShown.push_back(DialogId::ApertureWidth);
    dialog.cancel();
}

void HeadlessUi::runDialog(PresettingDialog& dialog) {
    dialogsShown.push_back(DialogId::Presetting);
    dialog.exit();
}

void HeadlessUi::runDialog(DimensionDialog& dialog) {
    dialog.activate();
    if (typedText1) dialog.text1 = *typedText1;
    if (typedText2) dialog.text2 = *typedText2;
    if (!dialog.accept()) {
        dialogRefused = true;
        dialog.cancel();
    }
}

}  // namespace shapes
