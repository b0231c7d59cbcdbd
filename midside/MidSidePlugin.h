// The plug-in as the host sees it: the mid/side effect with its editor.
#pragma once

#include "midside/MidSideProcessor.h"

class MidSidePlugin : public MidSideProcessor {
public:
    explicit MidSidePlugin(HostCallback callback);
    ~MidSidePlugin() override;

    // Passes every change on to the editor, so its controls follow automation and programs.
    void changeParameter(std::int32_t index, float value) override;
};
