// Conversions between code pages. MultiLangImpl does them with iconv; code pages are the
// Windows numbers the library's charset table uses (1200 = UTF-16LE, 65001 = UTF-8, 936 = GBK).
#pragma once

#include "DataBuffer.h"
#include "LogBase.h"
#include "StringBuffer.h"

namespace velmarq {

class MultiLang {
  public:
    virtual ~MultiLang() = default;
    virtual bool ConvertBytes(int fromCodePage, int toCodePage, const unsigned char* data,
                              int length, DataBuffer& out, LogBase* log) = 0;
    virtual bool ConvertInPlace(int fromCodePage, int toCodePage, StringBuffer& text,
                                LogBase* log) = 0;
    // data is UTF-16LE, length in bytes.
    virtual bool FromUnicode(int toCodePage, const unsigned char* data, int length, DataBuffer& out,
                             LogBase* log) = 0;
    // out receives UTF-16LE.
    virtual bool ToUnicode(int fromCodePage, const unsigned char* data, int length, DataBuffer& out,
                           LogBase* log) = 0;
    virtual bool DetectInputCodepage(const unsigned char* data, int length, int& codePage,
                                     LogBase* log) = 0;
};

class MultiLangImpl : public MultiLang {
  public:
    bool ConvertBytes(int fromCodePage, int toCodePage, const unsigned char* data, int length,
                      DataBuffer& out, LogBase* log) override;
    bool ConvertInPlace(int fromCodePage, int toCodePage, StringBuffer& text,
                        LogBase* log) override;
    bool FromUnicode(int toCodePage, const unsigned char* data, int length, DataBuffer& out,
                     LogBase* log) override;
    bool ToUnicode(int fromCodePage, const unsigned char* data, int length, DataBuffer& out,
                   LogBase* log) override;
    // No detector is available here: always answers false.
    bool DetectInputCodepage(const unsigned char* data, int length, int& codePage,
                             LogBase* log) override;

    // The iconv name of a code page ("CP<n>" when no better name is known).
    static const char* IconvName(int codePage, char* scratch, int scratchSize);

  private:
    int currentFrom_ = 28591;
    int currentTo_ = 28591;
};

// Makes the converter; never fails here, since iconv is part of the C library.
MultiLang* CreateMultiLang(LogBase* log);

}  // namespace velmarq
