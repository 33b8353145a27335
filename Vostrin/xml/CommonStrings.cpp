#include "CommonStrings.h"

#include <cstring>

namespace velmarq {

int RefCountedObject::Release() {
    int n = --count_;
    if (n <= 0) delete this;
    return n;
}

CommonStrings& CommonStrings::Instance() {
    static CommonStrings* pool = new CommonStrings();
    return *pool;
}

RefCountedMarker* CommonStrings::MarkerOf(const char* text, StringBuffer** copy) const {
    VelmarqObject* value = nullptr;
    StringBuffer* name = map_.LookupEntry(text, &value);
    if (!name) return nullptr;
    auto* marker = dynamic_cast<RefCountedMarker*>(value);
    if (marker && copy) *copy = name;
    return marker;
}

const StringBuffer* CommonStrings::Intern(const char* text) {
    if (!text) text = "";
    return InternEntry(text, std::strlen(text))->Name();
}

void CommonStrings::ReleaseString(const char* text) {
    if (!text) return;
    NamedObject* entry = map_.Find(text, std::strlen(text));
    if (entry && dynamic_cast<RefCountedMarker*>(entry->Value())) ReleaseEntry(entry);
}

size_t CommonStrings::Slot(const char* text, size_t len) {
    if (len == 0) return 0;
    auto first = static_cast<unsigned char>(text[0]);
    auto last = static_cast<unsigned char>(text[len - 1]);
    return (first * 31u + last * 7u + len) % kCacheSlots;
}

NamedObject* CommonStrings::InternEntry(const char* text, size_t len) {
    size_t slot = Slot(text, len);
    NamedObject* entry = cache_[slot];
    if (!entry || static_cast<size_t>(entry->Name()->Length()) != len ||
        std::memcmp(entry->Name()->Data(), text, len) != 0) {
        entry = map_.Find(text, len);
        if (!entry || !dynamic_cast<RefCountedMarker*>(entry->Value())) {
            if (entry) map_.RemoveEntry(entry);  // not a counted entry: treated as absent
            entry = map_.InsertNew(text, len, new RefCountedMarker());
        }
        cache_[slot] = entry;
    }
    static_cast<RefCountedMarker*>(entry->Value())->AddRef();
    return entry;
}

void CommonStrings::ReleaseEntry(NamedObject* entry) {
    auto* marker = static_cast<RefCountedMarker*>(entry->Value());
    if (marker->Count() > 1) {
        marker->Release();
        return;
    }
    for (NamedObject*& cached : cache_) {
        if (cached == entry) cached = nullptr;
    }
    map_.RemoveEntry(entry);
}

int CommonStrings::UseCount(const char* text) const {
    RefCountedMarker* marker = MarkerOf(text ? text : "", nullptr);
    return marker ? marker->Count() : 0;
}

}  // namespace velmarq
