#pragma once
// The game's check box: the framework's, under the game's name, for screens to derive from.

#include "ui/CheckBox.h"

class XGameCheckBox : public XCheckBox {
public:
    using XCheckBox::XCheckBox;
};
