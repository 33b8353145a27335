#include "HashMap.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

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
    TakeOut(item);
    delete item;
}

void Velmarq_List::TakeOut(Velmarq_ListItem* item) {
    if (item->previous)
        item->previous->next = item->next;
    else
        head_ = item->next;
    if (item->next)
        item->next->previous = item->previous;
    else
        tail_ = item->previous;
    item->next = item->previous = nullptr;
    --count_;
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
    : bucketCount_(bucketCount > 0 ? bucketCount : 1),
      minBuckets_(bucketCount_),
      buckets_(new Velmarq_List[bucketCount_]) {}

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

size_t HashMap::Spread(const char* name, size_t len) {
    // FNV-1a over the bytes, then a final mix so that every bit of the hash reaches the low bits
    // that pick the bucket.
    uint64_t h = 0xcbf29ce484222325ull;
    for (size_t i = 0; i < len; ++i) {
        h ^= static_cast<unsigned char>(name[i]);
        h *= 0x100000001b3ull;
    }
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    return static_cast<size_t>(h);
}

Velmarq_List& HashMap::BucketOf(const char* name, size_t len) const {
    return buckets_[Spread(name, len) % static_cast<size_t>(bucketCount_)];
}

void HashMap::Link(Velmarq_ListItem* item) {
    buckets_[item->hash % static_cast<size_t>(bucketCount_)].InsertFront(item);
}

void HashMap::Rehash(int n) {
    auto* fresh = new (std::nothrow) Velmarq_List[n];
    if (!fresh) return;  // the map keeps working with longer buckets
    Velmarq_List* old = buckets_;
    const int oldCount = bucketCount_;
    buckets_ = fresh;
    bucketCount_ = n;
    for (int b = 0; b < oldCount; ++b) {
        // From the tail, so that the entries of one new bucket keep their order.
        while (Velmarq_ListItem* item = old[b].Tail()) {
            old[b].TakeOut(item);
            Link(item);
        }
    }
    delete[] old;
}

Velmarq_ListItem* HashMap::FindItem(const char* name, size_t len) const {
    const size_t hash = Spread(name, len);
    for (Velmarq_ListItem* it = buckets_[hash % static_cast<size_t>(bucketCount_)].Head(); it;
         it = it->next) {
        if (it->hash != hash) continue;
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
    // The value is the map's from here on: a failed allocation destroys it with the entry.
    std::unique_ptr<NamedObject> entry;
    try {
        entry = std::make_unique<NamedObject>(name, len, value);
    } catch (...) {
        delete value;
        throw;
    }
    auto* item = new Velmarq_ListItem(entry.get());
    item->hash = Spread(name, len);
    Link(item);
    ++count_;
    if (count_ > bucketCount_ && bucketCount_ <= INT_MAX / 2) Rehash(bucketCount_ * 2);
    return entry.release();
}

void HashMap::RemoveEntry(NamedObject* entry) {
    const StringBuffer* n = entry->Name();
    Velmarq_List& bucket = BucketOf(n->Data(), static_cast<size_t>(n->Length()));
    bucket.RemoveObject(entry);
    delete entry;
    Shrink();
}

void HashMap::Shrink() {
    --count_;
    if (bucketCount_ > minBuckets_ && count_ < bucketCount_ / 4) {
        Rehash(bucketCount_ / 2 < minBuckets_ ? minBuckets_ : bucketCount_ / 2);
    }
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
    InsertNew(name, std::strlen(name), value);
}

void HashMap::Remove(const char* name) {
    Velmarq_ListItem* it = FindItem(name);
    if (!it) return;
    NamedObject* object = it->object;
    BucketOf(name ? name : "", name ? std::strlen(name) : 0).Unlink(it);
    delete object;
    Shrink();
}

}  // namespace velmarq
