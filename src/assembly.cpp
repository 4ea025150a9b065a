#include "assembly.h"

#include "botsetuppanel.h"
#include "commandlinepanel.h"
#include "mapsetuppanel.h"
#include "motdpanel.h"
#include "servercfgpanel.h"

namespace vorn {

namespace {

bool withAddOn(const ModFacts& facts) {
    return facts.addOn;
}

// The row of setup steps, in the order the user takes them. The window
// makes each step's option and panel from its row, resets the panels and
// tells them the chosen mod in this order.
const StepRow kSteps[] = {
    {"optCommandLine", "Command Line", makePanel<CommandLinePanel>},
    {"optServerFile", "Server Configuration", makePanel<ServerCfgPanel>},
    {"optMapFile", "Map Cycle", makePanel<MapSetupPanel>},
    {"optMotd", "Welcome Message", makePanel<MotdPanel>},
    {"optBotFile", "Bot Setup", makePanel<BotSetupPanel>, withAddOn},
};

template <class Panel> Panel* panel(const Vorn& w, const char* option) {
    return static_cast<Panel*>(w.panelOf(option));
}

} // namespace

std::unique_ptr<Vorn> makeVornwick(UiSeam& ui, bool load) {
    auto window = std::make_unique<Vorn>(ui, kSteps);
    Vorn& w = *window;
    auto* commandLine = panel<CommandLinePanel>(w, "optCommandLine");
    auto* serverCfg = panel<ServerCfgPanel>(w, "optServerFile");
    auto* maps = panel<MapSetupPanel>(w, "optMapFile");
    auto* bots = panel<BotSetupPanel>(w, "optBotFile");

    // What one part asks of another's controls.
    w.queries.dedicated = [commandLine] { return commandLine->isDedicated(); };
    w.queries.maxPlayers = [commandLine] { return commandLine->maxPlayersText(); };
    w.queries.firstMap = [commandLine] { return commandLine->firstMap(); };
    w.queries.commandLine = [commandLine] { return commandLine->commandLine(); };
    w.queries.hostName = [serverCfg] { return serverCfg->hostName(); };

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
