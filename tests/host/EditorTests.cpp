// The host opening a plug-in's editor in a window of its own: what it saves is what the editor
// draws in-process.
#include "HostTestSupport.h"
#include "platform/TestHooks.h"
#include "support/GoldenImage.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(HostEditor, SavesWhatTheEditorShowsAfterAutomation) {
    ScratchDirectory scratch;
    const std::string picture = scratch.file("editor.png");
    const HostRun run = runHost({"editor", realPluginPath(), picture, "--param", "1=0.0"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("250x420"), std::string::npos) << run.out;
    platformtest::Image image;
    ASSERT_TRUE(golden::readPng(picture, image));
    EXPECT_TRUE(golden::matches(image, "editor-side-silent"));
    EXPECT_EQ(scratch.entries(), std::vector<std::string>{"editor.png"});
}

TEST(HostEditor, RefusesAPluginWithoutEditorAndWritesNothing) {
    ScratchDirectory scratch;
    const std::string picture = scratch.file("editor.png");
    for (const std::string& plugin :
         {fakePluginPath("fake_accumulator"), fakePluginPath("fake_mono")}) {
        const HostRun run = runHost({"editor", plugin, picture});
        EXPECT_EQ(run.exitCode, 1) << plugin;
        EXPECT_NE(run.err.find("has no editor"), std::string::npos) << run.err;
        EXPECT_EQ(lineCount(run.err), 1) << run.err;
    }
    const HostRun badParameter = runHost({"editor", realPluginPath(), picture, "--param", "7=0.5"});
    EXPECT_EQ(badParameter.exitCode, 1);
    EXPECT_TRUE(scratch.entries().empty());
}

} // namespace
