#include "host/Commands.h"
#include "host/PluginInstance.h"
#include "host/PluginLibrary.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <ostream>
#include <string>

namespace {

// Beyond this many parameters or programs a list stops; the count is still shown.
constexpr std::int32_t maxListed = 256;

struct FlagName {
    std::int32_t bit;
    const char* name;
};

constexpr std::array flagNames{
    FlagName{flagEditor, "editor"},
    FlagName{flagClipMeter, "clip-meter"},
    FlagName{flagLevelMeter, "level-meter"},
    FlagName{flagMonoInput, "mono-input"},
    FlagName{flagOverwrite, "overwrite"},
    FlagName{flagStateBlob, "state-blob"},
    FlagName{flagInstrument, "instrument"},
    FlagName{flagQuietTail, "quiet-tail"},
    FlagName{flagAsync, "async"},
    FlagName{flagOwnBuffer, "own-buffer"},
};

std::string hex(std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(value));
    return text;
}

std::string flagList(std::int32_t flags) {
    std::string names;
    std::int32_t unnamed = flags;
    for (const auto& flag : flagNames) {
        if ((flags & flag.bit) != 0) {
            names += (names.empty() ? "" : ", ") + std::string(flag.name);
            unnamed &= ~flag.bit;
        }
    }
    if (unnamed != 0) {
        names += (names.empty() ? "unnamed " : ", unnamed ") + hex(unnamed);
    }
    return hex(flags) + " (" + (names.empty() ? "none" : names) + ")";
}

// The identifier as four characters, most significant byte first, as plug-in ids are chosen.
std::string fourCharacters(std::int32_t id) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto byte = static_cast<unsigned char>(static_cast<std::uint32_t>(id) >> shift);
        text += std::isprint(byte) != 0 ? static_cast<char>(byte) : '.';
    }
    return "'" + text + "'";
}

std::string textOrMissing(const PluginText& text) {
    return text.answer != 0 ? "\"" + text.text + "\"" : "(not given)";
}

void printField(std::ostream& out, const char* name, const std::string& value) {
    char label[32];
    std::snprintf(label, sizeof label, "%-19s", name);
    out << label << value << '\n';
}

void printRecord(std::ostream& out, const PluginLibrary& library, const HostRecord& record) {
    printField(out, "library", library.path());
    printField(out, "signature", hex(record.signature));
    printField(out, "effect id", hex(record.effectId) + " " + fourCharacters(record.effectId));
    printField(out, "effect version", std::to_string(record.effectVersion));
    printField(out, "programs", std::to_string(record.programCount));
    printField(out, "parameters", std::to_string(record.parameterCount));
    printField(out, "inputs", std::to_string(record.inputCount));
    printField(out, "outputs", std::to_string(record.outputCount));
    printField(out, "flags", flagList(record.capabilityFlags));
    printField(out, "latency", std::to_string(record.latency) + " frames");
    char ratio[32];
    std::snprintf(ratio, sizeof ratio, "%g", static_cast<double>(record.inOutRatio));
    printField(out, "in/out ratio", ratio);
}

void printIdentity(std::ostream& out, PluginInstance& plugin) {
    printField(out, "effect name", textOrMissing(plugin.askText(Opcode::effectName)));
    printField(out, "vendor", textOrMissing(plugin.askText(Opcode::vendorName)));
    printField(out, "product", textOrMissing(plugin.askText(Opcode::productName)));
    printField(out, "vendor version", std::to_string(plugin.send(Opcode::vendorVersion)));
    printField(out, "category", std::to_string(plugin.send(Opcode::category)));
    printField(out, "interface version", std::to_string(plugin.send(Opcode::interfaceVersion)));
}

void printParameters(std::ostream& out, PluginInstance& plugin) {
    out << "\nparameters (" << plugin.parameterCount() << ")\n";
    char line[160];
    std::snprintf(line, sizeof line, "  %-5s  %-10s  %-10s  %-10s  %s\n", "index", "title", "unit",
                  "text", "value");
    out << line;
    const std::int32_t listed = std::min(plugin.parameterCount(), maxListed);
    for (std::int32_t index = 0; index < listed; ++index) {
        const std::string title = plugin.askText(Opcode::parameterTitle, index).text;
        const std::string unit = plugin.askText(Opcode::parameterUnit, index).text;
        const std::string text = plugin.askText(Opcode::parameterText, index).text;
        char value[32] = "-";
        if (plugin.canReadParameters()) {
            std::snprintf(value, sizeof value, "%.6f",
                          static_cast<double>(plugin.parameterValue(index)));
        }
        std::snprintf(line, sizeof line, "  %-5d  %-10s  %-10s  %-10s  %s\n", index,
                      ("\"" + title + "\"").c_str(), ("\"" + unit + "\"").c_str(),
                      ("\"" + text + "\"").c_str(), value);
        out << line;
    }
    if (listed < plugin.parameterCount()) {
        out << "  (" << plugin.parameterCount() - listed << " more not listed)\n";
    }
}

void printPrograms(std::ostream& out, PluginInstance& plugin) {
    const auto current = plugin.send(Opcode::currentProgram);
    out << "\nprograms (" << plugin.programCount() << ")\n";
    out << "  current  " << current << " \"" << plugin.askText(Opcode::programName).text << "\"\n";
    const std::int32_t listed = std::min(plugin.programCount(), maxListed);
    for (std::int32_t index = 0; index < listed; ++index) {
        // Category -1: the program's name whatever category it belongs to.
        const PluginText name = plugin.askText(Opcode::programNameAt, index, -1);
        if (name.answer != 0) {
            out << "  " << index << "  \"" << name.text << "\"\n";
        }
    }
    if (listed < plugin.programCount()) {
        out << "  (" << plugin.programCount() - listed << " more not listed)\n";
    }
}

} // namespace

void runInfo(const InfoOptions& options, std::ostream& out) {
    const PluginLibrary library(options.plugin);
    PluginInstance plugin(library);
    printRecord(out, library, plugin.record());
    printIdentity(out, plugin);
    printParameters(out, plugin);
    printPrograms(out, plugin);
}
