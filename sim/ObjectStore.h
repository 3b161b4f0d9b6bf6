#pragma once
// The scalar objects that the simulated module serves, by full OID text.

#include <map>
#include <string>

#include "SimValue.h"

struct SimObject {
    SimValue value;
    bool writable = true;
    bool command = false;  // acts when it is read; always reads as INTEGER 1
};

class ObjectStore {
public:
    void Put(const std::string& oid, const SimObject& object) { m_objects[oid] = object; }
    // Replaces the value of an existing object, keeping its access.
    void SetValue(const std::string& oid, const SimValue& value);
    void Remove(const std::string& oid) { m_objects.erase(oid); }

    // nullptr when the module does not serve the object.
    const SimObject* Find(const std::string& oid) const;
    SimObject* Find(const std::string& oid);
    size_t Size() const { return m_objects.size(); }

private:
    std::map<std::string, SimObject> m_objects;
};
