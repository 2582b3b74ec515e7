#include "sim/tool/fault_rule_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

#include "protocol/command_report.h"

namespace vornak::sim {
namespace {

constexpr std::array<std::pair<std::string_view, FaultKind>, 7> kKinds{{
    {"drop-reply", FaultKind::DropReply},
    {"drop-request", FaultKind::DropRequest},
    {"late-reply", FaultKind::LateReply},
    {"noise-first", FaultKind::NoiseFirst},
    {"stale-first", FaultKind::StaleFirst},
    {"corrupt-reply", FaultKind::CorruptReply},
    {"vanish", FaultKind::Vanish},
}};

constexpr std::array<uint8_t, 9> kCommands{kGetFlashLayout, kSaveHead,   kCompareBlock, kWriteImageInfo,
                                           kWritePiece,     kEraseBlock, kEndUpdate,    kWriteChunk,
                                           kVersionRequest};

std::string Lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

std::optional<uint32_t> ParseNumber(std::string_view text)
{
    const std::string copy(text);
    if (copy.empty() || copy[0] == '-')
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(copy.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || value > UINT32_MAX)
        return std::nullopt;
    return static_cast<uint32_t>(value);
}

std::optional<uint8_t> ParseCommand(std::string_view text)
{
    const std::string name = Lower(text);
    if (name == "any")
        return uint8_t{0};
    if (name == "version")
        return uint8_t{kVersionRequest};
    for (uint8_t code : kCommands)
        if (name == Lower(CommandName(code)))
            return code;
    const std::optional<uint32_t> code = ParseNumber(text);
    if (code && *code <= 0xFF)
        return static_cast<uint8_t>(*code);
    return std::nullopt;
}

std::vector<std::string_view> SplitFields(std::string_view text)
{
    std::vector<std::string_view> fields;
    for (size_t start = 0;;) {
        const size_t colon = text.find(':', start);
        fields.push_back(text.substr(start, colon - start));
        if (colon == std::string_view::npos)
            return fields;
        start = colon + 1;
    }
}

// Applies one key=value field; false with the reason when it is not one.
bool ApplyField(std::string_view field, FaultRule& rule, std::string& error)
{
    const size_t equals = field.find('=');
    const std::string key = Lower(field.substr(0, equals));
    const std::optional<uint32_t> value =
        equals == std::string_view::npos ? std::nullopt : ParseNumber(field.substr(equals + 1));
    if (!value) {
        error = "bad fault field \"" + std::string(field) + "\": expected key=number";
        return false;
    }
    if (key == "from")
        rule.firstOccurrence = *value;
    else if (key == "count")
        rule.count = *value;
    else if (key == "delay")
        rule.delayMs = *value;
    else if (key == "address")
        rule.address = *value;
    else if (key == "piece" && (*value == 47 || *value == 29))
        rule.pieceLength = *value;
    else {
        error = "bad fault field \"" + std::string(field) + "\": keys are from, count, delay, address, piece=47|29";
        return false;
    }
    return true;
}

}  // namespace

std::optional<FaultRule> ParseFaultRule(const std::string& text, std::string& error)
{
    const std::vector<std::string_view> fields = SplitFields(text);
    if (fields.size() < 2) {
        error = "bad fault \"" + text + "\": expected KIND:COMMAND[:key=value]...";
        return std::nullopt;
    }
    FaultRule rule;
    const std::string kind = Lower(fields[0]);
    const auto known = std::find_if(kKinds.begin(), kKinds.end(), [&](const auto& k) { return k.first == kind; });
    if (known == kKinds.end()) {
        error = "bad fault kind \"" + std::string(fields[0]) +
                "\": one of drop-reply, drop-request, late-reply, noise-first, stale-first, corrupt-reply, vanish";
        return std::nullopt;
    }
    rule.kind = known->second;
    const std::optional<uint8_t> command = ParseCommand(fields[1]);
    if (!command) {
        error = "bad fault command \"" + std::string(fields[1]) + "\": a command name, version, any or a code";
        return std::nullopt;
    }
    rule.command = *command;
    for (size_t i = 2; i < fields.size(); ++i)
        if (!ApplyField(fields[i], rule, error))
            return std::nullopt;
    return rule;
}

}  // namespace vornak::sim
