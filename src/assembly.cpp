#include "assembly.h"

#include "botsetuppanel.h"
#include "commandlinepanel.h"
#include "mapsetuppanel.h"
#include "servercfgpanel.h"

namespace vorn {

std::unique_ptr<Vorn> makeVornwick(UiSeam& ui, bool load) {
    auto window = std::make_unique<Vorn>(ui);
    // The panels belong to the window, which removes them before its
    // controls (see ~Vorn).
    for (QObject* panel : {static_cast<QObject*>(new CommandLinePanel(*window)),
                           static_cast<QObject*>(new ServerCfgPanel(*window)),
                           static_cast<QObject*>(new MapSetupPanel(*window)),
                           static_cast<QObject*>(new BotSetupPanel(*window))})
        panel->setProperty(kPanelProperty, true);
    window->polishAccessibility();
    if (load)
        window->Form_Load();
    return window;
}

} // namespace vorn
