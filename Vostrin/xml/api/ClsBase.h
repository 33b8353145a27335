// Base of the library's document class: an embedded activity log and two checks.
#pragma once

#include "Logger.h"

namespace velmarq {

class ClsBase {
  public:
    virtual ~ClsBase() = default;
    virtual bool CheckObject() = 0;
    virtual bool CheckReady() = 0;

    Logger& GetLogger() { return logger_; }

  protected:
    Logger logger_;
};

}  // namespace velmarq
