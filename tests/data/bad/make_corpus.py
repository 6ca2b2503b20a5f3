#!/usr/bin/env python3
"""Writes the small files of the bad-input corpus from the sample company.

Run from anywhere: python3 tests/data/bad/make_corpus.py
The large cases (1 MB lines, thousands of sections, 10,000 lines of a keyless
table) are made by the test at run time so that the repository stays small.
"""
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
DEMO = os.path.join(HERE, "..", "..", "..", "samples", "demo")


def demo(name):
    with open(os.path.join(DEMO, name), "rb") as f:
        return f.read()


def sjis(text):
    return text.encode("cp932")


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def lines(data):
    return data.split(b"\r\n")


def main():
    company = demo("KAISHAQ.CSV")
    employees = demo("KOJINQ.CSV")
    monthly = demo("GETUJIQ.CSV")
    company_block = b"\r\n".join(lines(employees)[:2]) + b"\r\n"
    emp_lines = lines(employees)
    first_row = emp_lines.index(b"[10601]") + 1  # 0-based index of the first employee

    write("empty.csv", b"")
    write("blank-lines.csv", b"\r\n   \r\n\t\r\n\r\n")
    write("header-only.csv", b"[10601]\r\n")
    write("no-employees.csv", company_block + b"[10601]\r\n")
    # The company header block as the file's very last line: no data line follows.
    write("company-header-last.csv",
          b"\r\n".join(lines(company)[2:4]) + b"\r\n[10000]\r\n")
    write("company-one-field.csv", b"[10000]\r\n0001\r\n[10101]\r\n0001\r\n")

    # Cut right after the lead byte of the last double-byte character of the
    # first employee's line.
    row = emp_lines[first_row]
    cut, i = 0, 0
    while i < len(row):
        b = row[i]
        if 0x81 <= b <= 0x9F or 0xE0 <= b <= 0xFC:
            cut = i + 1
            i += 2
        else:
            i += 1
    head = b"\r\n".join(emp_lines[:first_row]) + b"\r\n"
    write("truncated-dbcs.csv", head + row[:cut])

    rng = random.Random(20141231)
    write("binary-noise.bin", bytes(rng.randrange(256) for _ in range(4096)))

    nul = list(emp_lines)
    nul[first_row] = nul[first_row].replace(b",", b",\x00", 3)
    write("nul-bytes.csv", b"\r\n".join(nul))

    utf8 = employees.decode("cp932").encode("utf-8")
    write("utf8.csv", utf8)
    write("utf8-bom.csv", b"\xEF\xBB\xBF" + utf8)
    text = company.decode("cp932")
    write("utf16le-bom.csv", b"\xFF\xFE" + text.encode("utf-16-le"))
    write("utf16be-bom.csv", b"\xFE\xFF" + employees.decode("cp932").encode("utf-16-be"))
    write("utf16le.csv", employees.decode("cp932").encode("utf-16-le"))

    # An employee line of 500 fields (the table has 29 columns): line 4.
    wide = list(emp_lines)
    wide[first_row] = b"1001" + b",x" * 499
    write("fields-500.csv", b"\r\n".join(wide))

    # A 10702 row with one field more than the table's 157 columns.
    mon = lines(monthly)
    at = mon.index(b"[10702]") + 2
    mon[at] = mon[at] + b",1"
    write("getuji-too-many-fields.csv", b"\r\n".join(mon))
    print("getuji-too-many-fields.csv: line", at + 1)

    # A two-key table row that does not reach its second key column.
    keys = list(emp_lines)
    k = keys.index(b"[10616]") + 1
    keys[k] = b"1001"
    write("key-fields-missing.csv", b"\r\n".join(keys))
    print("key-fields-missing.csv: line", k + 1)

    # A quote that is never closed swallows the rest of the line into one field.
    quote = list(emp_lines)
    parts = quote[first_row].split(b",")
    parts[2] = b'"' + parts[2]
    quote[first_row] = b",".join(parts)
    write("unterminated-quote.csv", b"\r\n".join(quote))

    write("cr-only.csv", employees.replace(b"\r\n", b"\r"))

    ctrlz = list(emp_lines)
    ctrlz.insert(first_row + 1, b"\x1a")
    write("ctrl-z-middle.csv", b"\r\n".join(ctrlz))
    write("ctrl-z-end.csv", employees + b"\x1a")

    control = list(emp_lines)
    control[first_row] = control[first_row].replace(b",", b",\x01", 1)
    write("control-byte.csv", b"\r\n".join(control))

    # A lead byte directly before a comma: the comma would be taken as its trail.
    broken = list(emp_lines)
    broken[first_row] = broken[first_row].replace(b",", b"\x88,", 1)
    write("broken-trail.csv", b"\r\n".join(broken))

    # Lead and trail byte in range, but no character: 0x8540 in the name.
    unassigned = list(emp_lines)
    unassigned[first_row] = unassigned[first_row].replace(b",", b",\x85\x40", 3)
    unassigned[first_row] = unassigned[first_row].replace(b",\x85\x40", b",", 2)
    write("unassigned-code.csv", b"\r\n".join(unassigned))


if __name__ == "__main__":
    main()
