// Loading the library and creating, opening and closing instances, alone and in numbers.
#include "host/PluginInstance.h"
#include "host/validation/Check.h"

#include <algorithm>
#include <memory>
#include <set>

namespace validation {

namespace {

constexpr int manyInstances = 100;
constexpr std::int32_t maxSensibleCount = 100000;

// The record fields that describe the effect and must read alike in every instance.
struct RecordFacts {
    std::int32_t programs;
    std::int32_t parameters;
    std::int32_t inputs;
    std::int32_t outputs;
    std::int32_t flags;
    std::int32_t effectId;
    std::int32_t effectVersion;

    explicit RecordFacts(const HostRecord& record)
        : programs(record.programCount), parameters(record.parameterCount),
          inputs(record.inputCount), outputs(record.outputCount), flags(record.capabilityFlags),
          effectId(record.effectId), effectVersion(record.effectVersion) {}

    bool operator==(const RecordFacts&) const = default;
};

void requireSaneRecord(const HostRecord& record) {
    const auto inRange = [](std::int32_t count) { return count >= 0 && count <= maxSensibleCount; };
    require(inRange(record.programCount),
            "program count " + std::to_string(record.programCount) + " out of range");
    require(inRange(record.parameterCount),
            "parameter count " + std::to_string(record.parameterCount) + " out of range");
    require(inRange(record.inputCount) && inRange(record.outputCount),
            "pin counts " + std::to_string(record.inputCount) + "/" +
                std::to_string(record.outputCount) + " out of range");
    require(record.accumulateEntry != nullptr ||
                ((record.capabilityFlags & flagOverwrite) != 0 && record.overwriteEntry != nullptr),
            "the record offers no processing entry");
    require((record.capabilityFlags & flagOverwrite) == 0 || record.overwriteEntry != nullptr,
            "the overwrite flag is set but the overwrite entry is missing");
}

// The first instance of a freshly loaded library: its module-wide state starts here.
void coldStart(CheckContext& context) {
    PluginInstance plugin(context.library);
    requireSaneRecord(plugin.record());
}

void warmStart(CheckContext& context) {
    std::unique_ptr<RecordFacts> first;
    for (int round = 0; round < 3; ++round) {
        PluginInstance plugin(context.library);
        requireSaneRecord(plugin.record());
        const RecordFacts facts(plugin.record());
        if (!first) {
            first = std::make_unique<RecordFacts>(facts);
        }
        require(facts == *first, "instance " + std::to_string(round + 1) +
                                     " describes itself differently from the first");
    }
}

void manyAtOnce(CheckContext& context) {
    std::vector<std::unique_ptr<PluginInstance>> instances;
    std::set<const HostRecord*> records;
    for (int count = 0; count < manyInstances; ++count) {
        instances.push_back(std::make_unique<PluginInstance>(context.library));
        records.insert(&instances.back()->record());
    }
    require(records.size() == instances.size(), std::to_string(manyInstances) +
                                                    " live instances share " +
                                                    std::to_string(records.size()) + " record(s)");
    // Closing in an order unrelated to creation finds instances that depend on each other.
    std::shuffle(instances.begin(), instances.end(), context.random);
    instances.clear();
}

void manyInSequence(CheckContext& context) {
    for (int count = 0; count < manyInstances; ++count) {
        PluginInstance plugin(context.library);
        requireSaneRecord(plugin.record());
    }
}

} // namespace

std::vector<Check> lifecycleChecks() {
    return {
        {"lifecycle.cold", coldStart},
        {"lifecycle.warm", warmStart},
        {"lifecycle.many-at-once", manyAtOnce},
        {"lifecycle.many-in-sequence", manyInSequence},
    };
}

} // namespace validation
