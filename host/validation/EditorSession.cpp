#include "host/validation/EditorSession.h"

#include "host/PluginInstance.h"
#include "host/validation/Check.h"
#include "platform/TestHooks.h"

namespace validation {

namespace {

// Larger than any screen a host would give an editor.
constexpr int maxEditorSide = 16384;

} // namespace

bool announcesEditor(const PluginInstance& plugin) {
    return (plugin.record().capabilityFlags & flagEditor) != 0;
}

EditorRect editorRectangle(PluginInstance& plugin) {
    EditorRect* rect = nullptr;
    plugin.send(Opcode::editorRect, 0, 0, &rect);
    require(rect != nullptr, "the editor-rectangle opcode handed out no rectangle");
    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;
    require(width > 0 && height > 0 && width <= maxEditorSide && height <= maxEditorSide,
            "the editor rectangle " + std::to_string(width) + "x" + std::to_string(height) +
                " is not a usable size");
    return *rect;
}

EditorSession::EditorSession(PluginInstance& plugin) : plugin(plugin), window(nullptr) {
    const EditorRect rect = editorRectangle(plugin);
    window = platformtest::createHostWindow(0, 0, rect.right - rect.left, rect.bottom - rect.top);
    require(window != nullptr, "the host could not create a window for the editor");
    const std::size_t windowsBefore = platformtest::liveCounts().windows;
    plugin.send(Opcode::editorOpen, 0, 0, window);
    platformtest::pumpMessages();
    if (platformtest::liveCounts().windows <= windowsBefore) {
        plugin.send(Opcode::editorClose);
        DestroyWindow(window);
        throw CheckFailure("opening the editor created no window in the host's window");
    }
}

EditorSession::~EditorSession() {
    plugin.send(Opcode::editorClose);
    platformtest::pumpMessages();
    DestroyWindow(window);
}

void EditorSession::idle() {
    plugin.send(Opcode::editorIdle);
    platformtest::pumpMessages();
}

} // namespace validation
