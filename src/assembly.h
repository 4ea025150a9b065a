// Assembling the whole window: the form with its control centre and viewer,
// then every setup panel.
#pragma once

#include "mainwindow.h"

#include <memory>

namespace vorn {

// The window with all its panels. With `load`, Form_Load has run.
std::unique_ptr<Vorn> makeVornwick(UiSeam& ui, bool load = true);

} // namespace vorn
