// The abstract log sink that library operations write their errors and data items to. With no
// sink an operation is silent.
#pragma once

namespace velmarq {

class StringBuffer;

class LogBase {
  public:
    virtual ~LogBase() = default;
    virtual bool LogError(const char* text) = 0;
    virtual bool LogInfo(const char* text) = 0;
    virtual bool LogDebug(const char* text) = 0;
    virtual bool LogXml(const char* xmlText) = 0;
    virtual bool ClearLog() = 0;
    virtual bool EnterContext(const char* name, bool renderOnError) = 0;
    virtual bool LeaveContext() = 0;
    virtual bool LogData(const char* name, const char* value) = 0;
    virtual bool LogDataLong(const char* name, int value) = 0;
    virtual bool TrimLog() = 0;
    virtual bool CopyErrorText(StringBuffer& out) = 0;
    virtual bool SaveLogXml(bool includeDates, const char* path) = 0;
    virtual void SetMaxEntries(int) {}
};

}  // namespace velmarq
