// The host's commands. Each writes its report to out and throws HostError when it fails.
#pragma once

#include "host/CommandLine.h"

#include <iosfwd>

void runInfo(const InfoOptions& options, std::ostream& out);
void runProcess(const ProcessOptions& options, std::ostream& out);
void runBench(const BenchOptions& options, std::ostream& out);
void runEditor(const EditorOptions& options, std::ostream& out);
// Returns whether every check passed or was skipped; throws UsageError for unknown check names.
bool runValidate(const ValidateOptions& options, std::ostream& out);
