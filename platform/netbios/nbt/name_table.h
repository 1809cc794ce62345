// The names of one LANA: the redirector name (unique, number 1) and the names the program
// added (group names, numbers 2..255, never 0).
#pragma once

#include <optional>
#include <vector>

#include "platform/netbios/nbt/netbios_name.h"

struct NameEntry {
  NetbiosName name;
  UCHAR number;
  UCHAR flags;  // GROUP_NAME for added names, REGISTERED always
};

struct NameTable {
  NameEntry redirector;
  std::vector<NameEntry> added;  // in the order added
};

NameTable MakeNameTable(const NetbiosName& redirector);

// Adds a group name and sets number. NRC_NOWILD for a name starting with '*' or a zero byte,
// NRC_DUPNAME when the name is already in the table, NRC_NAMTFUL when the table (with the
// redirector name, as many names as a status buffer lists) is full.
UCHAR AddGroupName(NameTable& table, const NetbiosName& name, UCHAR& number);

// Removes an added name and sets number to the number it had. NRC_NOWILD when no added name
// has these bytes (the redirector name cannot be deleted).
UCHAR DeleteName(NameTable& table, const NetbiosName& name, UCHAR& number);

const NameEntry* FindName(const NameTable& table, const NetbiosName& name);
const NameEntry* FindNameNumber(const NameTable& table, UCHAR number);

// The table as a status buffer lists it: the redirector name, then the added names.
std::vector<NAME_BUFFER> ListNames(const NameTable& table);
