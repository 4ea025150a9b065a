#include "botsetuppanel.h"

namespace vorn {

BotSetupPanel::BotSetupPanel(Vorn& window) : QObject(&window), w(window) {}

}  // namespace vorn
