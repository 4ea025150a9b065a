#include "vornwick.h"

#include "botsetuppanel.h"
#include "commandlinepanel.h"
#include "mapsetuppanel.h"
#include "servercfgpanel.h"

namespace vorn {

std::unique_ptr<Vorn> makeVornwick(UiSeam& ui, bool load) {
    auto window = std::make_unique<Vorn>(ui);
    // The panels belong to their frames, which belong to the window.
    new CommandLinePanel(*window);
    new ServerCfgPanel(*window);
    new MapSetupPanel(*window);
    new BotSetupPanel(*window);
    window->polishAccessibility();
    if (load)
        window->Form_Load();
    return window;
}

} // namespace vorn
