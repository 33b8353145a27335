// One entry of an activity log: a message line, a context start or end, or a data item.
#pragma once

#include <string>

#include "VelmarqObject.h"

namespace velmarq {

struct LogTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    static LogTime Now();  // local date and time
};

class LogEntry : public VelmarqObject {
  public:
    enum Kind : char { kMessage = 'M', kContextStart = 'C', kContextEnd = 'E', kData = 'D' };

    LogEntry(Kind kind, char severity, const char* text, const char* name = nullptr)
        : time(LogTime::Now()),
          kind(kind),
          severity(severity),
          text(text ? text : ""),
          name(name ? name : "") {}

    LogTime time;
    Kind kind;
    char severity;  // 'E', 'I', 'D' for messages, '0' otherwise
    std::string text;
    std::string name;  // data items only
    bool continuation = false;
    bool renderOnError = false;
};

}  // namespace velmarq
