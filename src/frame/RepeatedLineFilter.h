#pragma once
// RepeatedLineFilter: passes log lines on to a sink, folding a run of
// identical lines into the first one and a single count. A failure met again
// and again (a save point looping over a full disk) then costs the log two
// lines instead of one per attempt. Not thread-safe: its owner serialises.
#include <cstdint>
#include <functional>
#include <string>

class RepeatedLineFilter {
public:
    // Receives each line to write, without a line end.
    using Sink = std::function<void(const std::string& line)>;

    explicit RepeatedLineFilter(Sink sink);
    // Flushes (a run still pending is written).
    ~RepeatedLineFilter();
    RepeatedLineFilter(const RepeatedLineFilter&) = delete;
    RepeatedLineFilter& operator=(const RepeatedLineFilter&) = delete;

    // Passes the line on, unless it equals the line before it: then it is
    // only counted. A different line first ends the pending run.
    void Write(const std::string& line);
    // Ends the pending run: when the last line came again after it was
    // written, writes "<line> (repeated N times)", N counting those repeats.
    // The next line is passed on whatever it is.
    void Flush();

private:
    Sink sink_;
    std::string last_;
    bool haveLast_ = false;
    uint64_t repeats_ = 0;
};
