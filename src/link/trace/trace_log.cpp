#include "link/trace/trace_log.h"

#include <cerrno>
#include <cstring>

namespace vornak {

std::unique_ptr<TraceLog> TraceLog::Create(const std::string& path, Clock& clock, std::string& error)
{
    errno = 0;
    std::ofstream file(path, std::ios::out | std::ios::trunc);
    if (!file) {
        error = "open " + path + ": " + (errno != 0 ? std::strerror(errno) : "cannot create the file");
        return nullptr;
    }
    auto log = std::make_unique<TraceLog>(std::move(file), clock);
    log->WriteLine(TraceLegend());
    return log;
}

TraceLog::TraceLog(std::ofstream file, Clock& clock) : file_(std::move(file)), clock_(clock), startMs_(clock.NowMs())
{
}

uint64_t TraceLog::Elapsed() { return clock_.NowMs() - startMs_; }

void TraceLog::Report(TraceDirection direction, std::span<const uint8_t> payload)
{
    WriteLine(FormatTraceReport(Elapsed(), direction, payload));
}

void TraceLog::Event(const std::string& what) { WriteLine(FormatTraceEvent(Elapsed(), what)); }

void TraceLog::WriteLine(const std::string& line)
{
    std::lock_guard lock(mutex_);
    file_ << line << '\n';
    file_.flush();
}

}  // namespace vornak
