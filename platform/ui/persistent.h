#pragma once
// An object that is written into the component stream as the value of one property of the object
// holding it: a collection (a grid's columns) as one collection value, its items with their stored
// properties; any other object as one "Property.Name" entry for each stored property of its own.
#include "platform/ui/stored_value.h"

class TPersistent {
public:
    virtual ~TPersistent() = default;

    // Appends to out what the object stores under its holder's property propertyName.
    virtual void storeAs(const QString& propertyName, ui::StoredProperties& out) const = 0;
};
