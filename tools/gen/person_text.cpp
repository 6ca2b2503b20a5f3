#include "person_text.h"

namespace kw39::gen {

namespace {

template <typename Span>
const NamePart& At(Span items, int index) {
    return items[static_cast<std::size_t>(index) % items.size()];
}

// A number spread over the employee code, so neighbours differ.
int CodeNumber(const Employee& employee) { return std::stoi(employee.code); }

}  // namespace

const NamePart& FamilyName(const Employee& employee) {
    return employee.foreign ? At(ForeignFamilyNames(), employee.family)
                            : At(FamilyNames(), employee.family);
}

const NamePart& GivenName(const Employee& employee) {
    if (employee.foreign) return At(ForeignGivenNames(), employee.given);
    return employee.male ? At(MaleNames(), employee.given) : At(FemaleNames(), employee.given);
}

const NamePart& GivenName(const Dependant& dependant) {
    return dependant.male ? At(MaleNames(), dependant.given) : At(FemaleNames(), dependant.given);
}

std::string PostalCode(const Employee& employee) {
    const Municipality& place = Municipalities()[static_cast<std::size_t>(employee.municipality)];
    std::string digits = std::to_string(1000 + CodeNumber(employee) % 9000);
    if (CodeNumber(employee) % 20 == 0) return place.postal + digits;
    return std::string(place.postal) + "-" + digits;
}

std::string AddressLine1(const Employee& employee) {
    const Municipality& place = Municipalities()[static_cast<std::size_t>(employee.municipality)];
    return std::string(place.address) + At(Towns(), employee.town).kanji +
           std::to_string(employee.houseNumber[0]) + "-" + std::to_string(employee.houseNumber[1]) +
           "-" + std::to_string(employee.houseNumber[2]);
}

std::string AddressLine1Kana(const Employee& employee) {
    const Municipality& place = Municipalities()[static_cast<std::size_t>(employee.municipality)];
    return std::string(place.kana) + At(Towns(), employee.town).kana;
}

std::string AddressLine2(const Employee& employee) {
    if (employee.building < 0) return "";
    return Buildings()[static_cast<std::size_t>(employee.building)];
}

std::string PhoneNumber(const Employee& employee) {
    const int number = CodeNumber(employee);
    return "090-" + std::to_string(1000 + number % 9000) + "-" +
           std::to_string(1000 + (static_cast<long long>(number) * 7919) % 9000);
}

}  // namespace kw39::gen
