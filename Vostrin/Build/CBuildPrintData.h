// The layout builder: a data document and a layout template become a printable page tree, and
// the caller gets the envelope, sheet and page counts.
//
// Template: a top element whose first "pages" child holds the page templates ("page"), each
// with an optional "pagesetting" and a "reporttable" of build elements. Data: a top element whose
// first "record" child holds the records, one per child, with fields found by tag whose text is
// their "value" attribute.
#pragma once

#include <string>

#include "TXml.h"
#include "Vostrin.h"  // the status codes

#ifndef TW_BUILD_MAX_PAGES
#define TW_BUILD_MAX_PAGES 200000
#endif

namespace TVostrin {

class CBuildPrintData {
  public:
    CBuildPrintData() = default;

    // Loads the template file and builds with it. -1001 when the file cannot be loaded (no
    // output touched), otherwise as BuildPrintable.
    int Build(TXml* data, const std::string& iniFile, const std::string& templateFile,
              int* envelopes, int* sheets, int* pages, TXml** printable);

    // Builds the printable tree from data and the template tree layout (left unchanged; only
    // its first "pages" element is copied and used). 0 with *printable set to a new root the
    // caller deletes; -1100 / -1101 when the expression library or one of its exports is
    // missing; -1003 when the build failed, with no tree. When the job needs more than
    // kPageBuildLimit pages, or would make more than its budget allows (BuildBudget.h: nodes
    // and text, with what finishing copies), the build is cut short: the pages built up to the
    // limit are finished and handed out in *printable as usual (they may still be printed), the
    // counts are theirs, and the result is VOSTRIN_PRINT_FAILED, as for a failed build. iniFile
    // names the settings file read for the envelope size (empty: defaults). NULL data: 0,
    // nothing touched.
    int BuildPrintable(TXml* data, const std::string& iniFile, TXml* layout, int* envelopes,
                       int* sheets, int* pages, TXml** printable);

    // Whether the last build's template asked for two-sided printing.
    bool Duplex() const { return duplex_; }

    // The most pages one page loop builds; a job that needs more is cut short and fails. (The
    // builder's fuzz target compiles with fewer.)
    static constexpr int kPageBuildLimit = TW_BUILD_MAX_PAGES;

  private:
    bool duplex_ = false;
};

}  // namespace TVostrin
