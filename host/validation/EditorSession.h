// The plug-in's editor opened in a window of the host's own, as a host embeds it, and closed
// again on every way out of a check.
#pragma once

#include "effect/EditorBase.h"
#include "platform/Win32Api.h"

class PluginInstance;

namespace validation {

// Whether the record announces an editor.
bool announcesEditor(const PluginInstance& plugin);

// The rectangle the plug-in hands out through the editor-rectangle opcode; fails the check when
// it gives none or an unusable one.
EditorRect editorRectangle(PluginInstance& plugin);

class EditorSession {
public:
    // Creates the host window and opens the editor in it.
    explicit EditorSession(PluginInstance& plugin);
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;
    ~EditorSession();

    // One editor idle call followed by the window messages it caused.
    void idle();

private:
    PluginInstance& plugin;
    HWND window;
};

} // namespace validation
