// Making leaf widgets from their records.
#include "ui/WidgetFactory.h"

#include <new>

#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Image.h"
#include "ui/Progress.h"
#include "ui/Text.h"
#include "ui/TextMulti.h"
#include "ui/TiledBG.h"
#include "ui/Tuner.h"
#include "ui/WidgetMakers.h"

namespace {

XWidget* Construct(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement, int bgTilesX,
                   int bgTilesY) {
    switch (record->kind) {
        case kWidgetImage:
            return new (std::nothrow) XImage(parent, templ, record, placement);
        case kWidgetText:
            return new (std::nothrow) XText(parent, templ, record, placement);
        case kWidgetButton:
            return new (std::nothrow) XButton(parent, templ, record, placement);
        case kWidgetProgress:
            return new (std::nothrow) XProgress(parent, templ, record, placement);
        case kWidgetTiledBG:
            return new (std::nothrow) XTiledBG(parent, templ, record, placement, bgTilesX, bgTilesY);
        case kWidgetTuner:
            return new (std::nothrow) XTuner(parent, templ, record, placement);
        case kWidgetTextMulti:
            return new (std::nothrow) XTextMulti(parent, templ, record, placement);
        case kWidgetCheckBox:
            return new (std::nothrow) XCheckBox(parent, templ, record, placement);
        case kWidgetTextInfo:
            return new (std::nothrow) XTextInfo(parent, templ, record, placement);
        default:
            return nullptr;
    }
}

}  // namespace

XWidget* CreateAndInitLeafWidget(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement,
                                 int bgTilesX, int bgTilesY) {
    if (record == nullptr) return nullptr;
    return InitOrFreeWidget(Construct(parent, templ, record, placement, bgTilesX, bgTilesY));
}
