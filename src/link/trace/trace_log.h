#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "link/clock.h"
#include "link/trace/trace_format.h"

namespace vornak {

// The trace file: one line per report or event, time measured from the
// file's opening. Every line is flushed, so a killed run still leaves its trace.
// Safe to use from the window thread and the update worker.
class TraceLog {
public:
    // Null with the reason (failing call and OS error text) when the file cannot be created.
    static std::unique_ptr<TraceLog> Create(const std::string& path, Clock& clock, std::string& error);

    void Report(TraceDirection direction, std::span<const uint8_t> payload);
    void Event(const std::string& what);

    TraceLog(std::ofstream file, Clock& clock);

private:
    void WriteLine(const std::string& line);
    uint64_t Elapsed();

    std::mutex mutex_;
    std::ofstream file_;
    Clock& clock_;
    uint64_t startMs_;
};

}  // namespace vornak
