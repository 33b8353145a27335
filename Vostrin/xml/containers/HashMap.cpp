#include "HashMap.h"

#include <cstring>

namespace velmarq {

NamedObject::NamedObject(const char* name, VelmarqObject* value)
    : name_(new StringBuffer(name)), value_(value) {}

NamedObject::NamedObject(const char* name, size_t len, VelmarqObject* value)
    : name_(new StringBuffer(name, static_cast<int>(len), 0)), value_(value) {}

NamedObject::~NamedObject() {
    delete name_;
    delete value_;
}

void NamedObject::SetValue(VelmarqObject* value) {
    if (value == value_) return;
    delete value_;
    value_ = value;
}

void Velmarq_List::InsertFront(Velmarq_ListItem* item) {
    item->previous = nullptr;
    item->next = head_;
    if (head_) head_->previous = item;
    head_ = item;
    if (!tail_) tail_ = item;
    ++count_;
}

void Velmarq_List::Unlink(Velmarq_ListItem* item) {
    if (!item) return;
    if (item->previous)
        item->previous->next = item->next;
    else
        head_ = item->next;
    if (item->next)
        item->next->previous = item->previous;
    else
        tail_ = item->previous;
    --count_;
    delete item;
}

void Velmarq_List::RemoveObject(const NamedObject* object) {
    for (Velmarq_ListItem* it = head_; it; it = it->next) {
        if (it->object == object) {
            Unlink(it);
            return;
        }
    }
}

void Velmarq_List::Clear() {
    Velmarq_ListItem* it = head_;
    while (it) {
        Velmarq_ListItem* next = it->next;
        delete it;
        it = next;
    }
    head_ = tail_ = nullptr;
    count_ = 0;
}

HashMap::HashMap(int bucketCount)
    : bucketCount_(bucketCount > 0 ? bucketCount : 1), buckets_(new Velmarq_List[bucketCount_]) {}

HashMap::~HashMap() {
    for (int b = 0; b < bucketCount_; ++b) {
        for (Velmarq_ListItem* it = buckets_[b].Head(); it; it = it->next) delete it->object;
    }
    delete[] buckets_;
}

unsigned HashMap::Hash(const char* name) {
    return name ? Hash(name, std::strlen(name)) : 0;
}

unsigned HashMap::Hash(const char* name, size_t len) {
    if (!name || len == 0) return 0;
    auto h = static_cast<unsigned>(static_cast<int>(static_cast<signed char>(name[0])));
    for (size_t i = 1; i < len; ++i) {
        h = h * 257u + static_cast<unsigned>(static_cast<int>(static_cast<signed char>(name[i])));
        h %= 65521u;
    }
    return h;
}

Velmarq_List& HashMap::BucketOf(const char* name, size_t len) const {
    return buckets_[Hash(name, len) % static_cast<unsigned>(bucketCount_)];
}

Velmarq_ListItem* HashMap::FindItem(const char* name, size_t len) const {
    for (Velmarq_ListItem* it = BucketOf(name, len).Head(); it; it = it->next) {
        const StringBuffer* n = it->object->Name();
        if (static_cast<size_t>(n->Length()) == len && std::memcmp(n->Data(), name, len) == 0) {
            return it;
        }
    }
    return nullptr;
}

Velmarq_ListItem* HashMap::FindItem(const char* name) const {
    if (!name) name = "";
    return FindItem(name, std::strlen(name));
}

NamedObject* HashMap::Find(const char* name, size_t len) const {
    Velmarq_ListItem* it = FindItem(name, len);
    return it ? it->object : nullptr;
}

NamedObject* HashMap::InsertNew(const char* name, size_t len, VelmarqObject* value) {
    auto* entry = new NamedObject(name, len, value);
    BucketOf(name, len).InsertFront(new Velmarq_ListItem(entry));
    return entry;
}

void HashMap::RemoveEntry(NamedObject* entry) {
    const StringBuffer* n = entry->Name();
    Velmarq_List& bucket = BucketOf(n->Data(), static_cast<size_t>(n->Length()));
    bucket.RemoveObject(entry);
    delete entry;
}

VelmarqObject* HashMap::Lookup(const char* name) const {
    Velmarq_ListItem* it = FindItem(name);
    return it ? it->object->Value() : nullptr;
}

StringBuffer* HashMap::LookupEntry(const char* name, VelmarqObject** value) const {
    Velmarq_ListItem* it = FindItem(name);
    if (!it) return nullptr;
    if (value) *value = it->object->Value();
    return it->object->Name();
}

NamedObject* HashMap::Find(const char* name) const {
    Velmarq_ListItem* it = FindItem(name);
    return it ? it->object : nullptr;
}

void HashMap::Insert(const char* name, VelmarqObject* value) {
    if (!name) name = "";
    if (Velmarq_ListItem* it = FindItem(name)) {
        it->object->SetValue(value);
        return;
    }
    BucketOf(name, std::strlen(name))
        .InsertFront(new Velmarq_ListItem(new NamedObject(name, value)));
}

void HashMap::Remove(const char* name) {
    Velmarq_ListItem* it = FindItem(name);
    if (!it) return;
    NamedObject* object = it->object;
    BucketOf(name, std::strlen(name)).Unlink(it);
    delete object;
}

}  // namespace velmarq
