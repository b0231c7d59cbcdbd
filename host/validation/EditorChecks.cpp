// The editor as a host drives it: rectangle, open and close, idle calls at display rates, and
// opening or idling while audio and automation run on other threads.
#include "host/PluginInstance.h"
#include "host/validation/BackgroundProcessing.h"
#include "host/validation/Check.h"
#include "host/validation/EditorSession.h"
#include "platform/TestHooks.h"

#include <atomic>
#include <thread>

namespace validation {

namespace {

// The layer's tick clock under the check's control, so idle rates are simulated, not waited for.
class ManualClock {
public:
    ManualClock() { platformtest::useManualClock(1000); }
    ~ManualClock() { platformtest::useSystemClock(); }
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;
};

void requireEditor(const PluginInstance& plugin) {
    if (!announcesEditor(plugin)) {
        throw CheckSkipped("the plug-in announces no editor");
    }
}

std::string describe(const platformtest::LiveCounts& counts) {
    return std::to_string(counts.windows) + " window(s), " + std::to_string(counts.deviceContexts) +
           " device context(s), " + std::to_string(counts.gdiObjects) + " drawing object(s), " +
           std::to_string(counts.windowClasses) + " window class(es)";
}

bool sameCounts(const platformtest::LiveCounts& a, const platformtest::LiveCounts& b) {
    return a.windows == b.windows && a.deviceContexts == b.deviceContexts &&
           a.gdiObjects == b.gdiObjects && a.windowClasses == b.windowClasses;
}

void idleAt(EditorSession& editor, int hertz, int calls) {
    for (int call = 0; call < calls; ++call) {
        platformtest::advanceClock(static_cast<std::uint32_t>(1000 / hertz));
        editor.idle();
    }
}

void rectangleBeforeOpen(CheckContext& context) {
    PluginInstance plugin(context.library);
    requireEditor(plugin);
    const EditorRect before = editorRectangle(plugin);
    {
        EditorSession editor(plugin);
        const EditorRect open = editorRectangle(plugin);
        require(open.left == before.left && open.top == before.top && open.right == before.right &&
                    open.bottom == before.bottom,
                "the editor rectangle changed when the editor opened");
    }
}

void openAndCloseTwice(CheckContext& context) {
    PluginInstance plugin(context.library);
    requireEditor(plugin);
    const ManualClock clock;
    std::vector<platformtest::LiveCounts> afterClose;
    const platformtest::LiveCounts before = platformtest::liveCounts();
    for (int round = 0; round < 2; ++round) {
        {
            EditorSession editor(plugin);
            idleAt(editor, 30, 5);
        }
        afterClose.push_back(platformtest::liveCounts());
        require(afterClose.back().windows == before.windows &&
                    afterClose.back().deviceContexts == before.deviceContexts,
                "after closing the editor " + describe(afterClose.back()) + " are left, " +
                    describe(before) + " before it opened");
    }
    require(sameCounts(afterClose[0], afterClose[1]),
            "every open and close leaves more behind: " + describe(afterClose[0]) + ", then " +
                describe(afterClose[1]));
}

void idleAtDisplayRates(CheckContext& context) {
    PluginInstance plugin(context.library);
    requireEditor(plugin);
    const ManualClock clock;
    EditorSession editor(plugin);
    for (const int hertz : {15, 60}) {
        // Two simulated seconds, with automation now and then, as a host shows it.
        idleAt(editor, hertz, hertz);
        const platformtest::LiveCounts settled = platformtest::liveCounts();
        for (int call = 0; call < 2 * hertz; ++call) {
            if (plugin.canChangeParameters() && plugin.parameterCount() > 0 && call % 5 == 0) {
                plugin.changeParameter(call % plugin.parameterCount(),
                                       static_cast<float>(call % 11) / 10.0f);
            }
            idleAt(editor, hertz, 1);
        }
        const platformtest::LiveCounts after = platformtest::liveCounts();
        require(sameCounts(settled, after), "idling at " + std::to_string(hertz) +
                                                " Hz went from " + describe(settled) + " to " +
                                                describe(after));
    }
}

void openWhileAudioRuns(CheckContext& context) {
    PluginInstance plugin(context.library);
    requireEditor(plugin);
    const ManualClock clock;
    plugin.startAudio(44100.0, 256);
    BackgroundProcessing audio(plugin, 256, context.random());
    for (int round = 0; round < 2 || (audio.processedBlocks() < 50 && audio.running()); ++round) {
        EditorSession editor(plugin);
        idleAt(editor, 60, 30);
    }
    audio.stopAndCheck();
}

void parametersFromThreadWhileIdling(CheckContext& context) {
    PluginInstance plugin(context.library);
    requireEditor(plugin);
    if (!plugin.canChangeParameters() || plugin.parameterCount() == 0) {
        throw CheckSkipped("the plug-in has no parameters to change");
    }
    const ManualClock clock;
    EditorSession editor(plugin);
    std::atomic<bool> done{false};
    std::thread changer([&plugin, &done, seed = context.random()] {
        std::mt19937_64 random(seed);
        std::uniform_int_distribution<std::int32_t> pick(0, plugin.parameterCount() - 1);
        std::uniform_real_distribution<float> value(0.0f, 1.0f);
        while (!done.load(std::memory_order_relaxed)) {
            plugin.changeParameter(pick(random), value(random));
        }
    });
    struct StopChanger {
        std::atomic<bool>& done;
        std::thread& thread;
        ~StopChanger() {
            done = true;
            thread.join();
        }
    } stop{done, changer};
    idleAt(editor, 60, 300);
}

} // namespace

std::vector<Check> editorChecks() {
    return {
        {"editor.rectangle", rectangleBeforeOpen},
        {"editor.open-close", openAndCloseTwice},
        {"editor.idle-rates", idleAtDisplayRates},
        {"editor.open-while-processing", openWhileAudioRuns},
        {"editor.parameter-thread", parametersFromThreadWhileIdling},
    };
}

} // namespace validation
