// A fixed-bucket hash map from byte-string names to owned objects; entries of one bucket are kept
// in a doubly linked list, the most recently inserted first.
#pragma once

#include <cstddef>

#include "StringBuffer.h"

namespace velmarq {

// An entry: a copy of the key and an owned value.
class NamedObject {
  public:
    NamedObject(const char* name, VelmarqObject* value);
    NamedObject(const char* name, size_t len, VelmarqObject* value);
    virtual ~NamedObject();
    NamedObject(const NamedObject&) = delete;
    NamedObject& operator=(const NamedObject&) = delete;

    const char* Text() const { return name_ ? name_->Data() : ""; }
    StringBuffer* Name() const { return name_; }
    VelmarqObject* Value() const { return value_; }
    void SetValue(VelmarqObject* value);  // destroys the old value unless it is the same

  private:
    StringBuffer* name_;
    VelmarqObject* value_;
};

class Velmarq_ListItem {
  public:
    explicit Velmarq_ListItem(NamedObject* object) : object(object) {}
    virtual ~Velmarq_ListItem() = default;
    virtual bool Equals(const Velmarq_ListItem& other) const { return object == other.object; }

    NamedObject* object;  // not owned by the item
    Velmarq_ListItem* next = nullptr;
    Velmarq_ListItem* previous = nullptr;
};

class Velmarq_List {
  public:
    Velmarq_List() = default;
    ~Velmarq_List() { Clear(); }
    Velmarq_List(const Velmarq_List&) = delete;
    Velmarq_List& operator=(const Velmarq_List&) = delete;

    void InsertFront(Velmarq_ListItem* item);
    void Unlink(Velmarq_ListItem* item);  // takes the item out and destroys it (not its object)
    void RemoveObject(const NamedObject* object);
    void Clear();
    int Count() const { return count_; }
    Velmarq_ListItem* Head() const { return head_; }

  private:
    int count_ = 0;
    Velmarq_ListItem* head_ = nullptr;
    Velmarq_ListItem* tail_ = nullptr;
};

class HashMap {
  public:
    explicit HashMap(int bucketCount);
    virtual ~HashMap();
    HashMap(const HashMap&) = delete;
    HashMap& operator=(const HashMap&) = delete;

    VelmarqObject* Lookup(const char* name) const;
    // The entry's own copy of the name, or null; stores the value through value when given.
    StringBuffer* LookupEntry(const char* name, VelmarqObject** value) const;
    NamedObject* Find(const char* name) const;
    void Insert(const char* name, VelmarqObject* value);
    void Remove(const char* name);

    // The same over a name given by its bytes (it holds no NUL).
    NamedObject* Find(const char* name, size_t len) const;
    // Adds a new entry for a name known to be absent and returns it.
    NamedObject* InsertNew(const char* name, size_t len, VelmarqObject* value);
    // Unlinks and destroys an entry of this map.
    void RemoveEntry(NamedObject* entry);

    // The hash of a name as the library computes it (before reduction to a bucket).
    static unsigned Hash(const char* name);
    static unsigned Hash(const char* name, size_t len);

  private:
    Velmarq_List& BucketOf(const char* name, size_t len) const;
    Velmarq_ListItem* FindItem(const char* name) const;
    Velmarq_ListItem* FindItem(const char* name, size_t len) const;

    int bucketCount_;
    Velmarq_List* buckets_;
};

}  // namespace velmarq
