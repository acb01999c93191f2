#include "frame/RepeatedLineFilter.h"

#include <utility>

RepeatedLineFilter::RepeatedLineFilter(Sink sink) : sink_(std::move(sink)) {}

RepeatedLineFilter::~RepeatedLineFilter() { Flush(); }

void RepeatedLineFilter::Write(const std::string& line)
{
    if (haveLast_ && line == last_) {
        ++repeats_;
        return;
    }
    Flush();
    sink_(line);
    last_ = line;
    haveLast_ = true;
}

void RepeatedLineFilter::Flush()
{
    if (repeats_ > 0) {
        sink_(last_ + " (repeated " + std::to_string(repeats_) + (repeats_ == 1 ? " time)" : " times)"));
    }
    repeats_ = 0;
    haveLast_ = false;
    last_.clear();
}
