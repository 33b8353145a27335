// The library's log sink: every LogBase operation over one embedded ActivityLog.
#pragma once

#include "ActivityLog.h"
#include "LogBase.h"

namespace velmarq {

class Logger : public LogBase {
  public:
    bool LogError(const char* text) override { return log_.LogError(text); }
    bool LogInfo(const char* text) override { return log_.LogInfo(text); }
    bool LogDebug(const char* text) override { return log_.LogDebug(text); }
    bool LogXml(const char* xmlText) override { return log_.LogXml(xmlText); }
    bool ClearLog() override { return log_.ClearLog(); }
    bool EnterContext(const char* name, bool renderOnError) override {
        return log_.EnterContext(name, renderOnError);
    }
    bool LeaveContext() override { return log_.LeaveContext(); }
    bool LogData(const char* name, const char* value) override { return log_.LogData(name, value); }
    bool LogDataLong(const char* name, int value) override { return log_.LogDataLong(name, value); }
    bool TrimLog() override { return log_.TrimLog(); }
    bool CopyErrorText(StringBuffer& out) override { return log_.CopyErrorText(out); }
    bool SaveLogXml(bool includeDates, const char* path) override {
        return log_.SaveLogXml(includeDates, path);
    }
    void SetMaxEntries(int n) override { log_.SetMaxEntries(n); }

    ActivityLog& Log() { return log_; }
    const ActivityLog& Log() const { return log_; }

  private:
    ActivityLog log_;
};

}  // namespace velmarq
