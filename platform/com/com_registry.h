// The class table behind CoCreateInstance, as the platform's own folders
// fill it. Private to the platform.
#pragma once

#include "platform/com/com.h"

namespace platform::com {

// Makes a new object of the class and returns its `iid` interface with one
// reference, or fails (E_NOINTERFACE for an interface the class lacks).
typedef HRESULT (*ClassFactory)(REFIID iid, void** object);
// Whether the class is there to be made now (the machine profile may say it
// is not installed); null: always.
typedef bool (*ClassPresence)();

// Adds a class, or replaces the entry of the same class id.
void RegisterClass(REFCLSID clsid, ClassFactory factory, ClassPresence present);

// The folders' registrations, run once before the first look into the table.
void RegisterDirectInputClasses();

}  // namespace platform::com
