#include "HashMap.h"

#include <cstring>

namespace velmarq {

NamedObject::NamedObject(const char* name, VelmarqObject* value)
    : name_(new StringBuffer(name)), value_(value) {}

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
    if (!name || !*name) return 0;
    auto h = static_cast<unsigned>(static_cast<int>(static_cast<signed char>(name[0])));
    for (const char* p = name + 1; *p; ++p) {
        h = h * 257u + static_cast<unsigned>(static_cast<int>(static_cast<signed char>(*p)));
        h %= 65521u;
    }
    return h;
}

Velmarq_List& HashMap::BucketOf(const char* name) const {
    return buckets_[Hash(name) % static_cast<unsigned>(bucketCount_)];
}

Velmarq_ListItem* HashMap::FindItem(const char* name) const {
    if (!name) name = "";
    for (Velmarq_ListItem* it = BucketOf(name).Head(); it; it = it->next) {
        if (std::strcmp(it->object->Text(), name) == 0) return it;
    }
    return nullptr;
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
    BucketOf(name).InsertFront(new Velmarq_ListItem(new NamedObject(name, value)));
}

void HashMap::Remove(const char* name) {
    Velmarq_ListItem* it = FindItem(name);
    if (!it) return;
    NamedObject* object = it->object;
    BucketOf(name).Unlink(it);
    delete object;
}

}  // namespace velmarq
