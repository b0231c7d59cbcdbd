// A host callback that records every request and answers from a table, for tests.
#pragma once

#include "effect/HostRecord.h"

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

struct HostRequest {
    HostRecord* record;
    std::int32_t opcode;
    std::int32_t index;
    HostValue value;
    void* data;
    float opt;
};

// Only one RecordingHost may be live at a time: the callback is a plain function.
class RecordingHost {
public:
    RecordingHost() { current() = this; }
    ~RecordingHost() { current() = nullptr; }
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    static HostCallback callback() { return &RecordingHost::answer; }

    void answerWith(std::int32_t opcode, HostValue answer) { answers[opcode] = answer; }
    void onRequest(std::function<void(const HostRequest&)> hook) { requestHook = std::move(hook); }

    std::vector<HostRequest> requests() const {
        std::lock_guard lock(mutex);
        return log;
    }
    std::vector<HostRequest> requestsWithOpcode(std::int32_t opcode) const {
        std::vector<HostRequest> matching;
        for (const HostRequest& request : requests()) {
            if (request.opcode == opcode) {
                matching.push_back(request);
            }
        }
        return matching;
    }
    void clear() {
        std::lock_guard lock(mutex);
        log.clear();
    }

private:
    static RecordingHost*& current() {
        static RecordingHost* host = nullptr;
        return host;
    }

    static HostValue BRISOLEN_CALL answer(HostRecord* record, std::int32_t opcode,
                                          std::int32_t index, HostValue value, void* data,
                                          float opt) {
        RecordingHost* host = current();
        if (host == nullptr) {
            return 0;
        }
        const HostRequest request{record, opcode, index, value, data, opt};
        {
            std::lock_guard lock(host->mutex);
            host->log.push_back(request);
        }
        if (host->requestHook) {
            host->requestHook(request);
        }
        const auto found = host->answers.find(opcode);
        return found == host->answers.end() ? 0 : found->second;
    }

    mutable std::mutex mutex;
    std::vector<HostRequest> log;
    std::map<std::int32_t, HostValue> answers;
    std::function<void(const HostRequest&)> requestHook;
};
