// An ordered list of messages, named contexts and data items that renders as an XML document
// (root element VelmarqLog) or is saved to a file.
#pragma once

#include "ExtPtrArray.h"
#include "LogEntry.h"
#include "StringBuffer.h"

namespace velmarq {

class ActivityLog {
  public:
    ActivityLog();
    ~ActivityLog();
    ActivityLog(const ActivityLog&) = delete;
    ActivityLog& operator=(const ActivityLog&) = delete;

    bool LogError(const char* text) { return AddMessage('E', text); }
    bool LogInfo(const char* text) { return AddMessage('I', text); }
    bool LogDebug(const char* text) { return AddMessage('D', text); }
    bool LogXml(const char* xmlText);
    bool ClearLog();
    bool EnterContext(const char* name, bool renderOnError);
    bool LeaveContext();
    bool LogData(const char* name, const char* value);
    bool LogDataLong(const char* name, int value);
    bool TrimLog();
    bool CopyErrorText(StringBuffer& out);
    bool SaveLogXml(bool includeDates, const char* path);
    void SetMaxEntries(int n) { maxEntries_ = n; }

    // Renders entries first..last (inclusive); eol is "\n" or "\r\n".
    void Render(int first, int last, bool includeDates, const char* eol, StringBuffer& out);
    // Mode 3 mirrors every message and data item to the system log under source and prefix.
    void SetMirror(int mode, const char* source, const char* prefix);

    int EntryCount() const { return entries_.Count(); }
    const LogEntry* EntryAt(int i) const { return static_cast<LogEntry*>(entries_.Get(i)); }
    bool ErrorFlag() const { return errorFlag_; }
    const StringBuffer& ErrorText() const { return errorText_; }
    const StringBuffer& LastErrorXml() const { return lastErrorXml_; }

  private:
    bool AddMessage(char severity, const char* text);
    void Add(LogEntry* entry);
    void Mirror(const LogEntry& entry);

    ExtPtrArray entries_;
    int maxEntries_ = 15000;
    StringBuffer continuationPrefix_{"  "};
    bool errorFlag_ = false;
    StringBuffer errorText_;
    StringBuffer lastErrorXml_;
    int mirrorMode_ = 0;
    StringBuffer eventSource_;
    StringBuffer eventPrefix_;
};

}  // namespace velmarq
