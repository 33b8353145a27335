#include "CommonStrings.h"

#include <cassert>
#include <cstring>

namespace velmarq {

int RefCountedObject::Release() {
    int n = --count_;
    if (n <= 0) delete this;
    return n;
}

CommonStrings* CommonStrings::instance_ = nullptr;

CommonStrings& CommonStrings::Make() {
    instance_ = new CommonStrings();
    return *instance_;
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

NamedObject* CommonStrings::InternMissed(const char* text, size_t len) {
    NamedObject* entry = map_.Find(text, len);
    if (!entry || !dynamic_cast<RefCountedMarker*>(entry->Value())) {
        if (entry) map_.RemoveEntry(entry);  // not a counted entry: treated as absent
        entry = map_.InsertNew(text, len, new RefCountedMarker());
    }
    auto* marker = static_cast<RefCountedMarker*>(entry->Value());
    cache_[Slot(text, len)] = {entry, entry->Name()->Data(), len, marker};
    marker->AddRef();
    return entry;
}

void CommonStrings::ReleaseEntry(NamedObject* entry, int n) {
    auto* marker = static_cast<RefCountedMarker*>(entry->Value());
    assert(n >= 1 && marker->Count() >= n);  // the entry holds at least n uses
    if (n > 1) marker->DropRefs(n - 1);
    ReleaseEntry(entry);
}

void CommonStrings::ReleaseEntry(NamedObject* entry) {
    auto* marker = static_cast<RefCountedMarker*>(entry->Value());
    assert(marker && marker->Count() >= 1);
    if (marker->Count() > 1) {
        marker->Release();
        return;
    }
    const StringBuffer* text = entry->Name();
    Cached& cached = cache_[Slot(text->Data(), static_cast<size_t>(text->Length()))];
    if (cached.entry == entry) cached = Cached();
    map_.RemoveEntry(entry);
}

int CommonStrings::UseCount(const char* text) const {
    RefCountedMarker* marker = MarkerOf(text ? text : "", nullptr);
    return marker ? marker->Count() : 0;
}

}  // namespace velmarq
