#pragma once

#include "vorn.h"

#include <QObject>

namespace vorn {

class BotSetupPanel : public QObject {
    Q_OBJECT

  public:
    explicit BotSetupPanel(Vorn& window);

  private:
    Vorn& w;
};

}  // namespace vorn
