#include "CommonStrings.h"

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
    StringBuffer* copy = nullptr;
    RefCountedMarker* marker = MarkerOf(text, &copy);
    if (!marker) {
        map_.Insert(text, new RefCountedMarker());
        marker = MarkerOf(text, &copy);
    }
    marker->AddRef();
    return copy;
}

void CommonStrings::ReleaseString(const char* text) {
    if (!text) return;
    RefCountedMarker* marker = MarkerOf(text, nullptr);
    if (!marker) return;
    if (marker->Count() > 1) {
        marker->Release();
        return;
    }
    map_.Remove(text);
}

int CommonStrings::UseCount(const char* text) const {
    RefCountedMarker* marker = MarkerOf(text ? text : "", nullptr);
    return marker ? marker->Count() : 0;
}

}  // namespace velmarq
