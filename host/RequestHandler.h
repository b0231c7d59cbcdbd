// The host's side of the conversation: the callback every plug-in instance receives from main.
#pragma once

#include "effect/HostRecord.h"

#include <cstdint>

namespace RequestHandler {

constexpr HostValue hostVersion = 2400;

// Answers the plug-in's requests: the version query gets hostVersion, everything else 0.
HostValue BRISOLEN_CALL answerRequest(HostRecord* record, std::int32_t opcode, std::int32_t index,
                                      HostValue value, void* data, float opt);

// When on, every request is reported on stderr.
void setVerbose(bool on);

// Automated parameter changes the plug-ins reported since the program started.
std::int64_t automationReports();

} // namespace RequestHandler
