// Word pools of the fictional company: names, places, departments, positions.
// Several entries hold characters whose second Shift_JIS byte is "[", "\" or
// "]" (深 啓 充 夕, 表 十 能 ソ 圭, 江 曽 望 馨 ゾ ...), because those are the
// bytes a careless CSV or header scan trips over.
#pragma once

#include <span>

namespace kw39::gen {

struct NamePart {
    const char* kanji;
    const char* kana;
};

struct Municipality {
    const char* code;     // six-digit local government code
    const char* name;     // "江東区"
    const char* kana;     // "コウトウク"
    const char* address;  // prefecture and city, the start of an address line
    const char* postal;   // first three digits of its postal codes
};

struct Position {
    const char* code;
    const char* name;
    const char* kubun;       // 1 officer, 2 employee
    const char* reportKind;  // kind printed on the withholding report
};

std::span<const NamePart> FamilyNames();
std::span<const NamePart> MaleNames();
std::span<const NamePart> FemaleNames();
std::span<const NamePart> ForeignFamilyNames();
std::span<const NamePart> ForeignGivenNames();
std::span<const Municipality> Municipalities();
std::span<const NamePart> Towns();
std::span<const char* const> Buildings();
std::span<const NamePart> DepartmentNames();
std::span<const Position> Positions();
std::span<const char* const> Occupations();
std::span<const char* const> Remarks();

// Index into Positions() of the row that is named "未使用".
int UnusedPositionIndex();

}  // namespace kw39::gen
