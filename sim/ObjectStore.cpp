#include "ObjectStore.h"

void ObjectStore::SetValue(const std::string& oid, const SimValue& value)
{
    if (SimObject* object = Find(oid))
        object->value = value;
}

const SimObject* ObjectStore::Find(const std::string& oid) const
{
    const auto found = m_objects.find(oid);
    return found == m_objects.end() ? nullptr : &found->second;
}

SimObject* ObjectStore::Find(const std::string& oid)
{
    const auto found = m_objects.find(oid);
    return found == m_objects.end() ? nullptr : &found->second;
}
