// The record and the opcodes of the library as a host meets them through the real loader.
#include "Check.h"
#include "PluginLibrary.h"

#include "effect/EditorBase.h"
#include "support/RecordFacts.h"
#include "support/RecordingHost.h"

#include <cstring>
#include <string>

namespace {

using testhost::PluginLibrary;
using testhost::send;

constexpr HostValue hostVersion = 2400;

HostRecord* newInstance(RecordingHost& host) {
    host.answerWith(1, hostVersion);
    return PluginLibrary::instance().mainByName()(RecordingHost::callback());
}

TEST_CASE(LibraryExportsMainByNameAndOrdinalOne) {
    const PluginLibrary& library = PluginLibrary::instance();
    REQUIRE(library.handle() != nullptr);
    CHECK(library.mainByName() != nullptr);
    CHECK_EQ(reinterpret_cast<void*>(library.mainByOrdinal()),
             reinterpret_cast<void*>(library.mainByName()));
    CHECK(GetProcAddress(library.handle(), MAKEINTRESOURCEA(2)) == nullptr);
    for (const char* hidden :
         {"pluginMain", "createEffect", "moduleHandle", "outOfMemory", "DllMain"}) {
        CHECK(GetProcAddress(library.handle(), hidden) == nullptr, hidden);
    }
}

TEST_CASE(HostAnsweringVersionZeroGetsNothing) {
    REQUIRE(PluginLibrary::instance().mainByName() != nullptr);
    RecordingHost host;
    CHECK(PluginLibrary::instance().mainByName()(RecordingHost::callback()) == nullptr);
    CHECK(PluginLibrary::instance().mainByName()(nullptr) == nullptr);
    const auto queries = host.requestsWithOpcode(1);
    REQUIRE(queries.size() == 1u);
    CHECK(queries[0].record == nullptr, "the version query in main carries no record");
}

TEST_CASE(FreshInstanceShowsItsRecord) {
    REQUIRE(PluginLibrary::instance().mainByOrdinal() != nullptr);
    RecordingHost host;
    host.answerWith(1, hostVersion);
    HostRecord* r = PluginLibrary::instance().mainByOrdinal()(RecordingHost::callback());
    REQUIRE(r != nullptr);
    CHECK_EQ(r->signature, recordfacts::signature);
    CHECK_EQ(r->programCount, recordfacts::programCount);
    CHECK_EQ(r->parameterCount, recordfacts::parameterCount);
    CHECK_EQ(r->inputCount, recordfacts::inputCount);
    CHECK_EQ(r->outputCount, recordfacts::outputCount);
    CHECK_EQ(r->capabilityFlags, recordfacts::capabilityFlags);
    CHECK_EQ(r->inOutRatio, recordfacts::inOutRatio);
    CHECK_EQ(r->effectId, recordfacts::effectId);
    CHECK_EQ(r->effectVersion, recordfacts::effectVersion);
    CHECK_EQ(r->reserved1, HostValue{0});
    CHECK_EQ(r->reserved2, HostValue{0});
    CHECK_EQ(r->latency, 0);
    CHECK(r->hostData == nullptr);
    CHECK(r->owner != nullptr);
    CHECK(r->opcodeEntry != nullptr && r->accumulateEntry != nullptr &&
          r->overwriteEntry != nullptr && r->changeParameterEntry != nullptr &&
          r->parameterValueEntry != nullptr);
    int nonZeroSpare = 0;
    for (unsigned char byte : r->spare) {
        nonZeroSpare += byte != 0 ? 1 : 0;
    }
    CHECK_EQ(nonZeroSpare, 0);
    CHECK_EQ(r->parameterValueEntry(r, 0), recordfacts::defaultParameterValue);
    CHECK_EQ(r->parameterValueEntry(r, 1), recordfacts::defaultParameterValue);
    CHECK_EQ(send(r, 1), HostValue{1}, "close answers 1");
}

TEST_CASE(InstancesAreIndependent) {
    RecordingHost host;
    HostRecord* first = newInstance(host);
    HostRecord* second = newInstance(host);
    REQUIRE(first != nullptr && second != nullptr);
    CHECK(first != second);
    CHECK(first->owner != second->owner);
    first->changeParameterEntry(first, 0, 0.1f);
    CHECK_EQ(first->parameterValueEntry(first, 0), 0.1f);
    CHECK_EQ(second->parameterValueEntry(second, 0), 0.9f);
    CHECK_EQ(send(first, 1), HostValue{1});
    CHECK_EQ(second->parameterValueEntry(second, 0), 0.9f);
    CHECK_EQ(send(second, 1), HostValue{1});
}

TEST_CASE(OpcodesAnswerAsTheFactsSay) {
    for (const recordfacts::OpcodeAnswer& c : recordfacts::opcodeAnswers) {
        RecordingHost host;
        HostRecord* r = newInstance(host);
        REQUIRE(r != nullptr);
        char text[64];
        std::strcpy(text, c.dataText != nullptr ? c.dataText : recordfacts::untouchedText);
        CHECK_EQ(send(r, c.opcode, c.index, c.value, text), c.answer, c.what);
        if (c.text != nullptr) {
            CHECK_TEXT(text, c.text, c.what);
        }
        CHECK_EQ(send(r, 1), HostValue{1});
    }
}

TEST_CASE(ProgramRenamingShowsTheNamesTheFactsSay) {
    RecordingHost host;
    HostRecord* r = newInstance(host);
    REQUIRE(r != nullptr);
    for (const recordfacts::ProgramName& c : recordfacts::programNames) {
        char name[64];
        std::strcpy(name, c.given);
        send(r, 4, 0, 0, name);
        char shown[64] = "";
        send(r, 5, 0, 0, shown);
        CHECK_TEXT(shown, c.shown, c.given);
    }
    CHECK_EQ(send(r, 1), HostValue{1});
}

TEST_CASE(EditorRectangleIsTheBackgroundsSize) {
    RecordingHost host;
    HostRecord* r = newInstance(host);
    REQUIRE(r != nullptr);
    EditorRect* rect = nullptr;
    CHECK_EQ(send(r, 13, 0, 0, &rect), HostValue{1});
    REQUIRE(rect != nullptr);
    CHECK_EQ(rect->top, recordfacts::editorTop);
    CHECK_EQ(rect->left, recordfacts::editorLeft);
    CHECK_EQ(rect->bottom, recordfacts::editorBottom);
    CHECK_EQ(rect->right, recordfacts::editorRight);
    CHECK_EQ(send(r, 1), HostValue{1});
}

TEST_CASE(ProgramSelectionRestoresTheProgramValues) {
    RecordingHost host;
    HostRecord* r = newInstance(host);
    REQUIRE(r != nullptr);
    // Program selection goes through the same parameter path as a host change.
    r->changeParameterEntry(r, 1, 0.2f);
    send(r, 2, 0, 0);
    CHECK_EQ(r->parameterValueEntry(r, 1), 0.9f, "selecting the program restores its values");
    CHECK(host.requestsWithOpcode(0).empty(), "host changes are not reported back");
    CHECK_EQ(send(r, 1), HostValue{1});
}

} // namespace
