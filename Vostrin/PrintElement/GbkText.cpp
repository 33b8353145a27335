#include "PrintElement/GbkText.h"

namespace TVostrin {

using tw::text::GbkCharLength;

std::vector<size_t> GbkCharStarts(const std::string& text) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size(); i += GbkCharLength(text, i)) starts.push_back(i);
    return starts;
}

size_t FindOnCharacterStart(const std::string& text, const std::string& separator, size_t from) {
    if (separator.empty()) return std::string::npos;
    for (size_t i = from; i < text.size(); i += GbkCharLength(text, i))
        if (text.compare(i, separator.size(), separator) == 0) return i;
    return std::string::npos;
}

}  // namespace TVostrin
