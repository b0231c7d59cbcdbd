// Opens the plug-in's editor in a window of our Win32 layer, as a host opens it in its own
// window, lets it draw and idle, and saves what it shows.
#include "effect/EditorBase.h"
#include "host/Commands.h"
#include "host/HostError.h"
#include "host/OutputFile.h"
#include "host/PluginInstance.h"
#include "host/PluginLibrary.h"
#include "platform/TestHooks.h"

#include <ostream>

namespace {

// The editor's window inside a top-level window of ours, closed again on every path out.
class OpenEditor {
public:
    OpenEditor(PluginInstance& plugin, int width, int height)
        : plugin(plugin), window(platformtest::createHostWindow(0, 0, width, height)) {
        if (window == nullptr) {
            throw HostError("could not create a " + std::to_string(width) + "x" +
                            std::to_string(height) + " window for the editor");
        }
        plugin.send(Opcode::editorOpen, 0, 0, window);
        platformtest::pumpMessages();
    }
    OpenEditor(const OpenEditor&) = delete;
    OpenEditor& operator=(const OpenEditor&) = delete;
    ~OpenEditor() {
        plugin.send(Opcode::editorClose);
        DestroyWindow(window);
    }

    void idle() {
        plugin.send(Opcode::editorIdle);
        platformtest::pumpMessages();
    }

    HWND hostWindow() const { return window; }

private:
    PluginInstance& plugin;
    HWND window;
};

EditorRect editorRectangle(PluginInstance& plugin, const std::string& path) {
    if ((plugin.record().capabilityFlags & flagEditor) == 0) {
        throw HostError(path + " has no editor");
    }
    EditorRect* rect = nullptr;
    plugin.send(Opcode::editorRect, 0, 0, &rect);
    if (rect == nullptr || rect->right <= rect->left || rect->bottom <= rect->top) {
        throw HostError(path + " gave no usable editor rectangle");
    }
    return *rect;
}

} // namespace

void runEditor(const EditorOptions& options, std::ostream& out) {
    const PluginLibrary library(options.plugin);
    PluginInstance plugin(library);
    for (const ParameterSetting& setting : options.parameters) {
        if (setting.index >= plugin.parameterCount()) {
            throw HostError("--param " + std::to_string(setting.index) + ": the plug-in has " +
                            std::to_string(plugin.parameterCount()) + " parameter(s)");
        }
    }
    const EditorRect rect = editorRectangle(plugin, options.plugin);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    OutputFile output(options.output);
    {
        OpenEditor editor(plugin, width, height);
        for (const ParameterSetting& setting : options.parameters) {
            plugin.changeParameter(setting.index, setting.value);
        }
        for (std::int32_t call = 0; call < options.idleCalls; ++call) {
            editor.idle();
        }
        const platformtest::Image picture = platformtest::captureWindow(editor.hostWindow());
        if (!platformtest::writePng(picture, output.temporary())) {
            throw HostError("could not write " + options.output);
        }
    }
    output.commit();
    out << "editor " << width << "x" << height << " after " << options.idleCalls
        << " idle call(s): " << options.output << '\n';
}
