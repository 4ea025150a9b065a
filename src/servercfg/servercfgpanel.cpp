#include "servercfgpanel.h"

namespace vorn {

ServerCfgPanel::ServerCfgPanel(Vorn& window) : QObject(&window), w(window) {}

}  // namespace vorn
