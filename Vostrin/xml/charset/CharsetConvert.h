// Converts UTF-16LE text to a target charset named as in XML declarations and web headers; names
// map to Windows code page numbers through the library's charset table.
#pragma once

#include <memory>

#include "DataBuffer.h"
#include "LogBase.h"
#include "MultiLang.h"
#include "StringBuffer.h"

namespace velmarq {

class CharsetConvert {
  public:
    explicit CharsetConvert(LogBase* log = nullptr);
    virtual ~CharsetConvert();
    CharsetConvert(const CharsetConvert&) = delete;
    CharsetConvert& operator=(const CharsetConvert&) = delete;

    // False (and the target unchanged) when the name is not recognised.
    bool SetToCharset(const char* name, LogBase* log);
    // Converts UTF-16LE data to the target charset, appending to out.
    bool Convert(const unsigned char* data, int length, DataBuffer& out, LogBase* log);

    int ToCodePage() const { return toCodePage_; }
    const StringBuffer& ToCharset() const { return toCharset_; }
    void SetFullWidthBig5(bool on) { fullWidthBig5_ = on; }

    // Lower case, '_' to '-', and the aliases folded onto the table's names.
    static void NormalizeCharsetName(StringBuffer& name);
    // Code page of a normalized name; "windows-<n>" gives n; 0 when not recognised.
    static int CodePageOfName(const char* normalized);
    // Rewrites Big5 text with the full-width forms of ASCII letters, digits and signs.
    static void ToFullWidthBig5(DataBuffer& buffer);

  private:
    std::unique_ptr<MultiLang> multiLang_;
    bool fullWidthBig5_ = false;
    StringBuffer toCharset_{"iso-8859-1"};
    int toCodePage_ = 28591;
};

}  // namespace velmarq
