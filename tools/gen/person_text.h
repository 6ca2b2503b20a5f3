// The texts of a person as the export writes them: name parts, reading,
// postal code and address lines.
#pragma once

#include <string>

#include "people.h"
#include "pools.h"

namespace kw39::gen {

const NamePart& FamilyName(const Employee& employee);
const NamePart& GivenName(const Employee& employee);
const NamePart& GivenName(const Dependant& dependant);

// "135-0021"; a few are written as seven digits without the hyphen.
std::string PostalCode(const Employee& employee);
std::string AddressLine1(const Employee& employee);
std::string AddressLine1Kana(const Employee& employee);
// The building, or "" for a house; some hold a comma.
std::string AddressLine2(const Employee& employee);
std::string PhoneNumber(const Employee& employee);

}  // namespace kw39::gen
