#include "Customer/CGeneral.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <vector>

#include "Customer/CustomerReading.h"
#include "Customer/CustomerTreeElements.h"
#include "Customer/TextFileFormat.h"
#include "text/Gbk.h"

namespace TVostrin {

namespace {

// Field name to field text, ordered byte by byte.
using RecordMap = std::map<std::string, std::string>;

// The most characters of one record kept in separator mode.
constexpr size_t kMaxRecordLine = 4095;
constexpr size_t kMaxRecordChars = 4096;

struct GeneralSettings {
    int sepType = 0;
    int recordLen = 0;
    std::string fieldSeparator;
    // Records are lines (the record separator begins with CR LF).
    bool lineRecords = false;
    std::string recordSeparator;
    std::vector<std::string> fieldLen;
    std::vector<std::string> fieldName;
    std::vector<std::string> identifyFields;
};

GeneralSettings ReadSettings(const std::string& iniFile) {
    GeneralSettings s;
    s.sepType = ReadFormatInt(iniFile, kKeySepType, 0);
    // The text is matched as the reading layer gives it, with CR LF read as LF.
    s.fieldSeparator = SeparatorAsRead(ReadFormatSeparator(iniFile, kKeyFieldSeparator, "2C"));
    s.recordLen = ReadFormatInt(iniFile, kKeyRecordLen, 0);
    const std::string recordSeparator = ReadFormatSeparator(iniFile, kKeyRecordSeparator, "0D0A");
    s.lineRecords = recordSeparator.size() >= 2 && recordSeparator.compare(0, 2, "\r\n") == 0;
    s.recordSeparator = SeparatorAsRead(recordSeparator);
    s.fieldLen = ReadFormatList(iniFile, kKeyFieldLen);
    s.fieldName = ReadFormatList(iniFile, kKeyFieldName);
    s.identifyFields = ReadFormatList(iniFile, kKeyIdentifyFields);
    return s;
}

std::string NumberedName(size_t position) {
    return "field" + std::to_string(position);
}

// One record up to the record separator (not kept); false when nothing was left. With an
// empty separator the record runs to the end of the file. The separator is found only where a
// character starts: the second byte of a GBK character never begins it, while the byte after a
// lead byte that has no valid second byte does.
bool ReadSeparatedText(CustomerTextFile& file, const GeneralSettings& s, std::string& record) {
    record.clear();
    if (s.lineRecords) return ReadBoundedLine(file, record, kMaxRecordLine);

    // Only the last separator.size() characters are needed to find the separator, so a
    // record longer than the limit is cut without holding all of it. Beside each of them:
    // whether a character starts there.
    const std::string& separator = s.recordSeparator;
    std::string tail;
    std::string tailStarts;
    bool afterLead = false;
    size_t count = 0;
    bool matched = false;
    char c;
    while (ReadCheckedChar(file, c)) {
        ++count;
        if (record.size() < kMaxRecordChars + separator.size()) record.push_back(c);
        const auto byte = static_cast<unsigned char>(c);
        const bool starts = !(afterLead && tw::text::IsGbkSecondByte(byte));
        tail.push_back(c);
        tailStarts.push_back(starts ? 1 : 0);
        afterLead = starts && tw::text::IsGbkLeadByte(byte);
        if (tail.size() > separator.size()) {
            tail.erase(0, 1);
            tailStarts.erase(0, 1);
        }
        if (!separator.empty() && tail == separator && tailStarts[0] == 1) {
            matched = true;
            break;
        }
    }
    if (count == 0) return false;
    const size_t length = matched ? count - separator.size() : count;
    record.resize(std::min(length, kMaxRecordChars));
    return true;
}

int ReadSeparatedRecord(const GeneralSettings& s, CustomerTextFile& file, RecordMap& map) {
    map.clear();
    std::string record;
    do {
        if (!ReadSeparatedText(file, s, record)) return VOSTRIN_NO_CUSTOMER_LEFT;
    } while (record.empty());

    const std::vector<std::string> fields = SplitFields(record, s.fieldSeparator);
    const std::vector<std::string>& names = s.fieldName;
    if (names.empty()) {
        for (size_t i = 0; i < fields.size(); ++i) map[NumberedName(i)] = fields[i];
    } else {
        for (size_t i = 0; i < names.size(); ++i)
            map[names[i]] = i < fields.size() ? fields[i] : std::string();
    }
    return 0;
}

// A width of the FieldLen list: its leading decimal number, 0 for anything else.
size_t FieldWidth(const std::string& text) {
    const long width = std::strtol(text.c_str(), nullptr, 10);
    return width > 0 ? static_cast<size_t>(width) : 0;
}

int ReadFixedRecord(int recordLen, const std::vector<std::string>& widths,
                    const std::vector<std::string>& names, CustomerTextFile& file, RecordMap& map) {
    map.clear();
    if (recordLen <= 0) return VOSTRIN_NO_CUSTOMER_LEFT;
    std::string record;
    do {
        record = ReadCheckedBytes(file, static_cast<size_t>(recordLen));
        if (record.empty()) return VOSTRIN_NO_CUSTOMER_LEFT;
    } while (record[0] == '\0');

    size_t offset = 0;
    for (size_t i = 0; i < widths.size(); ++i) {
        // Without a name of its own a field beyond the name list is left out.
        if (!names.empty() && i >= names.size()) break;
        const size_t width = FieldWidth(widths[i]);
        const std::string text = offset < record.size() ? record.substr(offset, width) : "";
        offset = std::min(record.size(), offset + width);
        map[names.empty() ? NumberedName(i) : names[i]] = TrimBlanks(text);
    }
    return 0;
}

std::string FieldOf(const RecordMap& map, const std::string& name) {
    const auto it = map.find(name);
    return it == map.end() ? std::string() : it->second;
}

bool SameCustomer(const RecordMap& first, const RecordMap& current,
                  const std::vector<std::string>& identifyFields) {
    for (const std::string& name : identifyFields)
        if (FieldOf(first, name) != FieldOf(current, name)) return false;
    return true;
}

void AppendRow(TXml* record, const RecordMap& map) {
    auto tr = NewElement("tr");
    for (const auto& [name, text] : map) AppendValueElement(tr.get(), name, text);
    AppendElement(record, std::move(tr));
}

}  // namespace

int CGeneral::Build(const std::string& dataFile, int* filePos, const std::string& iniFile,
                    int index, TXml* root) {
    const GeneralSettings s = ReadSettings(iniFile);

    CustomerTextFile file;
    // A position the file cannot be moved to has no customer left behind it.
    if (const int status = OpenCustomerFileAt(file, dataFile, filePos); status != 0)
        return status == VOSTRIN_CUSTOMER_SEEK_FAILED ? VOSTRIN_NO_CUSTOMER_LEFT : status;

    try {
        auto record = NewElement("record");
        RecordMap first;
        RecordMap current;
        bool started = false;
        int consumed = 0;
        for (;;) {
            const int read = s.sepType != 0 ? ReadFixedRecord(s.recordLen, s.fieldLen, s.fieldName,
                                                              file, current)
                                            : ReadSeparatedRecord(s, file, current);
            if (read != 0) {
                if (!started) return VOSTRIN_NO_CUSTOMER_LEFT;
                break;
            }
            if (started) {
                // The record of the next customer stays unread for the next call.
                if (!SameCustomer(first, current, s.identifyFields)) break;
            } else {
                first = current;
                started = true;
            }
            consumed = CurrentPosition(file);
            AppendRow(record.get(), current);
            if (s.identifyFields.empty()) break;
        }
        AppendElement(root, NewCustomerIdElement(index));
        AppendElement(root, std::move(record));
        if (filePos) *filePos = consumed;
        return 0;
    } catch (const std::exception&) {
        return VOSTRIN_CUSTOMER_READ_FAILED;
    }
}

}  // namespace TVostrin
