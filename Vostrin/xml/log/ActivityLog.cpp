#include "ActivityLog.h"

#include <syslog.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace velmarq {

LogTime LogTime::Now() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    LogTime lt;
    lt.year = tm.tm_year + 1900;
    lt.month = tm.tm_mon + 1;
    lt.day = tm.tm_mday;
    lt.hour = tm.tm_hour;
    lt.minute = tm.tm_min;
    lt.second = tm.tm_sec;
    return lt;
}

namespace {

const char kDeclaration[] = "<?xml version=\"1.0\"  encoding=\"utf-8\" standalone=\"yes\" ?>\n";

// The characters that put a text into a CDATA section.
bool NeedsCdata(const std::string& text) {
    return text.find_first_of("\n\t&><") != std::string::npos;
}

void AppendEscaped(StringBuffer& out, const std::string& text) {
    StringBuffer escaped(text.c_str());
    escaped.EscapeXml();
    out.AppendBuffer(escaped);
}

void AppendCdata(StringBuffer& out, const std::string& text) {
    out.Append("<![CDATA[");
    out.AppendBytes(text.data(), static_cast<int>(text.size()));
    out.Append("]]>");
}

}  // namespace

ActivityLog::ActivityLog() = default;

ActivityLog::~ActivityLog() {
    entries_.DeleteAll();
}

void ActivityLog::Add(LogEntry* entry) {
    try {
        entries_.Append(entry);
    } catch (...) {
        delete entry;  // an array that cannot grow drops the entry, not the log
        throw;
    }
    Mirror(*entry);
}

bool ActivityLog::AddMessage(char severity, const char* text) {
    if (!text || !*text) return false;
    StringBuffer all(text);
    ExtPtrArray lines;
    all.Split(lines, "\r\n", false, false);
    bool first = true;
    for (int i = 0; i < lines.Count(); ++i) {
        auto* line = static_cast<StringBuffer*>(lines.Get(i));
        if (line->IsEmpty()) continue;
        if (first) {
            Add(new LogEntry(LogEntry::kMessage, severity, line->Data()));
            first = false;
        } else {
            std::string prefixed = std::string(continuationPrefix_.Data()) + line->Data();
            auto* entry = new LogEntry(LogEntry::kMessage, severity, prefixed.c_str());
            entry->continuation = true;
            Add(entry);
        }
    }
    lines.DeleteAll();
    if (severity == 'E') errorFlag_ = true;
    return true;
}

bool ActivityLog::LogXml(const char* xmlText) {
    Add(new LogEntry(LogEntry::kData, '0', xmlText, "__xml__"));
    return true;
}

bool ActivityLog::ClearLog() {
    entries_.DeleteAll();
    return true;
}

bool ActivityLog::EnterContext(const char* name, bool renderOnError) {
    if (!name || !*name) return false;
    auto* entry = new LogEntry(LogEntry::kContextStart, '0', name);
    entry->renderOnError = renderOnError;
    Add(entry);
    return true;
}

bool ActivityLog::LeaveContext() {
    errorText_.Clear();
    int count = entries_.Count();
    if (count == 0) return true;
    auto* last = static_cast<LogEntry*>(entries_.Last());
    if (last->kind == LogEntry::kContextStart) {
        delete entries_.Pop();
        return true;
    }
    Add(new LogEntry(LogEntry::kContextEnd, '0', ""));
    if (!errorFlag_) return true;
    int end = entries_.Count() - 1;
    int depth = 0;
    for (int i = end - 1; i >= 0; --i) {
        const LogEntry* e = EntryAt(i);
        if (e->kind == LogEntry::kContextEnd) {
            ++depth;
        } else if (e->kind == LogEntry::kContextStart) {
            if (depth > 0) {
                --depth;
                continue;
            }
            if (e->renderOnError) {
                lastErrorXml_.Clear();
                Render(i, end, false, "\n", lastErrorXml_);
                errorFlag_ = false;
            }
            break;
        }
    }
    return true;
}

bool ActivityLog::LogData(const char* name, const char* value) {
    StringBuffer n(name ? name : "");
    n.Trim();
    n.ReplaceByte(' ', '_');
    if (n.IsEmpty()) return false;
    Add(new LogEntry(LogEntry::kData, '0', value, n.Data()));
    return true;
}

bool ActivityLog::LogDataLong(const char* name, int value) {
    return LogData(name, IntToText(value));
}

bool ActivityLog::TrimLog() {
    if (entries_.Count() > maxEntries_) entries_.DeleteAll();
    return true;
}

bool ActivityLog::CopyErrorText(StringBuffer& out) {
    out.AppendBuffer(errorText_);
    return true;
}

void ActivityLog::Render(int first, int last, bool includeDates, const char* eol,
                         StringBuffer& out) {
    if (entries_.Count() == 0) return;
    if (first < 0) first = 0;
    if (last >= entries_.Count()) last = entries_.Count() - 1;
    out.Append("<VelmarqLog>");
    out.Append(eol);
    std::string indent;
    std::vector<std::string> open;
    bool firstItem = true;
    auto errorItem = [&](const std::string& text) {
        if (!firstItem) errorText_.AppendByte('\n');
        firstItem = false;
        errorText_.AppendBytes(text.data(), static_cast<int>(text.size()));
    };
    for (int i = first; i <= last; ++i) {
        const LogEntry* e = EntryAt(i);
        switch (e->kind) {
            case LogEntry::kMessage: {
                std::vector<const LogEntry*> group{e};
                while (i + 1 <= last && EntryAt(i + 1)->kind == LogEntry::kMessage &&
                       EntryAt(i + 1)->continuation) {
                    group.push_back(EntryAt(++i));
                }
                const char* element = e->severity == 'E'   ? "error"
                                      : e->severity == 'D' ? "debug"
                                                           : "info";
                out.Append(indent.c_str());
                out.AppendByte('<');
                out.Append(element);
                if (includeDates) {
                    char date[64];
                    std::snprintf(date, sizeof date, " date=\"%02d/%02d/%04d %02d:%02d:%02d\"",
                                  e->time.month, e->time.day, e->time.year, e->time.hour,
                                  e->time.minute, e->time.second);
                    out.Append(date);
                }
                out.AppendByte('>');
                std::string joined;
                for (size_t g = 0; g < group.size(); ++g) {
                    if (g > 0) joined += eol;
                    joined += group[g]->text;
                }
                // As for data items: a text holding "]]>" cannot go into a section, which it
                // would end early, and written bare it would not be XML: it is escaped.
                if (joined.find("]]>") != std::string::npos) {
                    AppendEscaped(out, joined);
                } else if (group.size() > 1 || NeedsCdata(joined)) {
                    AppendCdata(out, joined);
                } else {
                    out.Append(joined.c_str());
                }
                out.Append("</");
                out.Append(element);
                out.AppendByte('>');
                out.Append(eol);
                if (e->severity == 'E') {
                    for (size_t g = 0; g < group.size(); ++g) {
                        errorItem(g == 0 ? group[g]->text : "    " + group[g]->text);
                    }
                }
                break;
            }
            case LogEntry::kContextStart:
                out.Append(indent.c_str());
                out.AppendByte('<');
                out.Append(e->text.c_str());
                out.AppendByte('>');
                out.Append(eol);
                open.push_back(e->text);
                indent += "    ";
                errorItem("(" + e->text + ")");
                break;
            case LogEntry::kContextEnd:
                if (!open.empty()) {
                    indent.resize(indent.size() - 4);
                    out.Append(indent.c_str());
                    out.Append("</");
                    out.Append(open.back().c_str());
                    out.AppendByte('>');
                    out.Append(eol);
                    open.pop_back();
                }
                break;
            case LogEntry::kData:
                if (e->name == "__xml__") {
                    out.Append(e->text.c_str());
                    out.Append(eol);
                    break;
                }
                out.Append(indent.c_str());
                out.AppendByte('<');
                out.Append(e->name.c_str());
                out.AppendByte('>');
                // A data value goes into a CDATA section only when it spans lines or holds a
                // TAB; markup characters in a one-line value are escaped instead. A value that
                // holds "]]>" would end the section early, so it is always escaped.
                if (e->text.find("]]>") == std::string::npos &&
                    e->text.find_first_of("\n\t") != std::string::npos) {
                    AppendCdata(out, e->text);
                } else {
                    AppendEscaped(out, e->text);
                }
                out.Append("</");
                out.Append(e->name.c_str());
                out.AppendByte('>');
                out.Append(eol);
                if (!errorText_.IsEmpty()) errorText_.AppendByte('\n');
                errorText_.Append(e->name.c_str());
                errorText_.Append(": ");
                errorText_.Append(e->text.c_str());
                break;
        }
    }
    while (!open.empty()) {
        out.Append("</");
        out.Append(open.back().c_str());
        out.AppendByte('>');
        out.Append(eol);
        open.pop_back();
    }
    out.Append("</VelmarqLog>");
    out.Append(eol);
}

bool ActivityLog::SaveLogXml(bool includeDates, const char* path) {
    if (!path) return false;
    std::FILE* f = std::fopen(path, "w");
    if (!f) return false;
    try {
        StringBuffer text;
        Render(0, entries_.Count() - 1, includeDates, "\n", text);
        if (text.IsEmpty()) {
            text.Append(kDeclaration);
            text.Append("<VelmarqLog>The log is empty</VelmarqLog>");
        } else {
            text.Prepend(kDeclaration);
        }
        size_t n = static_cast<size_t>(text.Length());
        bool ok = std::fwrite(text.Data(), 1, n, f) == n;
        ok = std::fclose(f) == 0 && ok;
        return ok;
    } catch (...) {
        std::fclose(f);
        if (std::FILE* g = std::fopen(path, "w")) {
            std::fputs("Unexpected exception while saving XML log", g);
            std::fclose(g);
        }
        return false;
    }
}

void ActivityLog::SetMirror(int mode, const char* source, const char* prefix) {
    mirrorMode_ = mode;
    eventSource_.Assign(source ? source : "");
    eventPrefix_.Assign(prefix ? prefix : "");
}

void ActivityLog::Mirror(const LogEntry& entry) {
    if (mirrorMode_ != 3) return;
    std::string text;
    int priority = LOG_INFO;
    if (entry.kind == LogEntry::kMessage) {
        text = "[" + std::string(eventPrefix_.Data()) + "] " + entry.text;
        if (entry.severity == 'E') priority = LOG_ERR;
    } else if (entry.kind == LogEntry::kData) {
        text = "[" + entry.name + "] = [" + entry.text + "]";
    } else {
        return;
    }
    // The event identifier (1004 for errors, 1002 otherwise) travels in the message text, since
    // the system log has no field of its own for it.
    openlog(eventSource_.Data(), LOG_NDELAY, LOG_USER);
    syslog(priority, "%d %s", priority == LOG_ERR ? 1004 : 1002, text.c_str());
    closelog();
}

}  // namespace velmarq
