#include "assembly.h"

#include "botsetuppanel.h"
#include "commandlinepanel.h"
#include "mapsetuppanel.h"
#include "servercfgpanel.h"

namespace vorn {

std::unique_ptr<Vorn> makeVornwick(UiSeam& ui, bool load) {
    auto window = std::make_unique<Vorn>(ui);
    Vorn& w = *window;
    // The panels in the order of the steps: the window resets them and
    // tells them the chosen mod in this order.
    auto* commandLine = new CommandLinePanel(w);
    auto* serverCfg = new ServerCfgPanel(w);
    auto* maps = new MapSetupPanel(w);
    auto* bots = new BotSetupPanel(w);
    for (SetupPanel* panel : std::initializer_list<SetupPanel*>{commandLine, serverCfg, maps, bots})
        w.addPanel(panel);

    // What one part asks of another's controls.
    w.ask.dedicated = [commandLine] { return commandLine->isDedicated(); };
    w.ask.maxPlayers = [commandLine] { return commandLine->maxPlayersText(); };
    w.ask.firstMap = [commandLine] { return commandLine->firstMap(); };
    w.ask.hostName = [serverCfg] { return serverCfg->hostName(); };

    // What one panel tells another.
    QObject::connect(commandLine, &CommandLinePanel::maxBotsCaptionChanged, bots,
                     &BotSetupPanel::showMaxBotsCaption);
    QObject::connect(maps, &MapSetupPanel::rosterMapsOffered, bots,
                     &BotSetupPanel::offerRosterMaps);

    w.polishAccessibility();
    if (load)
        w.Form_Load();
    return window;
}

} // namespace vorn
