#include "commandlinepanel.h"

namespace vorn {

CommandLinePanel::CommandLinePanel(Vorn& window) : QObject(&window), w(window) {}

}  // namespace vorn
