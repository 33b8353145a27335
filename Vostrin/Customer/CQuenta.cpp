#include "Customer/CQuenta.h"

#include <utility>
#include <vector>

#include "Customer/CustomerPages.h"
#include "Customer/CustomerReading.h"
#include "Customer/CustomerTreeElements.h"
#include "Customer/TextFileFormat.h"

namespace TVostrin {

namespace {

constexpr size_t kMaxReportLine = 2047;
constexpr int kMaxPagesPerCall = 5;
// The page line that carries the account text identifying the customer.
constexpr int kAccountLine = 31;

using Fields = std::vector<std::pair<std::string, std::string>>;

// count characters from column `from` (counted from 1); what is there when the line is shorter.
std::string Columns(const std::string& line, size_t from, size_t count) {
    return from - 1 < line.size() ? line.substr(from - 1, count) : std::string();
}

std::string AccountText(const std::string& line) {
    return TrimBlanks(Columns(line, 31, 33));
}

// A form feed or shift-out at the start of a report line prints as a blank.
void PrepareLine(std::string& line) {
    if (!line.empty() && (line[0] == '\x0C' || line[0] == '\x0E')) line[0] = ' ';
}

// Trimmed fields cut at consecutive column widths, named field0, field1, ...
Fields CutColumns(const std::string& line, std::initializer_list<size_t> widths) {
    Fields fields;
    size_t from = 1;
    for (size_t width : widths) {
        fields.emplace_back("field" + std::to_string(fields.size()),
                            TrimBlanks(Columns(line, from, width)));
        from += width;
    }
    return fields;
}

// The fields of line number lineNo (from 1) of a report page.
Fields LineFields(int lineNo, const std::string& line) {
    if (lineNo == 2) {
        std::string digits;
        for (size_t column = 1; column <= 26 && column <= line.size(); column += 5)
            digits.push_back(line[column - 1]);
        return {{"field0", digits}};
    }
    if (lineNo == 8 || lineNo == 12) return {{"field0", TrimBlanks(line)}};
    if (lineNo == kAccountLine) return CutColumns(line, {30, 33});
    if (lineNo >= 34 && lineNo <= 54) return CutColumns(line, {10, 26, 16, 15, 13, 24});
    if (lineNo == 55) return CutColumns(line, {40, 51});
    if (lineNo >= 58 && lineNo <= 60) return CutColumns(line, {35, 34});
    return {{"field0", line}};
}

void AppendRow(TXml* record, const Fields& fields) {
    auto tr = NewElement("tr");
    for (const auto& [name, value] : fields) AppendValueElement(tr.get(), name, value);
    AppendElement(record, std::move(tr));
}

// Whether the report page starting at the current position carries the account text on its
// account line. The file is back at that position afterwards.
bool NextPageHasAccount(CustomerTextFile& file, const std::string& account) {
    const int start = CurrentPosition(file);
    std::string line;
    bool same = true;
    for (int lineNo = 1; lineNo <= kAccountLine; ++lineNo) {
        if (!ReadBoundedLine(file, line, kMaxReportLine)) {
            same = false;
            break;
        }
    }
    if (same) same = AccountText(line) == account;
    ReturnTo(file, start);
    return same;
}

}  // namespace

int CQuenta::Build(const std::string& dataFile, int* filePos, const std::string& iniFile, int index,
                   TXml* root) {
    const int linesPerPage = ReadFormatInt(iniFile, kKeyCustomerRecordCnt, 0);
    return ReadCustomerPages(
        dataFile, filePos, root, [&](CustomerTextFile& file, CustomerPages& pages) -> int {
            auto record = NewElement("record");
            std::string account;
            bool accountKnown = false;
            for (int pass = 0; pass < kMaxPagesPerCall; ++pass) {
                // Further pages belong to the customer only while they carry its account text;
                // the file is back at the start of a page that does not.
                if (pass > 0 && accountKnown && !NextPageHasAccount(file, account)) break;
                std::string line;
                for (int lineNo = 1; lineNo <= linesPerPage; ++lineNo) {
                    if (!ReadBoundedLine(file, line, kMaxReportLine)) break;
                    PrepareLine(line);
                    AppendRow(record.get(), LineFields(lineNo, line));
                    if (pass == 0 && lineNo == kAccountLine) {
                        account = AccountText(line);
                        accountKnown = true;
                    }
                }
            }
            pages.push_back(NewCustomerPage(index, std::move(record)));
            return 0;
        });
}

}  // namespace TVostrin
