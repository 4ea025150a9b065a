// The welcome message step: its text is proposed from the host name and
// edited and saved in the viewer itself, with the viewer's Edit and Save.
#pragma once

#include "panelhost.h"
#include "setuppanel.h"

namespace vorn {

class MotdPanel : public SetupPanel {
    Q_OBJECT

  public:
    explicit MotdPanel(PanelHost& host);

    // The step has the viewer alone.
    QGroupBox* frame() const override { return nullptr; }
    void open() override { optMotd_Click(); }
    void reset() override {}
    void modChosen(const ModFacts&) override {}

    void optMotd_Click();
    void cmdEditFile_Click();
    void cmdSaveFile_Click();

  private:
    PanelHost& host;
    ViewerControls viewer;
    // The welcome message as last proposed or saved.
    QString motdText;
};

} // namespace vorn
